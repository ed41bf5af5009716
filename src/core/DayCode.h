#pragma once

// What a day cell of the calendars shows: a code of at most two bytes of
// Shift-JIS (one kanji or two ASCII letters) in one of four text colours.
// Codes 0 to 10 are the leave kinds of the data file; the totals count days
// by comparing cell texts with DayCodeText, so these texts must not change.

#include <QString>
#include <QtGlobal>

enum class DayCode : int {
    Normal = 0, // (empty)
    FullDay = 1, // 全
    Morning = 2, // AM
    Afternoon = 3, // PM
    RegularDayOff = 4, // 定
    SummerLeave = 5, // 夏
    WinterLeave = 6, // 冬
    GoldenWeek = 7, // GW
    SpecialLeave = 8, // 特
    CompensatoryDayOff = 9, // 代
    HolidayWork = 10, // 出
    Sunday = 100, // 日 weekly days off, Sunday to Saturday
    Monday = 101,
    Tuesday = 102,
    Wednesday = 103,
    Thursday = 104,
    Friday = 105,
    Saturday = 106, // 土
    NationalHoliday = 107, // 祝
    SubstituteHoliday = 108, // 振, also the citizens' holidays
    NoSuchDate = 109, // ／ (full-width solidus)
};

// Text colours as 0x00BBGGRR.
using DayColour = quint32;
inline constexpr DayColour DayBlack = 0x000000;
inline constexpr DayColour DayGreen = 0x008000; // RGB (0, 128, 0)
inline constexpr DayColour DayRed = 0x0000FF;
inline constexpr DayColour DayBlue = 0xFF0000;

// An unlisted code shows nothing, in black.
QString DayCodeText(int code);
DayColour DayCodeColour(int code);
inline QString DayCodeText(DayCode code) { return DayCodeText(int(code)); }
inline DayColour DayCodeColour(DayCode code) { return DayCodeColour(int(code)); }

// The code a stored leave kind shows. Kinds outside 0 to 10, which only a
// damaged or foreign file holds, show nothing rather than a weekday or
// holiday code that would be counted as one.
DayCode LeaveDayCode(int kind);
