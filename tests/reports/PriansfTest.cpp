#include "reports/priansf.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include "reports/PdfFiles.h"
#include "views/ViewsTestSupport.h"
#include "core/LeaveStore.h"
#include "platform/Application.h"
#include "platform/Printer.h"
#include "views/Hcalf.h"
#include "views/Mcalf.h"
#include "views/Ycalf.h"

namespace {

const QString Spaces = QStringLiteral("　　        ");

// The program started in a temporary data directory on 10 April 2024, its
// print dialog printing to a PDF file of the test's own.
class PriansfTest : public ::testing::Test {
protected:
    void SetUp() override { device.SetOutputFileName(pdf); }

    void Start(const QByteArray& settings)
    {
        program = std::make_unique<ProgramWindows>(data, settings);
        ASSERT_NE(priansform, nullptr);
        priansform->SetPrinter(&device);
    }
    void StartWith(int calendar) { Start("[Start]\r\nShow=" + QByteArray::number(calendar) + "\r\n"); }

    // The fiscal year 2024 with one leave day on each of `count` days from
    // 1 April 2024 on.
    static void SaveLeaveDays(int count)
    {
        const QDate first(2024, 4, 1);
        for (int i = 0; i < count; ++i) {
            const QDate d = first.addDays(i);
            LeaveStore::SaveEntry(d.year(), d.month(), d.day(), 1, QStringLiteral("休%1").arg(i + 1));
        }
    }

    void CloseCalendar()
    {
        program->Main().MdiArea()->closeAllSubWindows();
        QCoreApplication::processEvents();
    }

    QStringList Messages() const
    {
        QStringList texts;
        for (const auto& m : dialogs.messages)
            texts << m.caption + u':' + m.text;
        return texts;
    }

