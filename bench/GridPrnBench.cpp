// Printing a calendar-sized table: a 1 000-row grid printed whole to a PDF
// file at the printer's resolution, and one page drawn onto a screen image.
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "platform/Canvas.h"
#include "platform/Printer.h"
#include "platform/StringGrid.h"
#include "widgets/GridPrn.h"

namespace {

// Five columns as the holiday list prints them, one heading row.
void FillGrid(TStringGrid& grid, int rows)
{
    InstallFontSubstitutions();
    const int widths[] = { 50, 90, 50, 70, 380 };
    grid.SetColCount(5);
    grid.SetRowCount(rows + 1);
    grid.SetFixedRows(1);
    grid.SetFixedCols(0);
    for (int c = 0; c < 5; ++c)
        grid.SetColWidths(c, widths[c]);
    const QString heading[] = { QStringLiteral("回"), QStringLiteral("年月日"), QStringLiteral("曜日"),
        QStringLiteral("休暇"), QStringLiteral("備考") };
    for (int c = 0; c < 5; ++c)
        grid.SetCells(c, 0, heading[c]);
    for (int r = 1; r <= rows; ++r) {
        grid.SetCells(0, r, QString::number(r));
        grid.SetCells(1, r, QStringLiteral("2024/%1/%2").arg(r % 12 + 1).arg(r % 28 + 1));
        grid.SetCells(2, r, QStringLiteral("月"));
        grid.SetCells(3, r, QStringLiteral("１日休暇"));
        grid.SetCells(4, r, QStringLiteral("通院のため"));
    }
}

void PrintToPdf(benchmark::State& state)
{
    TStringGrid grid;
    FillGrid(grid, int(state.range(0)));
    QTemporaryDir dir;
    TPrinter device;
    device.SetOutputFileName(dir.filePath(QStringLiteral("bench.pdf")));
    TGridPrinter printer;
    printer.SetPrinter(&device);
    printer.SetGrid(&grid);
    printer.SetTopMargin(80);
    printer.SetLeftMargin(60);
    int pages = 0;
    for (auto _ : state)
        pages = printer.Print();
    state.counters["pages"] = pages;
}

void DrawOnePage(benchmark::State& state)
{
    TStringGrid grid;
    FillGrid(grid, 1000);
    TGridPrinter printer;
    printer.SetGrid(&grid);
    printer.SetTopMargin(80);
    printer.SetLeftMargin(60);
    // An A4 page at screen resolution.
    QImage image(794, 1123, QImage::Format_RGB32);
    for (auto _ : state)
        benchmark::DoNotOptimize(printer.DrawPage(image, true));
}

} // namespace

BENCHMARK(PrintToPdf)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(DrawOnePage)->Unit(benchmark::kMicrosecond);
