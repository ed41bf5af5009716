#pragma once

// Calendar dates of the proleptic Gregorian calendar, years 1 to 9999.

#include <optional>

#include <QDate>
#include <QString>

namespace Dates {

// Raises EDateError "Invalid argument to date encode" for a date that does
// not exist or lies outside the years 1 to 9999.
QDate EncodeDate(int year, int month, int day);
bool IsValidDate(int year, int month, int day);
void DecodeDate(const QDate& date, int& year, int& month, int& day);

// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(const QDate& date);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// The local date. Tests fix it with SetToday; std::nullopt returns to the clock.
QDate Today();
void SetToday(std::optional<QDate> date);

// The one-kanji weekday name of the Japanese locale: 日 月 火 水 木 金 土.
QString ShortDayName(int dayOfWeek);

QChar DateSeparator();

} // namespace Dates
