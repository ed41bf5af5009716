// The calendar core's costs: the holidays of every fiscal year the calendar
// can show, by either holiday table, and the fiscal-year day table over data files of growing size,
// next to a plain sequential read of the same file, which is the floor the
// table build cannot go below.

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "core/FiscalYearDayTable.h"
#include "core/HolidayCalendar.h"
#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "core/Settings.h"
#include "platform/DataDirectory.h"

namespace {

constexpr int TableYear = 2024;

// A data directory with Saturdays, Sundays and holidays off and a data file of
// `records` records: dates of fiscal years 2022 to 2026, every leave kind,
// one in ten cleared, so that the build filters as it does on real files.
class DataFile {
public:
    explicit DataFile(int records)
    {
        SetDataDirectory(dir_.path());
        Settings::WriteFirstRunSet();
        Settings::WriteHolidaysAreDaysOff(true);
        std::mt19937 random(records);
        QByteArray bytes;
        bytes.reserve(qsizetype(records) * LeaveRecord::Size);
        for (int i = 0; i < records; ++i) {
            const int year = 2022 + int(random() % 5);
            const int month = 1 + int(random() % 12);
            const int day = 1 + int(random() % 28);
            const int kind = random() % 10 == 0 ? 0 : 1 + int(random() % 10);
            const LeaveRecord record = LeaveRecord::Make(year, month, day, kind, QStringLiteral("メモ"));
            bytes.append(reinterpret_cast<const char*>(record.Data()), LeaveRecord::Size);
        }
        QFile file(LeaveStore::FilePath());
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the data file");
        SetDataDirectory(QString());
    }

    void Use() const { SetDataDirectory(dir_.path()); }

private:
    QTemporaryDir dir_;
};

const DataFile& DataFileOf(int records)
{
    static std::map<int, std::unique_ptr<DataFile>> files;
    auto& file = files[records];
    if (!file)
        file = std::make_unique<DataFile>(records);
    return *file;
}

void HolidaysOfEveryFiscalYear(benchmark::State& state, HolidayCalendar::HolidayTable table)
{
    for (auto _ : state) {
        size_t days = 0;
        for (int fiscalYear = 1; fiscalYear <= 9998; ++fiscalYear)
            days += HolidayCalendar::NationalHolidaysOfFiscalYear(fiscalYear, table).size();
        benchmark::DoNotOptimize(days);
    }
}

// The program's own table, and the law as it stands ([Holiday] CurrentLaw).
// The target: under 5 ms. The equinoxes of a year are worked out when first
// asked for and kept, so the first pass of a run costs some 3 ms more.
void NationalHolidaysOfEveryFiscalYear(benchmark::State& state)
{
    HolidaysOfEveryFiscalYear(state, HolidayCalendar::HolidayTable::BuiltIn);
}
BENCHMARK(NationalHolidaysOfEveryFiscalYear)->Unit(benchmark::kMillisecond);

void NationalHolidaysOfEveryFiscalYearByCurrentLaw(benchmark::State& state)
{
    HolidaysOfEveryFiscalYear(state, HolidayCalendar::HolidayTable::CurrentLaw);
}
BENCHMARK(NationalHolidaysOfEveryFiscalYearByCurrentLaw)->Unit(benchmark::kMillisecond);

void BuildDayTable(benchmark::State& state)
{
    DataFileOf(int(state.range(0))).Use();
    FiscalYearDayTable table;
    for (auto _ : state) {
        BuildFiscalYearDayTable(TableYear, table);
        benchmark::DoNotOptimize(table);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    SetDataDirectory(QString());
}
BENCHMARK(BuildDayTable)->Arg(100)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

// Open, read front to back in large blocks and look at one byte of every
// record, nothing more.
void PlainSequentialRead(benchmark::State& state)
{
    DataFileOf(int(state.range(0))).Use();
    const QByteArray path = LeaveStore::FilePath().toLocal8Bit();
    std::vector<char> buffer(4096 * LeaveRecord::Size);
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.constData(), "rb");
        if (!file) {
            state.SkipWithError("cannot open the data file");
            break;
        }
        size_t live = 0;
        size_t got = 0;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
            for (size_t at = 16; at < got; at += LeaveRecord::Size)
                live += buffer[at] == 0;
        }
        std::fclose(file);
        benchmark::DoNotOptimize(live);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    SetDataDirectory(QString());
}
BENCHMARK(PlainSequentialRead)->Arg(100)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

} // namespace
