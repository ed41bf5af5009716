#include "core/LeaveTotals.h"

#include <QDate>

#include "core/CalendarFill.h"
#include "core/DayCode.h"
#include "core/FiscalYearDayTable.h"

namespace {

constexpr DayCode CounterCodes[CountedCodeCount] = {
    DayCode::FullDay,
    DayCode::Morning,
    DayCode::Afternoon,
    DayCode::RegularDayOff,
    DayCode::SummerLeave,
    DayCode::WinterLeave,
    DayCode::GoldenWeek,
    DayCode::SpecialLeave,
    DayCode::CompensatoryDayOff,
    DayCode::HolidayWork,
    DayCode::Sunday,
    DayCode::Monday,
    DayCode::Tuesday,
    DayCode::Wednesday,
    DayCode::Thursday,
    DayCode::Friday,
    DayCode::Saturday,
    DayCode::NationalHoliday,
    DayCode::SubstituteHoliday,
    DayCode::NoSuchDate,
};

// The leave kinds that are other leave; holiday work is not.
constexpr CountedCode OtherLeave[] = {
    CountedCode::RegularDayOff,
    CountedCode::Summer,
    CountedCode::Winter,
    CountedCode::GoldenWeek,
    CountedCode::Special,
    CountedCode::Compensatory,
};

} // namespace

QString CountedCodeText(CountedCode code) { return DayCodeText(CounterCodes[int(code)]); }

FiscalYearCodes FiscalYearCodes::FromDayTable(const FiscalYearDayTable& table)
{
    FiscalYearCodes codes;
    for (int month = 1; month <= Months; ++month) {
        for (int day = 1; day <= Days; ++day)
            codes.At(YearCalendarRow(month), day) = table.Cell(month, day).Text;
    }
    return codes;
}

YearTotals TotalFiscalYear(const FiscalYearCodes& codes, int fiscalYear, const std::array<bool, 7>& daysOff)
{
    std::array<QString, CountedCodeCount> texts;
    for (int i = 0; i < CountedCodeCount; ++i)
        texts[size_t(i)] = CountedCodeText(CountedCode(i));

    YearTotals totals;
    for (int position = 1; position <= FiscalYearCodes::Months; ++position) {
        for (int day = 1; day <= FiscalYearCodes::Days; ++day) {
            const QString& code = codes.At(position, day);
            if (code.isEmpty())
                continue;
            for (int i = 0; i < CountedCodeCount; ++i) {
                if (code == texts[size_t(i)])
                    ++totals.Counts[size_t(i)];
            }
        }
    }

    totals.Paid = float(totals.Count(CountedCode::FullDay))
        + float(totals.Count(CountedCode::Morning) + totals.Count(CountedCode::Afternoon)) * 0.5f;
    float other = 0;
    for (CountedCode code : OtherLeave)
        other += float(totals.Count(code));
    for (int weekday = 0; weekday < 7; ++weekday) {
        if (daysOff[size_t(weekday)])
            other += float(totals.Counts[size_t(int(CountedCode::Sunday) + weekday)]);
    }
    other += float(totals.Count(CountedCode::NationalHoliday) + totals.Count(CountedCode::SubstituteHoliday));
    totals.Other = other;
    totals.Total = totals.Paid + totals.Other;
    // The fiscal year's February lies in the year after its April.
    totals.DaysInYear = QDate::isLeapYear(fiscalYear + 1) ? 366 : 365;
    totals.Worked = float(totals.DaysInYear) - totals.Total;
    totals.Rate = totals.Worked / float(totals.DaysInYear) * 100.0f;
    return totals;
}

float MonthlyPaidLeave::Days(int slot) const
{
    return float(Count(0, slot)) + 0.5f * float(Count(1, slot)) + 0.5f * float(Count(2, slot));
}

MonthlyPaidLeave TotalPaidLeaveByMonth(const FiscalYearCodes& codes)
{
    const QString texts[3]
        = { DayCodeText(DayCode::FullDay), DayCodeText(DayCode::Morning), DayCodeText(DayCode::Afternoon) };
    MonthlyPaidLeave leave;
    for (int position = 1; position <= FiscalYearCodes::Months; ++position) {
        for (int day = 1; day <= FiscalYearCodes::Days; ++day) {
            const QString& code = codes.At(position, day);
            if (code.isEmpty())
                continue;
            for (int kind = 0; kind < 3; ++kind) {
                if (code == texts[kind]) {
                    ++leave.Counts[size_t(kind)][size_t(position)];
                    ++leave.Counts[size_t(kind)][MonthlyPaidLeave::YearSlot];
                }
            }
        }
    }
    return leave;
}
