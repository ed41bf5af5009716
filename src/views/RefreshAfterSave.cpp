#include "views/RefreshAfterSave.h"

#include <utility>
#include <vector>

#include <QAction>

#include "views/MainFrame.h"
#include "core/CalendarFill.h"
#include "core/DayCode.h"
#include "core/Julius.h"
#include "views/Hcalf.h"
#include "views/Mcalf.h"
#include "views/Ycalf.h"
#include "widgets/StrCGrid.h"

namespace {

std::vector<std::pair<int, std::function<void()>>>& SaveListeners()
{
    static std::vector<std::pair<int, std::function<void()>>> listeners;
    return listeners;
}

void RefreshCalendars(int year, int month, int day, int kind, const QString& memo);

} // namespace

int AddSaveListener(std::function<void()> listener)
{
    static int lastId = 0;
    SaveListeners().emplace_back(++lastId, std::move(listener));
    return lastId;
}

void RemoveSaveListener(int id)
{
    std::erase_if(SaveListeners(), [id](const auto& entry) { return entry.first == id; });
}

void RefreshAfterSave(int year, int month, int day, int kind, const QString& memo)
{
    RefreshCalendars(year, month, day, kind, memo);
    // A copy: a listener may remove itself.
    const auto listeners = SaveListeners();
    for (const auto& [id, listener] : listeners)
        listener();
}

namespace {

void RefreshCalendars(int year, int month, int day, int kind, const QString& memo)
{
    if (!MainFrame)
        return;
    const QString text = DayCodeText(LeaveDayCode(kind));
    const TColor colour = DayCodeColour(LeaveDayCode(kind));

    // Only a day of the period on show changes the calendar: one that lies
    // elsewhere leaves it where the user is looking.
    if (MainFrame->Y1->isChecked() && YcalForm) {
        const int fiscalYear = YcalForm->ShownFiscalYear();
        if (!InFiscalYear(fiscalYear, year, month) || day < 1 || day > 31)
            return;
        if (kind == 0) {
            // The cell falls back to its weekday, holiday or empty code.
            YcalForm->Fill(fiscalYear);
        } else {
            TStrColGrid& grid = *YcalForm->StrColGrid1;
            grid.SetCellFontColor(day, YearCalendarRow(month), colour);
            grid.SetCells(day, YearCalendarRow(month), text);
            grid.InvalidateCell(day, YearCalendarRow(month));
        }
    } else if (MainFrame->M1->isChecked() && MCalForm) {
        int shownYear, shownMonth;
        MCalForm->ShownMonth(shownYear, shownMonth);
        if (year != shownYear || month != shownMonth || day < 1 || day > 31)
            return;
        if (kind == 0) {
            MCalForm->Fill(shownYear, shownMonth);
        } else {
            TStrColGrid& grid = *MCalForm->StrColGrid1;
            grid.SetCells(2, day, text);
            grid.SetCellFontColor(2, day, colour);
            grid.SetCells(3, day, memo);
            grid.InvalidateRow(day);
        }
    } else if (MainFrame->H2->isChecked() && HCalForm) {
        const int fiscalYear = HCalForm->ShownFiscalYear();
        if (InFiscalYear(fiscalYear, year, month))
            HCalForm->Fill(fiscalYear);
    }
}

} // namespace
