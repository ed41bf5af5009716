#pragma once

// How a totals request finds its fiscal year and its day codes, shared by
// the main window's totals commands and the totals selection dialog.

#include <optional>

#include "core/LeaveTotals.h"

// The fiscal year to total: the one the open calendar shows (for the month
// calendar, the fiscal year of its month), or else the one the user types
// into the input box "年度の入力", prefilled with today's fiscal year. No year
// when the user cancels; a text that is not a number raises EConvertError.
std::optional<int> TotalsFiscalYear();

// The day codes of a fiscal year: as the open fiscal-year calendar shows
// them, or else from a fresh day table of that year.
FiscalYearCodes CollectFiscalYearCodes(int fiscalYear);

// The two requests: ask for the year, then show the totals window for it.
// Nothing happens when the user cancels the input box; the return value says
// whether a window was shown.
bool RequestYearTotals();
bool RequestMonthlyTotals();
