#include "platform/Dates.h"

#include <QLocale>

#include "platform/Errors.h"

namespace Dates {

namespace {
std::optional<QDate> fixedToday;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month)
{
    static const int days[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool IsValidDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

QDate EncodeDate(int year, int month, int day)
{
    if (!IsValidDate(year, month, day))
        throw EDateError(QStringLiteral("Invalid argument to date encode"));
    return QDate(year, month, day);
}

void DecodeDate(const QDate& date, int& year, int& month, int& day) { date.getDate(&year, &month, &day); }

int DayOfWeek(const QDate& date) { return date.dayOfWeek() % 7 + 1; }

QDate Today() { return fixedToday ? *fixedToday : QDate::currentDate(); }

void SetToday(std::optional<QDate> date) { fixedToday = date; }

QString ShortDayName(int dayOfWeek)
{
    // QLocale counts Monday = 1 ... Sunday = 7.
    static const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    const int qtDay = dayOfWeek == 1 ? 7 : dayOfWeek - 1;
    return japanese.dayName(qtDay, QLocale::NarrowFormat);
}

QChar DateSeparator() { return u'/'; }

} // namespace Dates
