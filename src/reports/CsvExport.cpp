#include "reports/CsvExport.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

#include <QHash>
#include <QPushButton>

#include "core/LeaveStore.h"
#include "platform/Errors.h"
#include "platform/ShiftJis.h"
#include "reports/SaveStep.h"
#include "views/Mcalf.h"
#include "views/OpenCalendar.h"
#include "widgets/StrCGrid.h"

namespace CsvExport {

namespace {

// What is written for the open calendar.
struct Source {
    const TStrColGrid* grid = nullptr;
    int columns = 0;
    QString nameBase = QStringLiteral("カレンダー");
    // The memo column of the month and holiday calendars, and the date a
    // row of it stands for.
    int memoColumn = -1;
    std::function<std::optional<uint32_t>(int row)> rowDate;
    // Which records the calendar takes its memos from.
    std::function<bool(const LeaveRecord&)> shows;
};

std::optional<uint32_t> DateKey(int year, int month, int day)
{
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return std::nullopt;
    return LeaveRecord::DateKeyOf(year, month, day);
}

// The holiday list's date text: year, separator, two-digit month,
// separator, two-digit day.
std::optional<uint32_t> ListedDate(const QString& text)
{
    if (text.size() < 7)
        return std::nullopt;
    bool yearOk = false, monthOk = false, dayOk = false;
    const int year = text.left(text.size() - 6).toInt(&yearOk);
    const int month = text.mid(text.size() - 5, 2).toInt(&monthOk);
    const int day = text.right(2).toInt(&dayOk);
    if (!yearOk || !monthOk || !dayOk)
        return std::nullopt;
    return DateKey(year, month, day);
}

Source SourceOf(const OpenCalendar& open)
{
    Source source;
    const TStrColGrid* grid = open.Window->StrColGrid1;
    const QString shown = open.Window->Button2->text();
    source.grid = grid;
    switch (open.Kind) {
    case CalendarKind::Year:
        source.columns = 32;
        source.nameBase = QStringLiteral("年度カレンダー(") + shown + u')';
        break;
    case CalendarKind::Month: {
        source.columns = 4;
        source.nameBase = QStringLiteral("月カレンダー(") + shown + u')';
        source.memoColumn = 3;
        // A caption that does not read as a month only costs the stored bytes.
        std::optional<std::pair<int, int>> month;
        try {
            int year = 0, number = 0;
            static_cast<const TMCalForm&>(*open.Window).ShownMonth(year, number);
            month = { year, number };
        } catch (const Exception&) {
        }
        source.rowDate = [month](int row) -> std::optional<uint32_t> {
            if (!month)
                return std::nullopt;
            return DateKey(month->first, month->second, row);
        };
        source.shows = [](const LeaveRecord& record) { return !record.Cleared(); };
        break;
    }
    case CalendarKind::Holiday:
        source.columns = 5;
        source.nameBase = QStringLiteral("休日カレンダー(") + shown + u')';
        source.memoColumn = 4;
        source.rowDate = [grid](int row) { return ListedDate(grid->Cells(1, row)); };
        source.shows = [](const LeaveRecord& record) { return !record.Cleared() && record.Kind() > 0; };
        break;
    }
    return source;
}

// What is written now: the open calendar's, or nothing without one.
Source ShownSource()
{
    const std::optional<OpenCalendar> open = TheOpenCalendar();
    return open ? SourceOf(*open) : Source {};
}

// The memo bytes as the data file holds them, by date: the last record of a
// date wins, as in the calendars. A memo another program stored may hold
// bytes that do not survive the way through Unicode (the duplicate NEC and
// IBM characters of code page 932, or bytes that are no character at all);
// these bytes are written back as they were.
QHash<uint32_t, QByteArray> StoredMemos(const Source& source)
{
    QHash<uint32_t, QByteArray> memos;
    LeaveStore::ForEach([&](const LeaveRecord& record, qint64) {
        if (source.shows(record))
            memos.insert(record.DateKey(), record.MemoBytes());
    });
    return memos;
}

// A field that holds a comma, a double quote or a line break is quoted, its
// double quotes doubled, so that a spreadsheet reads it as one field. Every
// other field is written as it is. In Shift-JIS these four bytes are never
// the second byte of a double-byte character, so the test on bytes is exact.
void AppendField(QByteArray& out, const QByteArray& field)
{
    if (field.contains(',') || field.contains('"') || field.contains('\r') || field.contains('\n'))
        out += '"' + QByteArray(field).replace('"', "\"\"") + '"';
    else
        out += field;
}

QByteArray Bytes(const Source& source)
{
    QByteArray out;
    if (!source.grid)
        return out;
    QHash<uint32_t, QByteArray> memos;
    if (source.memoColumn >= 0) {
        // Only a refinement of the cell texts: when the data file cannot be
        // read now, the texts as the grid shows them are written.
        try {
            memos = StoredMemos(source);
        } catch (const Exception&) {
            memos.clear();
        }
    }
    const TStrColGrid& grid = *source.grid;
    for (int row = 0; row < grid.RowCount(); ++row) {
        for (int col = 0; col < source.columns; ++col) {
            if (col > 0)
                out += ',';
            const QString text = grid.Cells(col, row);
            QByteArray bytes;
            if (col == source.memoColumn && !text.isEmpty()) {
                if (const std::optional<uint32_t> date = source.rowDate(row)) {
                    const auto stored = memos.constFind(*date);
                    if (stored != memos.cend() && ShiftJis::ToUnicode(*stored) == text)
                        bytes = *stored;
                }
            }
            AppendField(out, bytes.isEmpty() ? ShiftJis::FromUnicode(text) : bytes);
        }
        out += "\r\n";
    }
    return out;
}

} // namespace

QString ProposedName() { return ShownSource().nameBase + QStringLiteral(".csv"); }

QByteArray FileBytes() { return Bytes(ShownSource()); }

QByteArray FileBytesOf(const OpenCalendar& calendar) { return Bytes(SourceOf(calendar)); }

void Export(QWidget* owner, const QString& filter)
{
    const Source source = ShownSource();
    const std::optional<QString> path
        = SaveStep::AskPath(owner, filter, source.nameBase + QStringLiteral(".csv"), QStringLiteral(".csv"));
    if (!path)
        return;
    SaveStep::WriteFile(*path, Bytes(source));
}

} // namespace CsvExport
