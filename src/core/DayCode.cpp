#include "core/DayCode.h"

QString DayCodeText(int code)
{
    switch (DayCode(code)) {
    case DayCode::FullDay:
        return QStringLiteral("全");
    case DayCode::Morning:
        return QStringLiteral("AM");
    case DayCode::Afternoon:
        return QStringLiteral("PM");
    case DayCode::RegularDayOff:
        return QStringLiteral("定");
    case DayCode::SummerLeave:
        return QStringLiteral("夏");
    case DayCode::WinterLeave:
        return QStringLiteral("冬");
    case DayCode::GoldenWeek:
        return QStringLiteral("GW");
    case DayCode::SpecialLeave:
        return QStringLiteral("特");
    case DayCode::CompensatoryDayOff:
        return QStringLiteral("代");
    case DayCode::HolidayWork:
        return QStringLiteral("出");
    case DayCode::Sunday:
        return QStringLiteral("日");
    case DayCode::Monday:
        return QStringLiteral("月");
    case DayCode::Tuesday:
        return QStringLiteral("火");
    case DayCode::Wednesday:
        return QStringLiteral("水");
    case DayCode::Thursday:
        return QStringLiteral("木");
    case DayCode::Friday:
        return QStringLiteral("金");
    case DayCode::Saturday:
        return QStringLiteral("土");
    case DayCode::NationalHoliday:
        return QStringLiteral("祝");
    case DayCode::SubstituteHoliday:
        return QStringLiteral("振");
    case DayCode::NoSuchDate:
        return QStringLiteral("／");
    default:
        return QString();
    }
}

DayColour DayCodeColour(int code)
{
    if (code >= int(DayCode::FullDay) && code <= int(DayCode::SpecialLeave))
        return DayGreen;
    switch (DayCode(code)) {
    case DayCode::Sunday:
    case DayCode::NationalHoliday:
    case DayCode::SubstituteHoliday:
        return DayRed;
    case DayCode::Saturday:
        return DayBlue;
    default:
        return DayBlack;
    }
}

DayCode LeaveDayCode(int kind)
{
    return kind >= int(DayCode::Normal) && kind <= int(DayCode::HolidayWork) ? DayCode(kind) : DayCode::Normal;
}
