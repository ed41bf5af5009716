#include "core/Julius.h"

#include <array>
#include <cmath>
#include <numbers>

#include "platform/Errors.h"
#include "platform/Text.h"

namespace Julius {

namespace {
constexpr int FirstGregorianDay = 2299161; // 15 October 1582

// Day indexes at the end of each year of a four-year Julian cycle that
// starts with its leap year (indexes 0 to 365 are the first year).
constexpr int CycleYearEnds[4] = { 365, 730, 1095, 1460 };
constexpr int MonthLengths[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };

// Sine of an angle in degrees.
double Sin(double degrees) { return std::sin(degrees / 180 * std::numbers::pi); }

// One equinox of the year by a short periodic series around its mean
// date. The terms are added in this order on purpose: in some years
// (September 2012 among them) the result lies within a few thousandths of
// a day of midnight, and another order of rounding could move the day.
struct EquinoxTerms {
    double s1, s3, s4, s5, s6; // phases of the periodic terms
    double linear; // days per year of the linear correction
    double rate; // days per year
    double epoch; // day number of the equinox of 2000, in JST
};

int EquinoxDayNumber(int year, const EquinoxTerms& t)
{
    const double b = year - 2000;
    const double s1 = Sin(t.s1 - 30.37 * b);
    const double s2 = Sin(0.19 * b + 249);
    const double s3 = Sin(t.s3 - 132.57 * b);
    const double s4 = Sin(t.s4 - 90.37 * b);
    const double s5 = Sin(t.s5 - 134.81 * b);
    const double s6 = Sin(t.s6 - 19.34 * b);
    const double p = (s1 + s2 + s3 + s4) * 0.002 + b * t.linear + s5 * 0.001 + s6 * 0.005;
    const double q = (b * 0.0000001) * b - p;
    return int(std::trunc(b * t.rate + t.epoch + q));
}

constexpr EquinoxTerms March { 321, 202, 84, 132, 239, -0.00004871850323926, 365.24229, 2451624.683 };
constexpr EquinoxTerms September { 485, 268.2, 309.2, 244.6, 248.6, 0.00004871850323926, 365.24206, 2451811.096 };
} // namespace

namespace {
// In 64 bits: for the dates of the largest day numbers (years from about
// 5874775 on) the intermediate values pass the range of 32 bits.
qint64 JulianDayNumber64(qint64 year, qint64 month, qint64 day)
{
    qint64 correction = 0;
    if (month >= 3) {
        const qint64 leap = (year + 4712) % 4 == 0 ? 1 : 0;
        correction = leap - 1 - qint64(std::trunc(0.4 * double(month) + 1.2));
    }
    return qint64(std::trunc(double(year + 4715) * 365.25)) + correction + (day - 1) + 31 * (month - 1) - 1095;
}
} // namespace

int JulianDayNumber(int year, int month, int day) { return int(JulianDayNumber64(year, month, day)); }

DateTriple DateOfDayNumber(int dayNumber)
{
    // From the Gregorian change on, move to the Julian-calendar day that bears
    // the same year, month and day, and take the date from there. That day
    // lies beyond the largest day number for the largest ones.
    qint64 a = dayNumber;
    if (dayNumber >= FirstGregorianDay) {
        const qint64 alpha = qint64(std::trunc((dayNumber - 1867216.25) / 36524.25));
        a = qint64(dayNumber) + 1 + alpha - alpha / 4;
    }

    DateTriple date;
    const qint64 cycle = a / 1461;
    const qint64 rest = a % 1461;
    int i = 0;
    while (rest > CycleYearEnds[i])
        ++i;
    date.Year = int(4 * cycle - 4712 + i);

    qint64 dayOfYear = a - JulianDayNumber64(date.Year, 1, 1);
    const bool leap = date.Year % 4 == 0;
    int month = 0;
    for (;;) {
        const int length = MonthLengths[month] + (month == 1 && leap ? 1 : 0);
        if (dayOfYear < length || month == 11)
            break;
        dayOfYear -= length;
        ++month;
    }
    date.Month = month + 1;
    date.Day = int(dayOfYear + 1);
    return date;
}

int VernalEquinoxDayNumber(int year) { return EquinoxDayNumber(year, March); }

int AutumnalEquinoxDayNumber(int year) { return EquinoxDayNumber(year, September); }

namespace {
// A dozen sines per equinox, and the holidays of every fiscal year ask for
// both: the days of the calendar's years are kept once worked out. The
// program asks from its one thread.
using KnownEquinoxDays = std::array<qint8, 10000>; // by year; 0 not yet known

int EquinoxDay(int year, const EquinoxTerms& terms, KnownEquinoxDays& known)
{
    if (year < 1 || year >= int(known.size()))
        return DateOfDayNumber(EquinoxDayNumber(year, terms)).Day;
    qint8& day = known[size_t(year)];
    if (day == 0)
        day = qint8(DateOfDayNumber(EquinoxDayNumber(year, terms)).Day);
    return day;
}
} // namespace

int VernalEquinoxDay(int year)
{
    static KnownEquinoxDays known {};
    return EquinoxDay(year, March, known);
}

int AutumnalEquinoxDay(int year)
{
    static KnownEquinoxDays known {};
    return EquinoxDay(year, September, known);
}

int FiscalYearOf(int year, int month) { return month >= 1 && month <= 3 ? year - 1 : year; }

void CheckFiscalYear(int fiscalYear)
{
    // 1 April of the fiscal year and 31 March after it must be dates of the calendar.
    if (fiscalYear < 1 || fiscalYear > 9998)
        throw EDateError(QStringLiteral("Invalid argument to date encode"));
}

QString FiscalYearCaption(int fiscalYear) { return QString::number(fiscalYear) + QStringLiteral("年度"); }

int ParseFiscalYearCaption(const QString& caption)
{
    return Text::StrToInt(caption.left(qMax(qsizetype(0), caption.size() - 2)));
}

QString MonthCaption(int year, int month)
{
    return QString::number(year) + QStringLiteral("年") + QString::number(month) + QStringLiteral("月");
}

YearMonth ParseMonthCaption(const QString& caption)
{
    YearMonth parsed;
    parsed.Year = Text::StrToInt(caption.left(4));
    parsed.Month = Text::StrToInt(caption.mid(5, qMax(qsizetype(0), caption.size() - 6)));
    return parsed;
}

} // namespace Julius
