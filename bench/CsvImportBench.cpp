// Reading a CSV file of 10 000 leave days for the import, against reading
// the same file plainly: its bytes alone, its bytes decoded to text, and its
// text cut into a table of lines and fields, nothing interpreted. The import
// reads and decodes the file, parses every line (date, kind, memo) and looks
// every date up in a data file of 10 000 records in one pass: all that comes
// before the preview. What the chosen import then writes is one save of
// several days (LeaveStoreBench's SaveDays). Median CPU time on a busy
// two-core machine, argument 0 UTF-8 and 1 Shift-JIS:
//   PlainRead  7.5 / 6.4 us    ReadTable  4.7 / 5.7 ms
//   ReadText   272 / 1062 us   Import     7.2 / 7.9 ms (1.5 and 1.4 times the table)
// Converting every memo and every found record opened a converter of the
// system each time until ShiftJis kept them open; that alone took 18 ms.

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "DataFiles.h"
#include "core/CsvImport.h"
#include "platform/DataDirectory.h"
#include "platform/ShiftJis.h"
#include "reports/ImportPreview.h"

namespace {

constexpr int Lines = 10'000;

// A sheet of `Lines` days with a heading, in Shift-JIS or UTF-8; half its
// dates are in the data file already.
const QString& SheetOf(bool shiftJis)
{
    static QTemporaryDir dir;
    static QString paths[2];
    QString& path = paths[shiftJis];
    if (path.isEmpty()) {
        QString text = QStringLiteral("年月日,休暇,備考\r\n");
        const QString kinds[] = { QStringLiteral("全"), QStringLiteral("１日休暇"), QStringLiteral("夏"),
            QStringLiteral("AM"), QStringLiteral("代休") };
        for (int i = 0; i < Lines; ++i) {
            const QDate date = QDate(1915, 1, 1).addDays(i);
            text += QStringLiteral("%1/%2/%3,%4,%5\r\n")
                        .arg(date.year())
                        .arg(date.month())
                        .arg(date.day())
                        .arg(kinds[i % 5])
                        .arg(i % 3 ? QStringLiteral("会議") : QStringLiteral("\"旅行,帰省\""));
        }
        path = dir.filePath(shiftJis ? QStringLiteral("sjis.csv") : QStringLiteral("utf8.csv"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write(shiftJis ? ShiftJis::FromUnicode(text) : text.toUtf8());
    }
    return path;
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll();
}

void PlainRead(benchmark::State& state)
{
    const QString& path = SheetOf(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(BenchData::PlainRead(path));
}

void ReadText(benchmark::State& state)
{
    const QString& path = SheetOf(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(CsvImport::DecodeText(ReadBytes(path)));
}

// The file read as a plain table: its text cut into lines and the lines
// into fields, nothing interpreted.
void ReadTable(benchmark::State& state)
{
    const QString& path = SheetOf(state.range(0));
    for (auto _ : state) {
        QList<QStringList> table;
        for (const QString& line : CsvImport::DecodeText(ReadBytes(path)).split(QStringLiteral("\r\n")))
            table.append(line.split(u','));
        benchmark::DoNotOptimize(table);
    }
}

void Import(benchmark::State& state)
{
    const QString& path = SheetOf(state.range(0));
    SetDataDirectory(BenchData::DataDirectoryOf(Lines, 1900));
    for (auto _ : state)
        benchmark::DoNotOptimize(ImportPreview::PlanFor(CsvImport::ReadFile(path)));
}

} // namespace

// Argument 0: UTF-8, 1: Shift-JIS.
BENCHMARK(PlainRead)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadText)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadTable)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(Import)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
