#include "app/CalendarWindows.h"

#include "app/MainForm.h"
#include "views/Hcalf.h"
#include "views/Mcalf.h"
#include "views/Ycalf.h"

void InstallCalendarWindows(TMainform& mainform)
{
    mainform.SetCalendarFactory(CalendarKind::Year, [](TMainform&) { return new TYcalForm; });
    mainform.SetCalendarFactory(CalendarKind::Month, [](TMainform&) { return new TMCalForm; });
    mainform.SetCalendarFactory(CalendarKind::Holiday, [](TMainform&) { return new THCalForm; });
}
