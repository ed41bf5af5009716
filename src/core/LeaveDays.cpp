#include "core/LeaveDays.h"

#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"

namespace {

// Kinds 1 to 10, the leave kinds of the entry dialog.
bool IsLeaveKind(int kind) { return kind >= int(LeaveKind::FullDay) && kind <= int(LeaveKind::HolidayWork); }

} // namespace

LeaveDays LeaveDays::OfFiscalYear(int fiscalYear) { return LeaveDays(fiscalYear, 4, Months); }

// A month outside 1 to 12 has no days.
LeaveDays LeaveDays::OfMonth(int year, int month) { return LeaveDays(year, month, month >= 1 && month <= 12 ? 1 : 0); }

// The period is `months` consecutive calendar months from `firstMonth` of
// `year`; at most twelve, so that a month and day name one cell.
LeaveDays::LeaveDays(int year, int firstMonth, int months)
    : firstMonth_(firstMonth)
    , months_(months)
{
    kinds_.fill(0);
    positions_.fill(-1);
    constexpr size_t Discard = Cells;
    // Records come in no particular date order and a large file holds many
    // years, so each record is put in its cell, or in the slot that takes
    // every record outside the period, with arithmetic instead of branches
    // the processor would mispredict on every other record. A later record
    // of a cell overwrites an earlier one.
    LeaveStore::ForEach([&](const LeaveRecord& record, qint64 position) {
        const int month = record.Month();
        const int day = record.Day();
        // 0 to months - 1 for the months of the period
        const int offset = (record.Year() - year) * 12 + month - firstMonth;
        const size_t inside = (unsigned(offset) < unsigned(months)) & (unsigned(month - 1) < unsigned(Months))
            & (unsigned(day - 1) < unsigned(Days)) & !record.Cleared();
        const size_t slot = Discard + inside * (size_t((month - 1) * Days + day - 1) - Discard);
        kinds_[slot] = record.Kind();
        positions_[slot] = position;
    });
}

std::vector<qint64> LeaveDays::Positions() const { return PositionsWhere(false); }

std::vector<qint64> LeaveDays::LeavePositions() const { return PositionsWhere(true); }

std::vector<qint64> LeaveDays::PositionsWhere(bool leaveOnly) const
{
    std::vector<qint64> positions;
    for (int i = 0; i < months_; ++i) {
        const int month = (firstMonth_ - 1 + i) % Months + 1;
        for (int day = 1; day <= Days; ++day) {
            if (Decided(month, day) && (!leaveOnly || IsLeaveKind(Kind(month, day))))
                positions.push_back(positions_[Cell(month, day)]);
        }
    }
    return positions;
}
