// A full repaint of a string grid into an image of fixed size: the cost
// should follow the visible cells, so 1 000 rows paint about as fast as 20.
#include <QImage>
#include <QString>

#include <benchmark/benchmark.h>

#include "platform/Canvas.h"
#include "platform/StringGrid.h"

namespace {

void FullRepaint(benchmark::State& state)
{
    InstallFontSubstitutions();
    const int rows = int(state.range(0));
    TStringGrid grid;
    grid.SetColCount(5);
    grid.SetRowCount(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 5; ++c)
            grid.SetCells(c, r, QStringLiteral("%1年%2").arg(r).arg(c));
    // The 20-row grid just fills the window; the 1 000-row one runs far past it.
    grid.resize(5 * 65 + 20, 20 * 25 + 20);
    grid.show();
    QImage image(grid.viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        grid.PaintTo(image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

} // namespace

BENCHMARK(FullRepaint)->Arg(20)->Arg(1000)->Unit(benchmark::kMicrosecond);
