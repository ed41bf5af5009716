#include "platform/Printer.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/Errors.h"

namespace {

QString Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString PdfInfo(const QString& path, const QString& field)
{
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(field), QRegularExpression::MultilineOption);
    return line.match(Run(QStringLiteral("pdfinfo"), { path })).captured(1).trimmed();
}

QString PageText(const QString& path, int page)
{
    const QString n = QString::number(page);
    return Run(
        QStringLiteral("pdftotext"), { QStringLiteral("-f"), n, QStringLiteral("-l"), n, path, QStringLiteral("-") });
}

class PrinterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallFontSubstitutions();
        printer.SetOutputFileName(pdf);
    }

    QTemporaryDir dir;
    QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    TPrinter printer;
};

TEST_F(PrinterTest, JobOfThreePagesBecomesAPdfWithTheTextOfEachPage)
{
    printer.BeginDoc();
    EXPECT_TRUE(printer.Printing());
    EXPECT_EQ(printer.Canvas().PixelsPerInchY(), printer.PixelsPerInchY());
    // The canvas font keeps its point size in the printer's dots.
    EXPECT_EQ(printer.Canvas().Font().PixelsPerInch(), printer.PixelsPerInchY());
    const TRect page = printer.Canvas().ClipRect();
    EXPECT_EQ(page.Width(), printer.PageWidth());
    EXPECT_EQ(page.Height(), printer.PageHeight());
    for (int i = 1; i <= 3; ++i) {
        if (i > 1)
            printer.NewPage();
        printer.Canvas().TextOut(100, 100, QStringLiteral("頁%1").arg(i));
    }
    EXPECT_EQ(printer.PageNumber(), 3);
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());

    EXPECT_EQ(PdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("3"));
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(PageText(pdf, i).trimmed(), QStringLiteral("頁%1").arg(i)) << i;
}

TEST_F(PrinterTest, RefusesWhatAJobInProgressCannotTake)
{
    EXPECT_THROW(printer.NewPage(), EInvalidOperation);
    EXPECT_THROW(printer.EndDoc(), EInvalidOperation);
    printer.BeginDoc();
    try {
        printer.BeginDoc();
        FAIL() << "a second job started";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("現在印刷中です"));
    }
    EXPECT_THROW(printer.SetOrientation(poLandscape), EInvalidOperation);
    EXPECT_THROW(printer.SetOutputFileName(dir.filePath(QStringLiteral("other.pdf"))), EInvalidOperation);
    EXPECT_EQ(printer.Orientation(), poPortrait);
    printer.EndDoc();
    EXPECT_EQ(PdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
}

TEST_F(PrinterTest, LandscapeJobHasWidePages)
{
    const int portraitWidth = printer.PageWidth();
    printer.SetOrientation(poLandscape);
    EXPECT_EQ(printer.Orientation(), poLandscape);
    EXPECT_GT(printer.PageWidth(), printer.PageHeight());
    EXPECT_GT(printer.PageWidth(), portraitWidth);
    printer.BeginDoc();
    printer.EndDoc();
    // "Page size: 841.89 x 595.28 pts (A4)"
    const QStringList size = PdfInfo(pdf, QStringLiteral("Page size")).split(u' ');
    ASSERT_GE(size.size(), 3);
    EXPECT_GT(size[0].toDouble(), size[2].toDouble());
}

TEST_F(PrinterTest, AbortedJobLeavesNoFileAndAnUnwritableFileStartsNoJob)
{
    printer.BeginDoc();
    printer.Canvas().TextOut(10, 10, QStringLiteral("途中"));
    printer.Abort();
    EXPECT_FALSE(printer.Printing());
    EXPECT_FALSE(QFile::exists(pdf));

    printer.SetOutputFileName(dir.filePath(QStringLiteral("missing/folder/out.pdf")));
    EXPECT_THROW(printer.BeginDoc(), EInvalidOperation);
    EXPECT_FALSE(printer.Printing());
    EXPECT_FALSE(printer.Canvas().IsAttached());
}

} // namespace
