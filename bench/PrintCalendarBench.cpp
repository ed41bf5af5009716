// Printing the holiday calendar as the user does it: OK in the print dialog
// copies a 1 000-row list into the print grid and prints it to a PDF file at
// the printer's resolution; the preview lays out the same list on screen
// pages (every page drawn once to count them, then page 1).

#include <optional>

#include <QCoreApplication>
#include <QDate>
#include <QEvent>
#include <QMessageLogContext>
#include <QPushButton>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "app/MainForm.h"
#include "app/Program.h"
#include "platform/DataDirectory.h"
#include "platform/Dates.h"
#include "platform/Printer.h"
#include "reports/PrintPreview.h"
#include "reports/priansf.h"
#include "views/Hcalf.h"
#include "widgets/StrCGrid.h"

namespace {

constexpr int Rows = 1000;

// The offscreen platform's notes on every window it shows bury the figures.
QtMessageHandler passOn = nullptr;

void DropPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.contains(QStringLiteral("does not support")))
        passOn(type, context, message);
}

// The program with the holiday calendar open, its list made 1 000 rows long
// (a fiscal year holds at most 366, so the rows are written into the grid),
// and the print dialog opened for it, printing into a PDF file.
class HolidayListPrint {
public:
    HolidayListPrint()
    {
        if (!passOn)
            passOn = qInstallMessageHandler(DropPlatformNotes);
        SetDataDirectory(data_.path());
        QFile settings(data_.filePath(QStringLiteral("orbelund.ini")));
        if (settings.open(QIODevice::WriteOnly))
            settings.write("[Start]\r\nShow=2\r\n");
        settings.close();
        Dates::SetToday(QDate(2024, 6, 15));
        CreateProgramWindows()->show();
        QCoreApplication::processEvents();
        device_.SetOutputFileName(data_.filePath(QStringLiteral("bench.pdf")));
        priansform->SetPrinter(&device_);

        TStrColGrid& grid = *HCalForm->StrColGrid1;
        grid.SetRowCount(Rows + 1);
        const QDate first(2024, 4, 1);
        for (int r = 1; r <= Rows; ++r) {
            const QDate d = first.addDays(r % 365);
            grid.SetCells(0, r, QString::number(r));
            grid.SetCells(1, r, d.toString(QStringLiteral("yyyy/MM/dd")));
            grid.SetCells(2, r, Dates::ShortDayName(d.dayOfWeek() % 7 + 1));
            grid.SetCells(3, r, QStringLiteral("全"));
            grid.SetCells(4, r, QStringLiteral("通院のため"));
        }
        Mainform->OpenPrintDialog();
    }
    ~HolidayListPrint()
    {
        delete Mainform;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Dates::SetToday(std::nullopt);
        SetDataDirectory(QString());
    }
    HolidayListPrint(const HolidayListPrint&) = delete;
    HolidayListPrint& operator=(const HolidayListPrint&) = delete;

private:
    QTemporaryDir data_;
    TPrinter device_;
};

void PrintHolidayListToPdf(benchmark::State& state)
{
    HolidayListPrint program;
    for (auto _ : state) {
        priansform->Button1Click();
        if (priansform->PrintedPages() < 2)
            state.SkipWithError("the list did not print");
    }
    state.counters["pages"] = priansform->PrintedPages();
}

void PreviewHolidayList(benchmark::State& state)
{
    HolidayListPrint program;
    for (auto _ : state)
        priansform->Button4Click();
    state.counters["pages"] = priansform->Preview() ? priansform->Preview()->PageCount() : 0;
}

} // namespace

BENCHMARK(PrintHolidayListToPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(PreviewHolidayList)->Unit(benchmark::kMillisecond);
