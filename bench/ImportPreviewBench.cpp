// Opening the import preview of the largest files the import reads (10 MB),
// of the shapes that cost most: from the choice of the file to the painted
// preview (the file read and parsed, its dates looked up in a data file of
// 10 000 days, the lists filled). The preview must open within a second
// for any file the import accepts.
//   0 Junk2MB     a million lines that are no leave day, 2 MB
//   1 Junk10MB    five million such lines
//   2 Days10MB    870 000 distinct days from the year 1 on, 10 000 of them
//                 stored with other leave: every day is new or changed
//   3 Commas10MB  one line of ten million empty fields
//   4 Quotes10MB  lines that open a quote each, closed by the next line
//   5 Long10MB    100 000 lines of 100 characters, none a day
// Real time per opening on a quiet two-core machine, and the peak memory of
// the whole benchmark program (measured on a busy one):
//   Junk2MB      49 ms   39 MB    Commas10MB   56 ms   63 MB
//   Junk10MB    247 ms   64 MB    Quotes10MB   24 ms   64 MB
//   Days10MB    435 ms  245 MB    Long10MB     17 ms   64 MB
// Before the lists were cut to their first 1000 rows, Junk2MB took 8975 ms
// of CPU time (27.7 s real) and 316 MB on the busy one.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "DataFiles.h"
#include "core/CsvImport.h"
#include "platform/DataDirectory.h"
#include "reports/ImportPreview.h"

namespace {

// Repeats `line` (the `index` given to make it) until the file would pass `bytes`.
template <typename Line> QByteArray Repeated(qint64 bytes, const Line& line)
{
    QByteArray text;
    text.reserve(bytes);
    for (int i = 0;; ++i) {
        const QByteArray next = line(i);
        if (text.size() + next.size() > bytes)
            return text;
        text += next;
    }
}

const QString& FileOf(int shape)
{
    static QTemporaryDir dir;
    static QString paths[6];
    QString& path = paths[shape];
    if (!path.isEmpty())
        return path;
    constexpr qint64 Max = CsvImport::MaxFileBytes;
    QByteArray bytes;
    switch (shape) {
    case 0:
        bytes = QByteArray(1'000'000 * 2, 'x');
        for (qsizetype i = 1; i < bytes.size(); i += 2)
            bytes[i] = '\n';
        break;
    case 1:
        bytes = Repeated(Max, [](int) { return QByteArray("x\n"); });
        break;
    case 2:
        bytes = Repeated(Max, [](int i) {
            const QDate date = QDate(1, 1, 1).addDays(i);
            return QStringLiteral("%1/%2/%3,全\n")
                .arg(date.year(), 4, 10, QChar(u'0'))
                .arg(date.month())
                .arg(date.day())
                .toUtf8();
        });
        break;
    case 3:
        bytes = QByteArray(Max, ',');
        break;
    case 4:
        bytes = Repeated(Max, [](int) { return QByteArray("\"2026/8/12,AM\n"); });
        break;
    default:
        bytes = Repeated(Max, [](int) { return QByteArray(99, 'z') + '\n'; });
        break;
    }
    path = dir.filePath(QStringLiteral("file%1.csv").arg(shape));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
    return path;
}

void OpenPreview(benchmark::State& state)
{
    const QString& path = FileOf(int(state.range(0)));
    SetDataDirectory(BenchData::DataDirectoryOf(10'000, 1900));
    for (auto _ : state) {
        ImportPreview::OpenFile(nullptr, path);
        benchmark::DoNotOptimize(ImportPreviewForm->grab());
        state.PauseTiming();
        ImportPreviewForm->Button3Click();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(OpenPreview)->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
