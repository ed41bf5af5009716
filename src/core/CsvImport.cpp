#include "core/CsvImport.h"

#include <algorithm>
#include <bitset>
#include <cerrno>
#include <cstdlib>
#include <deque>
#include <optional>
#include <utility>

#include <QFile>
#include <QStringDecoder>
#include <QStringView>

#include "core/DayCode.h"
#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "platform/Dates.h"
#include "platform/Errors.h"
#include "platform/ShiftJis.h"

namespace CsvImport {

namespace {

// The file's columns; a sheet has a weekday column only when its heading
// names one.
struct Layout {
    int date = 0;
    int kind = 1;
    int memo = 2;
    int weekday = -1;
};
constexpr Layout SheetLayout { 0, 1, 2, -1 };
constexpr Layout HolidayListLayout { 1, 3, 4, 2 };

// The fields of a record that are kept: the holiday list's five and a few
// more. A line of a million commas must not cost a million fields.
constexpr size_t KeptFields = 8;

// One record of the file: its fields point into the text, or into `owned`
// for a quoted field whose doubled quotes were made single.
struct Record {
    int line = 0;
    std::vector<QStringView> fields; // the first KeptFields
    std::deque<QString> owned;
    bool unclosedQuote = false;
    bool hasText = false; // a field, kept or not, that is more than blanks

    QStringView field(int index) const { return index < int(fields.size()) ? fields[size_t(index)] : QStringView(); }
    bool blank() const { return !hasText; }
    bool keeps() const { return fields.size() < KeptFields; }
    void add(QStringView field)
    {
        hasText = hasText || !field.trimmed().isEmpty();
        if (keeps())
            fields.push_back(field);
    }
};

bool IsLineEnd(QChar c) { return c == u'\n' || c == u'\r'; }

// Reads the record that starts at `pos` and moves `pos` and `line` past it.
// A quoted field may hold commas, line breaks and doubled quotes. A quote
// still open at the end of the text makes the record unreadable; the reading
// then goes on with the line after the record's first, so that one stray
// quote costs one line, not the rest of the file.
void ReadRecord(QStringView text, qsizetype& pos, int& line, Record& record)
{
    record.line = line;
    record.fields.clear();
    record.owned.clear();
    record.unclosedQuote = false;
    record.hasText = false;
    const qsizetype start = pos;
    const qsizetype end = text.size();
    for (;;) {
        if (pos < end && text[pos] == u'"') {
            const qsizetype from = ++pos;
            QString unquoted;
            bool doubled = false;
            int breaks = 0;
            for (;;) {
                const qsizetype quote = text.indexOf(u'"', pos);
                if (quote < 0) {
                    // The line breaks of the record's closed fields are read
                    // again as lines of their own.
                    record.unclosedQuote = true;
                    line = record.line;
                    pos = start;
                    while (pos < end && !IsLineEnd(text[pos]))
                        ++pos;
                    break;
                }
                for (qsizetype i = pos; i < quote; ++i)
                    if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 >= end || text[i + 1] != u'\n')))
                        ++breaks;
                if (quote + 1 < end && text[quote + 1] == u'"') {
                    unquoted += text.mid(pos, quote + 1 - pos);
                    doubled = true;
                    pos = quote + 2;
                    continue;
                }
                if (doubled) {
                    unquoted += text.mid(pos, quote - pos);
                    if (record.keeps()) {
                        record.owned.push_back(std::move(unquoted));
                        record.add(record.owned.back());
                    } else {
                        record.add(unquoted);
                    }
                } else {
                    record.add(text.mid(from, quote - from));
                }
                pos = quote + 1;
                line += breaks;
                break;
            }
            if (record.unclosedQuote)
                break;
            // Anything between the closing quote and the comma is dropped,
            // as spreadsheets do.
            while (pos < end && text[pos] != u',' && !IsLineEnd(text[pos]))
                ++pos;
        } else {
            const qsizetype from = pos;
            while (pos < end && text[pos] != u',' && !IsLineEnd(text[pos]))
                ++pos;
            record.add(text.mid(from, pos - from));
        }
        if (pos < end && text[pos] == u',') {
            ++pos;
            continue;
        }
        break;
    }
    if (pos < end && text[pos] == u'\r')
        ++pos;
    if (pos < end && text[pos] == u'\n')
        ++pos;
    ++line;
}

