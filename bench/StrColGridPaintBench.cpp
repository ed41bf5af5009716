// A full repaint of a fiscal-year-sized colour string grid (12 months of 31
// days plus headers) in which every day cell has its own item, as the
// calendar leaves it after setting each day's colour. Must stay well inside
// one frame at 60 Hz.
#include <QImage>
#include <QString>

#include <benchmark/benchmark.h>

#include "platform/Canvas.h"
#include "widgets/StrCGrid.h"

namespace {

constexpr int Cols = 32;
constexpr int Rows = 13;

void FillLikeACalendar(TStrColGrid& grid)
{
    grid.SetColCount(Cols);
    grid.SetRowCount(Rows);
    grid.SetDefaultColWidth(22);
    for (int c = 1; c < Cols; ++c)
        grid.SetCells(c, 0, QString::number(c));
    for (int r = 1; r < Rows; ++r) {
        grid.SetCells(0, r, QStringLiteral("%1月").arg(r));
        for (int c = 1; c < Cols; ++c) {
            const TColor colour = c % 7 == 0 ? clRed : c % 7 == 6 ? clBlue : c % 5 == 0 ? clGreen : clBlack;
            grid.SetCellFontColor(c, r, colour);
            grid.SetCellAlignment(c, r, taCenter);
            grid.SetCells(c, r, c % 5 == 0 ? QStringLiteral("全") : QStringLiteral("月"));
        }
    }
    grid.resize(Cols * 23 + 20, Rows * 25 + 20);
}

void FullRepaint(benchmark::State& state)
{
    InstallFontSubstitutions();
    TStrColGrid grid;
    FillLikeACalendar(grid);
    grid.show();
    QImage image(grid.viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        grid.PaintTo(image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["items"] = grid.CellParams().Count();
}

// The same repaint as the window shows it on a screen scaled to 150 % or
// 200 %: through the grid's buffer, at the screen's resolution (argument:
// the scale in per cent; 100 is the plain screen, for comparison).
void ScaledWindowRepaint(benchmark::State& state)
{
    InstallFontSubstitutions();
    TStrColGrid grid;
    FillLikeACalendar(grid);
    grid.show();
    const qreal ratio = state.range(0) / 100.0;
    QImage image(grid.viewport()->size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    for (auto _ : state) {
        grid.viewport()->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The fill itself: an item created per cell through the two setters.
void FillCalendar(benchmark::State& state)
{
    InstallFontSubstitutions();
    for (auto _ : state) {
        TStrColGrid grid;
        FillLikeACalendar(grid);
        benchmark::DoNotOptimize(grid.CellParams().Count());
    }
}

// The item lookup alone, once for every cell, as one repaint does it.
void LookupEveryCell(benchmark::State& state)
{
    TStrColGrid grid;
    FillLikeACalendar(grid);
    for (auto _ : state)
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < Cols; ++c)
                benchmark::DoNotOptimize(grid.FindCellParam(c, r, false));
}

} // namespace

BENCHMARK(FullRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(ScaledWindowRepaint)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(FillCalendar)->Unit(benchmark::kMicrosecond);
BENCHMARK(LookupEveryCell)->Unit(benchmark::kMicrosecond);