    TempDataDirectory data;
    ScriptedDialogs dialogs;
    FixedToday today { QDate(2024, 4, 10) };
    QTemporaryDir out;
    QString pdf = out.filePath(QStringLiteral("calendar.pdf"));
    TPrinter device;
    std::unique_ptr<ProgramWindows> program;
};

TEST_F(PriansfTest, MenuAndToolButtonOpenTheDialogNamedForTheOpenCalendar)
{
    StartWith(1);
    program->Main().Print1->trigger();
    EXPECT_TRUE(priansform->isVisible());
    EXPECT_EQ(priansform->windowTitle(), QStringLiteral("印刷－月カレンダー"));
    priansform->Button2->click();
    EXPECT_FALSE(priansform->isVisible());

    program->Main().OpenHolidayCalendar();
    program->Main().ToolButton7->click();
    EXPECT_TRUE(priansform->isVisible());
    EXPECT_EQ(priansform->windowTitle(), QStringLiteral("印刷－休日カレンダー"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PriansfTest, EveryOpeningFocusesOkAndEnterPressesTheFocusedButton)
{
    StartWith(1);
    const auto open = [this] {
        QTest::mouseClick(program->Main().ToolButton7, Qt::LeftButton);
        ASSERT_TRUE(BecomesActive(priansform));
    };
    open();
    EXPECT_EQ(QApplication::focusWidget(), priansform->Button1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), priansform->Button2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(priansform->isVisible());
    EXPECT_FALSE(QFile::exists(pdf));

    // CANCEL had the focus last; the next opening is on OK again.
    open();
    ASSERT_EQ(QApplication::focusWidget(), priansform->Button1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(priansform->isVisible());
    EXPECT_EQ(PdfFiles::Pages(pdf), 1);
}

TEST_F(PriansfTest, EscAndAltCCancelThoughTheMainMenuHasAnAltC)
{
    StartWith(1);
    for (const QKeyCombination key : { QKeyCombination(Qt::Key_Escape), Qt::AltModifier | Qt::Key_C }) {
        QTest::mouseClick(program->Main().ToolButton7, Qt::LeftButton);
        ASSERT_TRUE(BecomesActive(priansform));
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        EXPECT_FALSE(priansform->isVisible()) << QKeySequence(key).toString().toStdString();
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr); // no menu opened
    }
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(PriansfTest, WithoutACalendarTheCommandWarnsAndShowsNoDialog)
{
    StartWith(0);
    CloseCalendar();
    program->Main().Print1->trigger();
    program->Main().ToolButton7->click();
    EXPECT_FALSE(priansform->isVisible());
    ASSERT_EQ(dialogs.messages.size(), 2u);
    for (const auto& m : dialogs.messages) {
        EXPECT_EQ(m.text, QStringLiteral("印刷するカレンダーを表示して下さい！"));
        EXPECT_EQ(m.caption, QStringLiteral("警告"));
        EXPECT_EQ(m.icon, MsgIcon::Warning);
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
    }
}

TEST_F(PriansfTest, MonthCalendarPrintsOnePortraitPageUnderItsHeading)
{
    StartWith(1);
    program->Main().Print1->trigger();
    priansform->Button1->click();

    EXPECT_TRUE(dialogs.messages.empty()) << Messages().join(u'\n').toStdString();
    EXPECT_FALSE(priansform->isVisible());
    EXPECT_EQ(Tpriansform::HeadingText(), Spaces + QStringLiteral("月カレンダー（2024年4月）"));
    ASSERT_EQ(PdfFiles::Pages(pdf), 1);
    const QSizeF page = PdfFiles::PageSize(pdf);
    EXPECT_LT(page.width(), page.height());
    EXPECT_EQ(PdfFiles::Title(pdf), QStringLiteral("月カレンダー（2024年4月）"));
    // The heading sits indented by its spaces above the table: in points,
    // the table's left edge is 85 screen units (0.75 pt each) left of the
    // centre of its first heading "日"; without the spaces the heading would
    // start there, with only the ideographic ones 18 pt further on.
    const QList<PdfFiles::Word> words = PdfFiles::Words(pdf, 1);
    ASSERT_GE(words.size(), 3);
    EXPECT_EQ(words[0].text, QStringLiteral("月カレンダー（2024年4月）"));
    EXPECT_EQ(words[1].text, QStringLiteral("日"));
    const double tableLeft = words[1].left + 4.5 - 85 * 0.75;
    EXPECT_GT(words[0].left - tableLeft, 30.0);
    EXPECT_LT(words[0].top, words[1].top);
    const QString text = PdfFiles::PageText(pdf, 1);
    EXPECT_TRUE(text.contains(QStringLiteral("30")));

    // The print grid holds the month's 32 rows, row 31 blank, columns as wide
    // as they print.
    const TStringGrid& grid = *priansform->ComboGrid1;
    EXPECT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(grid.RowCount(), 32);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(grid.FixedCols(), 0);
    EXPECT_EQ(grid.ColWidths(0), 50);
    EXPECT_EQ(grid.ColWidths(3), 420);
    EXPECT_EQ(grid.Cells(0, 1), QStringLiteral("1"));
    EXPECT_EQ(grid.Cells(0, 30), QStringLiteral("30"));
    EXPECT_EQ(grid.Cells(0, 31), QString());
    EXPECT_EQ(grid.Cells(1, 0), QStringLiteral("曜日"));
    EXPECT_EQ(priansform->PrintedPages(), 1);
}

TEST_F(PriansfTest, FiscalYearCalendarPrintsLandscapeOnOnePage)
{
    StartWith(0);
    program->Main().Print1->trigger();
    priansform->Button1->click();
    ASSERT_EQ(PdfFiles::Pages(pdf), 1);
    const QSizeF page = PdfFiles::PageSize(pdf);
    EXPECT_GT(page.width(), page.height());
    const QString text = PdfFiles::PageText(pdf, 1);
    EXPECT_TRUE(text.contains(QStringLiteral("年度カレンダー（2024年度）"))) << text.toStdString();
    EXPECT_EQ(priansform->ComboGrid1->ColCount(), 32);
    EXPECT_EQ(priansform->ComboGrid1->RowCount(), 13);
    EXPECT_EQ(priansform->ComboGrid1->ColWidths(31), 30);
    // Month headings and day headings come across as the calendar has them.
    EXPECT_EQ(priansform->ComboGrid1->Cells(0, 10), QStringLiteral("1"));
    EXPECT_EQ(priansform->ComboGrid1->Cells(31, 0), QStringLiteral("31"));
}

TEST_F(PriansfTest, LongHolidayListRepeatsItsHeadingRowAndLineOnEveryPage)
{
    SaveLeaveDays(90);
    StartWith(2);
    ASSERT_EQ(HCalForm->StrColGrid1->RowCount(), 91);
    program->Main().Print1->trigger();
    priansform->Button1->click();

    const int pages = PdfFiles::Pages(pdf);
    ASSERT_GE(pages, 3);
    EXPECT_EQ(priansform->PrintedPages(), pages);
    for (int p = 1; p <= pages; ++p) {
        const QString text = PdfFiles::PageText(pdf, p);
        EXPECT_TRUE(text.contains(QStringLiteral("休日カレンダー（2024年度）"))) << p;
        for (const char16_t* heading : { u"回", u"年月日", u"曜日", u"休暇", u"備考" })
            EXPECT_TRUE(text.contains(QString::fromUtf16(heading))) << p;
    }
    EXPECT_TRUE(PdfFiles::PageText(pdf, 1).contains(QStringLiteral("2024/04/01")));
    EXPECT_FALSE(PdfFiles::PageText(pdf, 1).contains(QStringLiteral("2024/06/29")));
    EXPECT_TRUE(PdfFiles::PageText(pdf, pages).contains(QStringLiteral("2024/06/29")));
    const QSizeF page = PdfFiles::PageSize(pdf);
    EXPECT_LT(page.width(), page.height());
}

TEST_F(PriansfTest, CalendarClosedBeforeOkPrintsNothingAndKeepsTheDialog)
{
    StartWith(1);
    program->Main().Print1->trigger();
    CloseCalendar();
    priansform->Button1->click();
    priansform->Button4->click();
    EXPECT_TRUE(priansform->isVisible());
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(Messages(),
        QStringList({ QStringLiteral("警告:印刷する画面を閉じないで下さい！"),
            QStringLiteral("警告:印刷する画面を閉じないで下さい！") }));
    EXPECT_EQ(Tpriansform::HeadingText(), Spaces);
}

TEST_F(PriansfTest, CalendarSwitchedAfterOpeningPrintsTheOneShownAtOk)
{
    StartWith(0);
    program->Main().Print1->trigger();
    program->Main().OpenMonthCalendar();
    priansform->Button1->click();
    EXPECT_EQ(priansform->windowTitle(), QStringLiteral("印刷－年度カレンダー"));
    const QString text = PdfFiles::PageText(pdf, 1);
    EXPECT_TRUE(text.contains(QStringLiteral("月カレンダー（2024年4月）"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("年度カレンダー")));
    const QSizeF page = PdfFiles::PageSize(pdf);
    EXPECT_LT(page.width(), page.height());
}

TEST_F(PriansfTest, SecondOkDuringARunLeavesTheRunAlone)
{
    SaveLeaveDays(90);
    StartWith(2);
    program->Main().Print1->trigger();
    bool ranDuringPrint = false;
    bool okEnabledDuringPrint = true;
    bool busyDuringPrint = false;
    // Runs from the window messages the printer lets through between rows.
    QTimer::singleShot(0, priansform, [&] {
        ranDuringPrint = priansform->Printing();
        okEnabledDuringPrint = priansform->Button1->isEnabled();
        busyDuringPrint = QGuiApplication::overrideCursor() != nullptr
            && QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
        program->Main().OpenMonthCalendar();
        Application::Guard([] { priansform->Button1Click(); });
        Application::Guard([] { priansform->Button3Click(); });
        Application::Guard([] { priansform->Button4Click(); });
    });
    priansform->Button1->click();

    EXPECT_TRUE(ranDuringPrint);
    EXPECT_FALSE(okEnabledDuringPrint);
    EXPECT_TRUE(busyDuringPrint);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(dialogs.messages.empty()) << Messages().join(u'\n').toStdString();
    // The holiday list printed whole; only the headings of the later pages
    // follow the calendar shown when they start.
    EXPECT_EQ(priansform->ComboGrid1->ColCount(), 5);
    EXPECT_EQ(priansform->ComboGrid1->RowCount(), 91);
    const int pages = PdfFiles::Pages(pdf);
    ASSERT_GE(pages, 3);
    EXPECT_TRUE(PdfFiles::PageText(pdf, pages).contains(QStringLiteral("2024/06/29")));
    EXPECT_TRUE(priansform->Button1->isEnabled());
    EXPECT_EQ(priansform->Preview(), nullptr);
}

TEST_F(PriansfTest, PrinterSetUpGoesThroughTheDialogSeam)
{
    StartWith(1);
    program->Main().Print1->trigger();
    dialogs.printerSetupAnswers = { true };
    priansform->Button3->click();
    EXPECT_TRUE(dialogs.printerSetupAnswers.empty());
    EXPECT_TRUE(priansform->isVisible());
}

TEST_F(PriansfTest, WithoutAPrinterOkAsksWhereToSaveThePdf)
{
    TPrinter noPrinter;
    noPrinter.WritePdf();
    StartWith(1);
    priansform->SetPrinter(&noPrinter);
    program->Main().Print1->trigger();

    // Cancelled: nothing printed, the dialog stays.
    priansform->Button1->click();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].filter, QStringLiteral("PDFファイル(*.pdf)|*.pdf"));
    EXPECT_TRUE(dialogs.saveRequests[0].fileName.endsWith(QStringLiteral("/月カレンダー（2024年4月）.pdf")));
    EXPECT_TRUE(priansform->isVisible());
    EXPECT_TRUE(dialogs.messages.empty());

    const QString chosen = out.filePath(QStringLiteral("4月"));
    dialogs.saveAnswers.push_back(SaveDialogAnswer { chosen, 1 });
    priansform->Button1->click();
    EXPECT_FALSE(priansform->isVisible());
    EXPECT_EQ(PdfFiles::Pages(chosen + QStringLiteral(".pdf")), 1);

    // Every print asks again, in the folder chosen last.
    MCalForm->SpeedButton3->click();
    program->Main().Print1->trigger();
    priansform->Button1->click();
    ASSERT_EQ(dialogs.saveRequests.size(), 3u);
    EXPECT_EQ(dialogs.saveRequests[2].fileName, out.filePath(QStringLiteral("月カレンダー（2024年5月）.pdf")));
}

TEST_F(PriansfTest, EveryColumnPrintsCentred)
{
    StartWith(1);
    priansform->PrepareGrid(CalendarKind::Holiday);
    // The print grid's column kinds, as the grid printer reads them.
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(priansform->ComboGrid1->ColumnFixedAlign(c), CellAlign(caCenter | caVCenter)) << c;
        EXPECT_EQ(priansform->ComboGrid1->ColumnAlign(c), CellAlign(caCenter | caVCenter)) << c;
        EXPECT_EQ(priansform->GridPrinter1->ColumnLayout(c).Align, 0x12) << c;
    }
    EXPECT_EQ(priansform->ComboGrid1->ColWidths(1), 90);
    EXPECT_EQ(priansform->ComboGrid1->ColWidths(4), 380);
}

} // namespace
