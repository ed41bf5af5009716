#include "app/CalendarWindows.h"

#include "app/MainForm.h"
#include "views/Hcalf.h"
#include "views/Mcalf.h"
#include "views/Ycalf.h"

void InstallCalendarWindows(TMainform& mainform)
{
    mainform.SetCalendarFactory(TMainform::Calendar::Year, [](TMainform&) { return new TYcalForm; });
    mainform.SetCalendarFactory(TMainform::Calendar::Month, [](TMainform&) { return new TMCalForm; });
    mainform.SetCalendarFactory(TMainform::Calendar::Holiday, [](TMainform&) { return new THCalForm; });
}
