#pragma once

// Reads leave days from a comma-separated text file: the program's own
// holiday list (回,年月日,曜日,休暇,備考) or a plain sheet of 年月日,休暇,備考
// from a spreadsheet, with or without its heading row. Dates may be written
// 2026/8/12, 2026-08-12, 2026.8.12 or 2026年8月12日, with a two-digit year
// as spreadsheets write it (26/08/12: 00 to 29 are 2000 to 2029, 30 to 99
// are 1930 to 1999), or in a Japanese era (令和8年8月12日, R8.8.12,
// R08/08/12, 令和元年5月1日; 明治 to 令和, M T S H R); a date outside its
// era and a year of three or of five digits are not read. A date without a
// year (8月12日) is read only where the line names its weekday (the column
// 曜日, the holiday list's third): all such dates of a file are given the
// year nearest to today's in which each falls on its weekday, none further
// than 27 years. The kind as the calendars' code
// (全, AM, 夏, ...) or as the entry dialog's label (１日休暇, 1日休暇, ...).
// The text may be Shift-JIS or UTF-8 (with or without its byte order mark),
// its lines ended by CR LF or LF, its fields quoted as spreadsheets do
// (RFC 4180). A line that cannot be read is reported with its number and
// never stops the others. Nothing here touches the data file.

#include <vector>

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QtGlobal>

namespace CsvImport {

// Larger files are refused unread.
inline constexpr qint64 MaxFileBytes = 10 * 1024 * 1024;

// Only this many unreadable lines are kept, the first; the rest are counted.
inline constexpr int MaxListedProblems = 1000;

// One leave day read from the file.
struct Day {
    int Line = 0; // of its first byte, counted from 1
    QDate Date;
    int Kind = 0; // LeaveKind 1..10
    QString Memo;
    bool TwoDigitYear = false; // written 26/08/12 and read as 2026
    bool YearFromWeekday = false; // written 8月12日 and dated by its weekday
};

// A line that could not be read: "3行目: 日付が読めません".
struct Problem {
    int Line = 0;
    QString Reason;
    QString Text() const;
};

struct Result {
    // In file order; a date may come more than once (the last one counts).
    std::vector<Day> Days;
    std::vector<Problem> Problems; // the first MaxListedProblems, in file order
    int MoreProblems = 0; // the lines not read after those

    int ProblemCount() const { return int(Problems.size()) + MoreProblems; }
    void AddProblem(int line, const QString& reason);
};

// The file's content. Bytes that are not text (a NUL byte, or bytes that
// are neither UTF-8 nor Shift-JIS) raise EConvertError with a message for
// the user.
Result Parse(const QByteArray& bytes);

// Reads the file and parses it. A file over MaxFileBytes or one that cannot
// be read raises EInOutError, bytes that are not text EConvertError; the
// messages are for the user.
Result ReadFile(const QString& path);

// The leave days of a copy of the data file (Holiday.d00's format), as
// the calendars read records: cleared records and records of no leave kind
// are no day, and a record whose date does not exist is a problem, counted
// by its place in the file.
Result ReadDataFile(const QString& path);

// The file's bytes as text, as Parse decodes them (the plain reading that
// the parse builds on); raises as Parse does.
QString DecodeText(const QByteArray& bytes);

} // namespace CsvImport
