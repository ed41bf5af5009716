// The leave data file as it may come from a disk: any bytes. The end of the
// input chooses a date, a kind and a memo; the rest is Holiday.d00. Every
// operation runs on it, and each must agree with the file's bytes: ReadAll
// and the batch reader give the whole records, the paid leave is that of the
// last record of each date, FindEntry the first record of a date, a saved
// entry reads back, carries the save's time and this machine's id, wins
// over the record it replaced and changes no other record, Compact keeps
// exactly the live records and the clears younger than the kept days in
// their order, and the day table and the three fills show what the file
// holds without failing. The stamps of the file's records, any bytes, read
// back as stamped and decide between two records in a strict order.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <limits>
#include <map>
#include <utility>
#include <vector>

#include <QDateTime>
#include <QFile>
#include <QPushButton>

#include "FuzzSupport.h"
#include "core/CalendarFill.h"
#include "core/DayCode.h"
#include "core/FiscalYearDayTable.h"
#include "core/Julius.h"
#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "core/PaidLeave.h"
#include "platform/Dates.h"
#include "platform/ShiftJis.h"
#include "widgets/StrCGrid.h"

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

LeaveRecord RecordAt(const QByteArray& bytes, qsizetype index)
{
    LeaveRecord record;
    std::memcpy(record.Data(), bytes.constData() + index * LeaveRecord::Size, LeaveRecord::Size);
    return record;
}

bool SameRecord(const LeaveRecord& a, const LeaveRecord& b)
{
    return std::memcmp(a.Data(), b.Data(), LeaveRecord::Size) == 0;
}

// The records but for their write times and writers (bytes 2 to 15).
QByteArray WithoutStamps(QByteArray bytes)
{
    for (qsizetype at = 0; at + LeaveRecord::Size <= bytes.size(); at += LeaveRecord::Size)
        std::fill(bytes.begin() + at + 2, bytes.begin() + at + 16, '\0');
    return bytes;
}
bool SameButStamp(const LeaveRecord& a, const LeaveRecord& b)
{
    return std::memcmp(a.Data(), b.Data(), 2) == 0
        && std::memcmp(a.Data() + 16, b.Data() + 16, LeaveRecord::Size - 16) == 0;
}

// Stamping writes bytes 2 to 15 only and reads back; of two records of
// other stamps exactly one wins, of equal stamps neither, and three in a row
// never go round in a circle.
void CheckStamps(const QByteArray& bytes, int pick)
{
    const qsizetype count = bytes.size() / LeaveRecord::Size;
    if (count == 0)
        return;
    const LeaveRecord from = RecordAt(bytes, (pick + 1) % count);
    LeaveRecord stamped = RecordAt(bytes, pick % count);
    stamped.Stamp(from.WriteTime(), from.Writer());
    FUZZ_CHECK(stamped.WriteTime() == from.WriteTime() && stamped.Writer() == from.Writer());
    FUZZ_CHECK(SameButStamp(stamped, RecordAt(bytes, pick % count)));
    FUZZ_CHECK(std::memcmp(stamped.Data() + 2, from.Data() + 2, 14) == 0);
    for (qsizetype i = 0; i + 1 < count; ++i) {
        const LeaveRecord a = RecordAt(bytes, i), b = RecordAt(bytes, i + 1);
        const bool differ = a.WriteTime() != b.WriteTime() || a.Writer() != b.Writer();
        FUZZ_CHECK(int(a.WinsOver(b)) + int(b.WinsOver(a)) == int(differ));
        if (i + 2 < count) {
            const LeaveRecord c = RecordAt(bytes, i + 2);
            FUZZ_CHECK(!(a.WinsOver(b) && b.WinsOver(c)) || a.WinsOver(c));
        }
    }
}

bool IsRealDate(int year, int month, int day) { return Dates::IsValidDate(year, month, day); }

void CheckDayTable(int fiscalYear, const QByteArray& bytes)
{
    FiscalYearDayTable table;
    BuildFiscalYearDayTable(fiscalYear, table);
    // The last live record of a date in the year decides its cell.
    const qsizetype count = bytes.size() / LeaveRecord::Size;
    for (qsizetype i = count - 1; i >= 0; --i) {
        const LeaveRecord r = RecordAt(bytes, i);
        if (r.Cleared() || r.Kind() < 1 || r.Kind() > 10 || !IsRealDate(r.Year(), r.Month(), r.Day())
            || Julius::FiscalYearOf(r.Year(), r.Month()) != fiscalYear)
            continue;
        bool later = false;
        for (qsizetype j = i + 1; j < count && !later; ++j) {
            const LeaveRecord s = RecordAt(bytes, j);
            later = !s.Cleared() && s.DateKey() == r.DateKey();
        }
        if (!later)
            FUZZ_CHECK(table.Cell(r.Month(), r.Day()).Text == DayCodeText(LeaveDayCode(r.Kind())));
    }
}

