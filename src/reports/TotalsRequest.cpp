#include "reports/TotalsRequest.h"

#include <QDate>

#include "core/FiscalYearDayTable.h"
#include "core/Julius.h"
#include "platform/Dates.h"
#include "platform/Dialogs.h"
#include "platform/Text.h"
#include "reports/CalMF.h"
#include "reports/Calf.h"
#include "views/MainFrame.h"
#include "views/OpenCalendar.h"
#include "views/Ycalf.h"
#include "widgets/StrCGrid.h"

std::optional<int> TotalsFiscalYear()
{
    if (const std::optional<OpenCalendar> open = TheOpenCalendar())
        return open->Window->ShownFiscalYear();
    const QDate today = Dates::Today();
    const std::optional<QString> typed = Dialogs::InputBox(MainFrame ? &MainFrame->FrameWidget() : nullptr,
        QStringLiteral("年度の入力"), QStringLiteral("集計する年度を入力して下さい。"),
        QString::number(Julius::FiscalYearOf(today.year(), today.month())));
    if (!typed)
        return std::nullopt;
    return Text::StrToInt(*typed);
}

FiscalYearCodes CollectFiscalYearCodes(int fiscalYear)
{
    if (IsOpen(CalendarKind::Year)) {
        // What the calendar shows now, whichever year that is: rows are the
        // months April to March, columns the days.
        const TStrColGrid& grid = *YcalForm->StrColGrid1;
        FiscalYearCodes codes;
        for (int position = 1; position <= FiscalYearCodes::Months; ++position) {
            for (int day = 1; day <= FiscalYearCodes::Days; ++day) {
                if (position < grid.RowCount() && day < grid.ColCount())
                    codes.At(position, day) = grid.Cells(day, position);
            }
        }
        return codes;
    }
    FiscalYearDayTable table;
    BuildFiscalYearDayTable(fiscalYear, table);
    return FiscalYearCodes::FromDayTable(table);
}

bool RequestYearTotals()
{
    const std::optional<int> fiscalYear = TotalsFiscalYear();
    if (!fiscalYear || !CalForm)
        return false;
    CalForm->ShowTotals(*fiscalYear);
    return true;
}

bool RequestMonthlyTotals()
{
    const std::optional<int> fiscalYear = TotalsFiscalYear();
    if (!fiscalYear || !CalMForm)
        return false;
    CalMForm->ShowTotals(*fiscalYear);
    return true;
}
