#include "core/LeaveRecord.h"

#include <algorithm>
#include <cstring>

#include "platform/ShiftJis.h"

QString LeaveKindLabel(int kind)
{
    static const char16_t* const labels[LeaveKindCount] = {
        u"通常",
        u"１日休暇",
        u"AM休暇",
        u"PM休暇",
        u"定休日",
        u"夏休み",
        u"冬休み",
        u"ＧＷ",
        u"特別休暇",
        u"代休",
        u"休日出勤",
    };
    if (kind < 0 || kind >= LeaveKindCount)
        return {};
    return QString::fromUtf16(labels[kind]);
}

LeaveRecord LeaveRecord::Make(int year, int month, int day, int kind, const QString& memo)
{
    LeaveRecord r;
    uint8_t* b = r.bytes_.data();
    b[0] = CurrentFormatVersion & 0xFF;
    b[1] = CurrentFormatVersion >> 8;
    b[16] = kind == int(LeaveKind::Normal) ? 1 : 0;
    b[18] = uint8_t(year & 0xFF);
    b[19] = uint8_t((year >> 8) & 0xFF);
    b[20] = uint8_t(month);
    b[21] = uint8_t(day);
    b[22] = uint8_t(kind);
    const QByteArray text = ShiftJis::CutToBytes(ShiftJis::FromUnicode(memo), MemoCapacity);
    b[23] = uint8_t(text.size());
    if (!text.isEmpty())
        std::memcpy(b + 24, text.constData(), size_t(text.size()));
    return r;
}

int LeaveRecord::FormatVersion() const { return bytes_[0] | (bytes_[1] << 8); }

int LeaveRecord::Year() const { return int16_t(uint16_t(bytes_[18] | (bytes_[19] << 8))); }

QByteArray LeaveRecord::MemoBytes() const
{
    const int length = std::min<int>(bytes_[23], MemoCapacity);
    return QByteArray(reinterpret_cast<const char*>(bytes_.data() + 24), length);
}

QString LeaveRecord::Memo() const { return ShiftJis::ToUnicode(MemoBytes()); }

qint64 LeaveRecord::WriteTime() const
{
    uint64_t time = 0;
    for (int i = 7; i >= 0; --i)
        time = time << 8 | bytes_[size_t(2 + i)];
    return qint64(time);
}

MachineId LeaveRecord::Writer() const
{
    MachineId writer;
    std::memcpy(writer.data(), bytes_.data() + 10, writer.size());
    return writer;
}

void LeaveRecord::Stamp(qint64 writeTimeMs, const MachineId& writer)
{
    const auto time = uint64_t(writeTimeMs);
    for (int i = 0; i < 8; ++i)
        bytes_[size_t(2 + i)] = uint8_t(time >> (8 * i));
    std::memcpy(bytes_.data() + 10, writer.data(), writer.size());
}

bool LeaveRecord::WinsOver(const LeaveRecord& other) const
{
    if (WriteTime() != other.WriteTime())
        return WriteTime() > other.WriteTime();
    return Writer() > other.Writer();
}
