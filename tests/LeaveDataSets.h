#pragma once

// Leave data of several fiscal years for the tests of figures drawn from
// many years: every leave kind, whole and half paid days, in every month.

#include <vector>

#include "core/LeaveStore.h"

// Saves leave from April of `firstYear` to March of `lastYear` + 1: each
// month a few days of kinds that change with the month and the year.
inline void SaveYearsOfLeave(int firstYear, int lastYear)
{
    std::vector<LeaveStore::DayEntry> entries;
    for (int fiscalYear = firstYear; fiscalYear <= lastYear; ++fiscalYear) {
        for (int position = 0; position < 12; ++position) {
            const int month = (position + 3) % 12 + 1;
            const int year = month >= 4 ? fiscalYear : fiscalYear + 1;
            for (int i = 0; i < 1 + (fiscalYear + position) % 4; ++i)
                entries.push_back({ year, month, 2 + 5 * i, 1 + (fiscalYear + position + i) % 10, {} });
        }
    }
    LeaveStore::SaveEntries(entries);
}