void Fill(int fiscalYear, int month)
{
    TStrColGrid year;
    year.SetColCount(32);
    year.SetRowCount(13);
    QPushButton caption;
    FillYearCalendar(year, caption, fiscalYear);
    FUZZ_CHECK(caption.text() == Julius::FiscalYearCaption(fiscalYear));

    TStrColGrid monthGrid;
    monthGrid.SetColCount(4);
    monthGrid.SetRowCount(32);
    const int calendarYear = month >= 4 ? fiscalYear : fiscalYear + 1;
    FillMonthCalendar(monthGrid, caption, calendarYear, month);

    TStrColGrid list;
    list.SetColCount(5);
    list.SetRowCount(2);
    FillHolidayCalendar(list, caption, fiscalYear);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Fuzz::StartApplication();
    Fuzz::UseTemporaryDataDirectory();
    return 0;
}

namespace {

// The batch reader visits the whole records in file order, and the paid
// leave is the last uncleared record of each possible date, when it is 全,
// AM or PM, in date order.
void CheckReaderAndPaidLeave(const QByteArray& original)
{
    const qsizetype count = original.size() / LeaveRecord::Size;
    qsizetype visited = 0;
    std::vector<LeaveRecord> records;
    LeaveStore::ForEach([&](const LeaveRecord& record, qint64 index) {
        FUZZ_CHECK(index == visited && index < count);
        FUZZ_CHECK(SameRecord(record, RecordAt(original, index)));
        records.push_back(record);
        ++visited;
    });
    FUZZ_CHECK(visited == count);

    std::map<qint64, int> last;
    for (const LeaveRecord& r : records) {
        if (!r.Cleared() && IsRealDate(r.Year(), r.Month(), r.Day()))
            last[QDate(r.Year(), r.Month(), r.Day()).toJulianDay()] = r.Kind();
    }
    std::vector<std::pair<qint64, int>> expected;
    for (const auto& [julianDay, kind] : last) {
        if (kind == int(LeaveKind::FullDay))
            expected.emplace_back(julianDay, 2);
        else if (kind == int(LeaveKind::Morning) || kind == int(LeaveKind::Afternoon))
            expected.emplace_back(julianDay, 1);
    }
    const std::vector<PaidLeave::Use> uses = PaidLeave::UsesOf(records);
    FUZZ_CHECK(uses.size() == expected.size());
    for (size_t i = 0; i < uses.size(); ++i)
        FUZZ_CHECK(uses[i].Day == expected[i].first && uses[i].HalfDays == expected[i].second);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const bool fills = in.ConsumeBool();
    const int pick = in.ConsumeIntegral<uint16_t>();
    const int kind = in.ConsumeIntegralInRange(0, 10);
    int year = in.ConsumeIntegralInRange(1, 9999);
    int month = in.ConsumeIntegralInRange(1, 12);
    int day = in.ConsumeIntegralInRange(1, 31);
    const QString memo = ShiftJis::ToUnicode(QByteArray::fromStdString(in.ConsumeRandomLengthString(48)));
    const std::string rest = in.ConsumeRemainingBytesAsString();
    const QByteArray original(rest.data(), qsizetype(rest.size()));

    const QString path = LeaveStore::FilePath();
    QFile::remove(LeaveStore::TempFilePath());
    WriteFile(path, original);
    const qsizetype count = original.size() / LeaveRecord::Size;

    LeaveStore::CheckOnStartup();
    FUZZ_CHECK(ReadFile(path) == original);

    const LeaveStore::Records all = LeaveStore::ReadAll();
    FUZZ_CHECK(qsizetype(all.size()) == count);
    for (qsizetype i = 0; i < count; ++i)
        FUZZ_CHECK(SameRecord(all[size_t(i)], RecordAt(original, i)));
    CheckReaderAndPaidLeave(original);
    CheckStamps(original, pick);

    // Save either over a date the file holds (when it is a real date) or a new one.
    if (count > 0) {
        const LeaveRecord r = RecordAt(original, pick % count);
        if (IsRealDate(r.Year(), r.Month(), r.Day())) {
            year = r.Year();
            month = r.Month();
            day = r.Day();
        }
    }
    if (!IsRealDate(year, month, day))
        day = 1;

    qsizetype first = -1;
    for (qsizetype i = 0; i < count && first < 0; ++i) {
        if (RecordAt(original, i).IsDate(year, month, day))
            first = i;
    }
    const LeaveStore::Entry found = LeaveStore::FindEntry(year, month, day);
    if (first >= 0) {
        FUZZ_CHECK(found.Kind == RecordAt(original, first).Kind());
        FUZZ_CHECK(found.Memo == RecordAt(original, first).Memo());
    } else {
        FUZZ_CHECK(found.Kind == 0 && found.Memo.isEmpty());
    }

    if (fills) {
        const int fiscalYear = std::clamp(Julius::FiscalYearOf(year, month), 1, 9998);
        CheckDayTable(fiscalYear, original);
        Fill(fiscalYear, month);
    }

    // Several days in one pass leave what saving them one by one leaves: a
    // few days from the date on, then the date again.
    std::vector<LeaveStore::DayEntry> days;
    for (int d = day; d < day + 3 && IsRealDate(year, month, d); ++d)
        days.push_back({ year, month, d, (kind + d) % LeaveKindCount, memo });
    days.push_back({ year, month, day, kind == 0 ? 1 : 0, memo.left(3) });
    for (const LeaveStore::DayEntry& e : days)
        LeaveStore::SaveEntry(e.Year, e.Month, e.Day, e.Kind, e.Memo);
    const QByteArray oneByOne = WithoutStamps(ReadFile(path));
    WriteFile(path, original);
    LeaveStore::SaveEntries(days);
    FUZZ_CHECK(WithoutStamps(ReadFile(path)) == oneByOne);
    WriteFile(path, original);

    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    LeaveStore::SaveEntry(year, month, day, kind, memo);
    const qint64 after = QDateTime::currentMSecsSinceEpoch();
    const LeaveRecord made = LeaveRecord::Make(year, month, day, kind, memo);
    const QByteArray saved = ReadFile(path);
    const qsizetype position = first >= 0 ? first : count;
    FUZZ_CHECK(saved.size() == std::max(original.size(), (position + 1) * LeaveRecord::Size));
    const LeaveRecord put = RecordAt(saved, position);
    FUZZ_CHECK(SameButStamp(put, made));
    FUZZ_CHECK(put.Writer() == ThisMachineId());
    if (first < 0) {
        FUZZ_CHECK(put.WriteTime() >= before && put.WriteTime() <= after);
    } else {
        // The save's time, or just after the replaced record's when that is later.
        const LeaveRecord replaced = RecordAt(original, first);
        FUZZ_CHECK(put.WriteTime() >= before);
        const qint64 held = replaced.WriteTime();
        FUZZ_CHECK(
            put.WriteTime() <= after || (held < std::numeric_limits<qint64>::max() && put.WriteTime() == held + 1));
        FUZZ_CHECK(put.WinsOver(replaced) || replaced.WriteTime() == std::numeric_limits<qint64>::max());
    }
    FUZZ_CHECK(saved.left(position * LeaveRecord::Size) == original.left(position * LeaveRecord::Size));
    FUZZ_CHECK(saved.mid((position + 1) * LeaveRecord::Size) == original.mid((position + 1) * LeaveRecord::Size));
    const LeaveStore::Entry back = LeaveStore::FindEntry(year, month, day);
    FUZZ_CHECK(back.Kind == kind);
    FUZZ_CHECK(back.Memo == made.Memo());
    FUZZ_CHECK(ShiftJis::FromUnicode(made.Memo()).size() <= LeaveRecord::MemoCapacity);

    // A clear written within the kept days stays; one of the very instant
    // the kept days end may go either way and is not judged.
    constexpr qint64 KeptMs = qint64(LeaveStore::KeptClearDays) * 24 * 60 * 60 * 1000;
    const qint64 keptFrom = QDateTime::currentMSecsSinceEpoch() - KeptMs;
    QByteArray live;
    bool onTheEdge = false;
    for (qsizetype i = 0; i < saved.size() / LeaveRecord::Size; ++i) {
        const LeaveRecord r = RecordAt(saved, i);
        if (r.Cleared() && r.WriteTime() >= keptFrom - 60'000 && r.WriteTime() <= keptFrom + 60'000)
            onTheEdge = true;
        if (!r.Cleared() || r.WriteTime() > keptFrom)
            live += saved.mid(i * LeaveRecord::Size, LeaveRecord::Size);
    }
    LeaveStore::Compact();
    FUZZ_CHECK(onTheEdge || ReadFile(path) == live);
    FUZZ_CHECK(!QFile::exists(LeaveStore::TempFilePath()));
    return 0;
}
