#pragma once

// One 64-byte record of the leave data file Holiday.d00, kept as its bytes.
//
//   offset size field
//    0      2   format version, little-endian, always written as 101
//    2      8   write time: milliseconds since 1970-01-01 UTC, signed
//                 little-endian, of the save that wrote the record; 0 is
//                 unknown, older than any known time (files written before
//                 the program kept it hold zero here)
//   10      6   writer: the id of the machine and user whose save wrote it
//                 (MachineId.h); zero when unknown
//   16      1   cleared flag: 1 when the record holds kind Normal
//   17      1   reserved, zero
//   18      2   year, signed little-endian
//   20      1   month 1..12, signed
//   21      1   day 1..31, signed
//   22      1   kind 0..10 (LeaveKind), signed
//   23      1   memo length 0..30
//   24     30   memo, Shift-JIS; bytes after the length are ignored
//   54     10   reserved, zero
//
// Files written elsewhere may hold anything in these bytes; the accessors
// never read outside the record (a length byte above 30 reads as 30).

#include <array>
#include <cstdint>
#include <cstring>

#include <QByteArray>
#include <QString>

#include "platform/MachineId.h"

enum class LeaveKind : int {
    Normal = 0,
    FullDay = 1,
    Morning = 2,
    Afternoon = 3,
    RegularDayOff = 4,
    SummerLeave = 5,
    WinterLeave = 6,
    GoldenWeek = 7,
    SpecialLeave = 8,
    CompensatoryDayOff = 9,
    HolidayWork = 10,
};

constexpr int LeaveKindCount = 11;

// The entry dialog's label of a kind ("通常", "１日休暇", ...); empty outside 0..10.
QString LeaveKindLabel(int kind);

class LeaveRecord {
public:
    static constexpr int Size = 64;
    static constexpr int MemoCapacity = 30;
    static constexpr int CurrentFormatVersion = 101;

    // All bytes zero.
    LeaveRecord()
        : bytes_ {}
    {
    }
    // Bytes left as they are, for room that a read of the file fills at
    // once (LeaveStore::Records): zeroing a million records first would
    // cost as much as the read itself.
    struct Unfilled { };
    explicit LeaveRecord(Unfilled) { }
    // A record as the program writes it: the memo is cut to 30 bytes of
    // Shift-JIS without splitting a double-byte character.
    static LeaveRecord Make(int year, int month, int day, int kind, const QString& memo);

    int FormatVersion() const;
    bool Cleared() const { return bytes_[16] != 0; }
    int Year() const;
    int Month() const { return static_cast<int8_t>(bytes_[20]); }
    int Day() const { return static_cast<int8_t>(bytes_[21]); }
    int Kind() const { return static_cast<int8_t>(bytes_[22]); }
    QByteArray MemoBytes() const;
    QString Memo() const;

    qint64 WriteTime() const;
    MachineId Writer() const;
    // Gives the record the time and writer of a save.
    void Stamp(qint64 writeTimeMs, const MachineId& writer);

    // Whether this record wins over `other` for the same date when two
    // copies of the file meet: the newer write, and of two writes at the same
    // time the larger writer id. Both sides decide alike, so two machines
    // merging each other's copies reach the same file.
    bool WinsOver(const LeaveRecord& other) const;

    bool IsDate(int year, int month, int day) const { return DateKey() == DateKeyOf(year, month, day); }

    // Bytes 18 to 21 (year, month, day) as one number, so that a search over
    // a large file compares one word per record.
    uint32_t DateKey() const
    {
        uint32_t key;
        std::memcpy(&key, bytes_.data() + 18, sizeof key);
        return key;
    }
    static uint32_t DateKeyOf(int year, int month, int day)
    {
        const uint8_t b[4] = { uint8_t(year & 0xFF), uint8_t((year >> 8) & 0xFF), uint8_t(month), uint8_t(day) };
        uint32_t key;
        std::memcpy(&key, b, sizeof key);
        return key;
    }

    const uint8_t* Data() const { return bytes_.data(); }
    uint8_t* Data() { return bytes_.data(); }

private:
    std::array<uint8_t, Size> bytes_;
};

static_assert(sizeof(LeaveRecord) == LeaveRecord::Size);