// A decimal number of 1 to 4 digits at `pos`; moves past it.
std::optional<int> Number(QStringView text, qsizetype& pos)
{
    int value = 0;
    const qsizetype from = pos;
    while (pos < text.size() && pos - from < 4 && text[pos] >= u'0' && text[pos] <= u'9')
        value = value * 10 + (text[pos++].unicode() - u'0');
    if (pos == from || (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9'))
        return std::nullopt;
    return value;
}

// The eras of the Japanese calendar as sheets write them, by name or by
// letter, with their first and last days. An era begins on the day its
// predecessor ends when the change came during the day.
struct Era {
    QStringView name;
    char16_t letter;
    QDate first;
    QDate last;
};

const Era* ReadEra(QStringView text, qsizetype& pos)
{
    static const Era eras[] = {
        { u"明治", u'M', QDate(1868, 1, 1), QDate(1912, 7, 30) },
        { u"大正", u'T', QDate(1912, 7, 30), QDate(1926, 12, 25) },
        { u"昭和", u'S', QDate(1926, 12, 25), QDate(1989, 1, 7) },
        { u"平成", u'H', QDate(1989, 1, 8), QDate(2019, 4, 30) },
        { u"令和", u'R', QDate(2019, 5, 1), QDate(9999, 12, 31) },
    };
    if (text.isEmpty() || (text[0] >= u'0' && text[0] <= u'9'))
        return nullptr;
    for (const Era& era : eras) {
        if (text.startsWith(era.name)) {
            pos = era.name.size();
            return &era;
        }
        if (text[0].toUpper() == QChar(era.letter)) {
            pos = 1;
            return &era;
        }
    }
    return nullptr;
}

struct ReadDay {
    std::optional<QDate> date;
    bool twoDigitYear = false;
    bool noYear = false; // 8月12日
    int month = 0; // of a date without a year
    int day = 0;
};

// 2026/8/12, 2026-08-12, 2026.8.12, 2026年8月12日, 26/08/12, 令和8年8月12日,
// R8.8.12 or R08/08/12.
ReadDay ReadDate(QStringView text)
{
    qsizetype pos = 0;
    const Era* era = ReadEra(text, pos);
    std::optional<int> year;
    const qsizetype yearFrom = pos;
    if (era && pos < text.size() && text[pos] == u'元') {
        year = 1;
        ++pos;
    } else {
        year = Number(text, pos);
    }
    if (!year || pos >= text.size())
        return {};
    const qsizetype yearDigits = pos - yearFrom;
    const QChar first = text[pos];
    QChar second;
    QChar last;
    if (first == u'/' || first == u'-' || first == u'.') {
        second = first;
    } else if (first == u'年') {
        second = u'月';
        last = u'日';
    } else if (first == u'月' && !era) {
        // A month and a day only, as a sheet shows a date of this year: the
        // year it meant is not in the file.
        ++pos;
        const std::optional<int> day = Number(text, pos);
        if (day && pos < text.size() && text[pos] == u'日')
            ++pos;
        ReadDay read;
        read.noYear = day && pos == text.size() && QDate(2000, *year, *day).isValid();
        if (read.noYear) {
            read.month = *year;
            read.day = *day;
        }
        return read;
    } else {
        return {};
    }
    ++pos;
    const std::optional<int> month = Number(text, pos);
    if (!month || pos >= text.size() || text[pos] != second)
        return {};
    ++pos;
    const std::optional<int> day = Number(text, pos);
    if (!day)
        return {};
    if (!last.isNull() && pos < text.size() && text[pos] == last)
        ++pos;
    if (pos != text.size())
        return {};
    ReadDay read;
    int y = *year;
    if (era) {
        y += era->first.year() - 1;
    } else if (yearDigits <= 2) {
        // As spreadsheets read a two-digit year.
        y += y < 30 ? 2000 : 1900;
        read.twoDigitYear = true;
    } else if (yearDigits == 3) {
        return {};
    }
    const QDate date(y, *month, *day);
    if (y < 1 || !date.isValid())
        return {};
    if (era && (*year < 1 || date < era->first || date > era->last))
        return {};
    read.date = date;
    return read;
}

// The texts a kind is known by: the calendars' codes and the entry dialog's
// labels, as they are and in their compatibility forms (１日休暇 as
// 1日休暇, ＧＷ as GW), upper case, as a spreadsheet may have retyped them.
struct KindName {
    QString text;
    int kind;
};

QString Folded(QStringView text) { return text.toString().normalized(QString::NormalizationForm_KC).toUpper(); }

const std::vector<KindName>& KindNames()
{
    static const std::vector<KindName> names = [] {
        std::vector<KindName> list;
        for (int kind = 1; kind < LeaveKindCount; ++kind) {
            for (const QString& name : { DayCodeText(kind), LeaveKindLabel(kind) }) {
                list.push_back({ name, kind });
                list.push_back({ Folded(name), kind });
            }
        }
        return list;
    }();
    return names;
}

std::optional<int> ReadKind(QStringView text)
{
    for (const KindName& name : KindNames())
        if (text == name.text)
            return name.kind;
    const QString folded = Folded(text);
    for (const KindName& name : KindNames())
        if (folded == name.text)
            return name.kind;
    return std::nullopt;
}

// 月, 月曜, 月曜日, (月) or （月）: 1 = Monday ... 7 = Sunday, as QDate counts.
std::optional<int> ReadWeekday(QStringView text)
{
    if (text.size() >= 2
        && ((text.front() == u'(' && text.back() == u')') || (text.front() == u'（' && text.back() == u'）')))
        text = text.sliced(1, text.size() - 2).trimmed();
    if (text.isEmpty() || !(text.size() == 1 || text.sliced(1) == u"曜" || text.sliced(1) == u"曜日"))
        return std::nullopt;
    static constexpr QStringView names = u"月火水木金土日";
    const qsizetype index = names.indexOf(text.front());
    if (index < 0)
        return std::nullopt;
    return int(index) + 1;
}

// A line whose date has no year: its day is placed, or its problem reported,
// once the file's year is known.
struct Yearless {
    int line = 0;
    int month = 0;
    int day = 0;
    int weekday = 0;
    size_t slot = 0; // its place in Days, when its kind was read
    QString kindProblem; // or why its kind was not read
};

// The year nearest to today's in which every one of `lines` falls on the
// weekday it names; none further than 27 years, as the weekdays of a year
// come back within 28. Of two years as far, the one in which the first line's
// day is nearer to today.
std::optional<int> YearOfWeekdays(const std::vector<Yearless>& lines)
{
    // Each month, day and weekday once.
    std::bitset<13 * 32 * 8> seen;
    std::vector<const Yearless*> distinct;
    for (const Yearless& line : lines) {
        const size_t key = size_t((line.month * 32 + line.day) * 8 + line.weekday);
        if (!seen.test(key)) {
            seen.set(key);
            distinct.push_back(&line);
        }
    }
    const auto fits = [&](int year) {
        if (year < 1 || year > 9999)
            return false;
        for (const Yearless* line : distinct) {
            const QDate date(year, line->month, line->day);
            if (!date.isValid() || date.dayOfWeek() != line->weekday)
                return false;
        }
        return true;
    };
    const QDate today = Dates::Today();
    const auto distance
        = [&](int year) { return std::llabs(today.daysTo(QDate(year, lines.front().month, lines.front().day))); };
    for (int apart = 0; apart <= 27; ++apart) {
        const int earlier = today.year() - apart;
        const int later = today.year() + apart;
        const bool earlierFits = fits(earlier);
        const bool laterFits = apart > 0 && fits(later);
        if (earlierFits && laterFits)
            return distance(earlier) <= distance(later) ? earlier : later;
        if (earlierFits)
            return earlier;
        if (laterFits)
            return later;
    }
    return std::nullopt;
}

bool HasDigit(QStringView text)
{
    for (QChar c : text)
        if (c.isDigit())
            return true;
    return false;
}

bool AllDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

[[noreturn]] void NotText()
{
    throw EConvertError(QStringLiteral("このファイルはテキストファイルではないため、読み込めません。"));
}

} // namespace

Result ReadDataFile(const QString& path)
{
    Result result;
    int place = 0;
    for (const LeaveRecord& record : LeaveStore::ReadAllOf(path)) {
        ++place;
        if (record.Cleared() || record.Kind() < 1 || record.Kind() >= LeaveKindCount)
            continue;
        const QDate date(record.Year(), record.Month(), record.Day());
        if (!date.isValid())
            result.AddProblem(place, QStringLiteral("日付が読めません"));
        else
            result.Days.push_back({ place, date, record.Kind(), record.Memo() });
    }
    return result;
}

QString Problem::Text() const { return QStringLiteral("%1行目: %2").arg(Line).arg(Reason); }

void Result::AddProblem(int line, const QString& reason)
{
    if (Problems.size() < size_t(MaxListedProblems))
        Problems.push_back({ line, reason });
    else
        ++MoreProblems;
}

QString DecodeText(const QByteArray& bytes)
{
    if (bytes.contains('\0'))
        NotText();
    static const QByteArray bom("\xEF\xBB\xBF");
    const bool marked = bytes.startsWith(bom);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(QByteArrayView(bytes).sliced(marked ? bom.size() : 0));
    if (!utf8.hasError())
        return text;
    if (marked)
        NotText();
    text = ShiftJis::ToUnicode(bytes);
    if (text.contains(QChar::ReplacementCharacter))
        NotText();
    return text;
}

namespace {

// Dates the lines without a year in the year their weekdays give, or, when
// none fits, lists them among the problems in line order.
void PlaceYearless(Result& result, const std::vector<Yearless>& yearless)
{
    const std::optional<int> year = YearOfWeekdays(yearless);
    std::vector<Problem> problems;
    for (const Yearless& line : yearless) {
        if (!year) {
            problems.push_back({ line.line, QStringLiteral("日付に年がなく、曜日に合う年がありません") });
        } else if (!line.kindProblem.isEmpty()) {
            problems.push_back({ line.line, line.kindProblem });
        } else {
            Day& day = result.Days[line.slot];
            day.Date = QDate(*year, line.month, line.day);
            day.YearFromWeekday = true;
        }
    }
    if (!year)
        std::erase_if(result.Days, [](const Day& day) { return !day.Date.isValid(); });
    if (problems.empty())
        return;
    // Every line counted but not listed comes after the last one listed.
    std::vector<Problem> merged;
    merged.reserve(result.Problems.size() + problems.size());
    std::merge(result.Problems.begin(), result.Problems.end(), problems.begin(), problems.end(),
        std::back_inserter(merged), [](const Problem& a, const Problem& b) { return a.Line < b.Line; });
    const size_t kept = std::min(merged.size(), size_t(MaxListedProblems));
    result.MoreProblems += int(merged.size() - kept);
    merged.resize(kept);
    result.Problems = std::move(merged);
}

} // namespace

Result Parse(const QByteArray& bytes)
{
    const QString text = DecodeText(bytes);
    Result result;
    std::vector<Yearless> yearless;
    Record record;
    std::optional<Layout> layout;
    qsizetype pos = 0;
    int line = 1;
    const auto problem = [&](const QString& reason) { result.AddProblem(record.line, reason); };
    while (pos < text.size()) {
        ReadRecord(text, pos, line, record);
        if (record.unclosedQuote) {
            problem(QStringLiteral("引用符が閉じていません"));
            continue;
        }
        if (record.blank())
            continue;
        if (!layout) {
            // The first line tells the layout: the holiday list begins with
            // its number column. A first field without a digit is a heading.
            const QStringView first = record.field(0).trimmed();
            layout = first == u"回" || AllDigits(first) ? HolidayListLayout : SheetLayout;
            if (!HasDigit(first)) {
                for (int i = 0; i < int(record.fields.size()); ++i)
                    if (record.field(i).trimmed() == u"曜日")
                        layout->weekday = i;
                continue;
            }
        }
        const ReadDay date = ReadDate(record.field(layout->date).trimmed());
        std::optional<int> weekday;
        if (date.noYear && layout->weekday >= 0) {
            weekday = ReadWeekday(record.field(layout->weekday).trimmed());
            if (!weekday) {
                problem(QStringLiteral("日付に年がなく、曜日もありません"));
                continue;
            }
        } else if (!date.date) {
            problem(date.noYear ? QStringLiteral("日付に年がありません") : QStringLiteral("日付が読めません"));
            continue;
        }
        QString kindProblem;
        const QStringView kindText = record.field(layout->kind).trimmed();
        const std::optional<int> kind = ReadKind(kindText);
        if (kindText.isEmpty())
            kindProblem = QStringLiteral("休暇の種類がありません");
        else if (!kind)
            kindProblem = QStringLiteral("休暇の種類が読めません");
        if (weekday) {
            // Placed once the year is known.
            yearless.push_back({ record.line, date.month, date.day, *weekday, result.Days.size(), kindProblem });
            if (kindProblem.isEmpty())
                result.Days.push_back({ record.line, QDate(), *kind, record.field(layout->memo).toString() });
            continue;
        }
        if (!kindProblem.isEmpty()) {
            problem(kindProblem);
            continue;
        }
        result.Days.push_back(
            { record.line, *date.date, *kind, record.field(layout->memo).toString(), date.twoDigitYear });
    }
    if (!yearless.empty())
        PlaceYearless(result, yearless);
    return result;
}

Result ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EInOutError(QStringLiteral("ファイルを開けません: %1").arg(path), EACCES);
    const auto tooLarge
        = [] { throw EInOutError(QStringLiteral("ファイルが大きすぎるため、読み込めません（10 MBまで）。"), EFBIG); };
    if (file.size() > MaxFileBytes)
        tooLarge();
    // A file that grows while it is read is held to the limit too.
    const QByteArray bytes = file.read(MaxFileBytes + 1);
    if (bytes.size() > MaxFileBytes)
        tooLarge();
    if (file.error() != QFile::NoError)
        throw EInOutError(QStringLiteral("ファイルを読めません: %1").arg(path), EIO);
    return Parse(bytes);
}

} // namespace CsvImport
