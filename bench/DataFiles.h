#pragma once

// Data directories with a leave data file of a given size, made once per run
// and kept for it, and the plain sequential read of such a file: every
// operation that walks the whole file has that read as its floor.

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "core/LeaveRecord.h"

namespace BenchData {

// The directory (with its trailing separator) of a Holiday.d00 of `records`
// records of distinct dates from 1 January of `firstYear` on, 28 days in each
// month, kinds 1 to 10 in turn, each with a short memo.
inline const QString& DataDirectoryOf(qint64 records, int firstYear)
{
    static std::map<std::pair<qint64, int>, std::pair<std::unique_ptr<QTemporaryDir>, QString>> made;
    auto& entry = made[{ records, firstYear }];
    if (!entry.first) {
        entry.first = std::make_unique<QTemporaryDir>();
        entry.second = entry.first->path() + u'/';
        QFile file(entry.second + QStringLiteral("Holiday.d00"));
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        std::vector<LeaveRecord> batch;
        for (qint64 i = 0; i < records; ++i) {
            const int year = firstYear + int(i / 336);
            const int month = int(i / 28 % 12) + 1;
            const int day = int(i % 28) + 1;
            batch.push_back(LeaveRecord::Make(year, month, day, int(i % 10) + 1, QStringLiteral("メモ")));
            if (batch.size() == 4096 || i + 1 == records) {
                const qint64 bytes = qint64(batch.size()) * LeaveRecord::Size;
                if (file.write(reinterpret_cast<const char*>(batch.data()), bytes) != bytes)
                    std::abort();
                batch.clear();
            }
        }
    }
    return entry.second;
}

// Opens the file, reads it to its end in large blocks and closes it; returns
// the number of bytes read.
inline qint64 PlainRead(const QString& path)
{
    static std::vector<char> buffer(256 * 1024);
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDONLY);
    qint64 total = 0;
    for (ssize_t got; (got = ::read(fd, buffer.data(), buffer.size())) > 0;)
        total += got;
    ::close(fd);
    return total;
}

// A target as one figure: each iteration times a plain read of the file at
// path and the work back to back, in turn first, so that a busy machine
// slows both alike; the counter "ratio" is the work's time over the read's.
template <typename Work> void RatioOverPlainRead(benchmark::State& state, const QString& path, Work work)
{
    using Clock = std::chrono::steady_clock;
    Clock::duration plain {}, worked {};
    bool plainFirst = true;
    for (auto _ : state) {
        for (int step = 0; step < 2; ++step) {
            const Clock::time_point start = Clock::now();
            if ((step == 0) == plainFirst) {
                benchmark::DoNotOptimize(PlainRead(path));
                plain += Clock::now() - start;
            } else {
                work();
                worked += Clock::now() - start;
            }
        }
        plainFirst = !plainFirst;
    }
    state.counters["ratio"] = std::chrono::duration<double>(worked) / std::chrono::duration<double>(plain);
}

} // namespace BenchData
