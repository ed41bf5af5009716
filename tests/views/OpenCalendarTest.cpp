#include "views/OpenCalendar.h"

#include <QButtonGroup>
#include <QSignalSpy>
#include <QToolButton>

#include <gtest/gtest.h>

#include "ViewsTestSupport.h"
#include "core/CalendarFill.h"
#include "views/Hcalf.h"
#include "views/Mcalf.h"
#include "views/ProgramEvents.h"
#include "views/Ycalf.h"

Q_DECLARE_METATYPE(CalendarKind)

namespace {

class OpenCalendarTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    FixedToday today { QDate(2024, 11, 20) };
};

TEST_F(OpenCalendarTest, TheOpenCalendarFollowsTheViewCommandsAndAnnouncesEachChange)
{
    ProgramWindows program(data); // opens the fiscal-year calendar
    std::optional<OpenCalendar> open = TheOpenCalendar();
    ASSERT_TRUE(open);
    EXPECT_EQ(open->Kind, CalendarKind::Year);
    EXPECT_EQ(open->Window, YcalForm);
    EXPECT_EQ(open->Window->ShownFiscalYear(), 2024);

    QSignalSpy opened(&ProgramEvents(), &TProgramEvents::calendarOpened);
    QSignalSpy closed(&ProgramEvents(), &TProgramEvents::calendarClosed);
    program.Main().ToolButton2->click(); // the month calendar: November 2024
    open = TheOpenCalendar();
    ASSERT_TRUE(open);
    EXPECT_EQ(open->Kind, CalendarKind::Month);
    EXPECT_EQ(open->Window, MCalForm);
    EXPECT_TRUE(IsOpen(CalendarKind::Month));
    EXPECT_FALSE(IsOpen(CalendarKind::Year));
    MCalForm->SpeedButton5->click(); // twelve months on: November 2025, fiscal year 2025
    EXPECT_EQ(open->Window->ShownFiscalYear(), 2025);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0][0].value<CalendarKind>(), CalendarKind::Month);
    ASSERT_EQ(closed.size(), 1);
    EXPECT_EQ(closed[0][0].value<CalendarKind>(), CalendarKind::Year);

    program.Main().M1->trigger(); // already open: nothing changes
    EXPECT_EQ(opened.size(), 1);
    program.Stop();
    EXPECT_FALSE(TheOpenCalendar());
}

TEST_F(OpenCalendarTest, ASavedDayIsAnnouncedWithTheMemoAsStoredAndReachesOnlyTheOpenCalendar)
{
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n"); // the month calendar, November 2024
    QSignalSpy saved(&ProgramEvents(), &TProgramEvents::daySaved);
    program.Main().I1->trigger(); // today
    InputForm->RadioButtons->button(1)->setChecked(true);
    InputForm->Edit1->setText(QString(31, u'x'));
    InputForm->Button1->click();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved[0][0].toDate(), QDate(2024, 11, 20));
    EXPECT_EQ(saved[0][1].toInt(), 1);
    EXPECT_EQ(saved[0][2].toString(), QString(30, u'x'));
    EXPECT_EQ(MCalForm->StrColGrid1->Cells(2, 20), QStringLiteral("全"));

    // Calendars opened and closed since: the one open now shows the next
    // save, and the ones closed are gone without a trace.
    program.Main().ToolButton3->click();
    program.Main().ToolButton1->click();
    QTest::qWait(0); // the closed windows are deleted
    program.Main().I1->trigger();
    InputForm->RadioButtons->button(2)->setChecked(true);
    InputForm->Button1->click();
    EXPECT_EQ(YcalForm->StrColGrid1->Cells(20, YearCalendarRow(11)), QStringLiteral("AM"));
    EXPECT_EQ(saved.size(), 2);
}

} // namespace
