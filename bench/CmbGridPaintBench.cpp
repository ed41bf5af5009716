// A full repaint of a combo grid with text, number-format, button and check
// columns. The window shows the same number of rows whatever the grid
// holds, so a 1 000-row grid must repaint about as fast as a 20-row one.
#include <QImage>
#include <QString>

#include <benchmark/benchmark.h>

#include "platform/Canvas.h"
#include "widgets/CmbGrid.h"

namespace {

void Fill(TComboGrid& grid, int rows)
{
    grid.SetColCount(6);
    grid.SetRowCount(rows + 1);
    grid.ColumnKind(1).Items().Add(QString());
    grid.ColumnKind(1).Items().Add(QStringLiteral("#,##0"));
    grid.ColumnKind(1).SetAlign(caRight | caVCenter);
    grid.ColumnKind(2).SetKind(ckCombo);
    grid.ColumnKind(3).SetKind(ckButton);
    grid.ColumnKind(3).Items().Add(QStringLiteral("実行"));
    TCellKind& check = grid.ColumnKind(4);
    check.SetKind(ckCheck);
    check.Items().Add(QStringLiteral("いいえ"), 0);
    check.Items().Add(QStringLiteral("はい"), 1);
    grid.ColumnKind(5).SetAlign(caCenter | caVCenter);
    for (int r = 1; r <= rows; ++r) {
        grid.SetCells(0, r, QString::number(r));
        grid.SetCells(1, r, QString::number(r * 1234));
        grid.SetCells(2, r, QStringLiteral("みかん"));
        grid.SetCells(4, r, r % 2 ? QStringLiteral("はい") : QStringLiteral("いいえ"));
        grid.SetCells(5, r, QStringLiteral("有給休暇"));
    }
    // Room for 20 rows of 24 pixels and the heading.
    grid.resize(6 * 65 + 20, 21 * 25 + 20);
}

void FullRepaint(benchmark::State& state)
{
    InstallFontSubstitutions();
    TComboGrid grid;
    Fill(grid, int(state.range(0)));
    grid.show();
    QImage image(grid.viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        grid.PaintTo(image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

} // namespace

BENCHMARK(FullRepaint)->Arg(20)->Arg(1000)->Unit(benchmark::kMicrosecond);
