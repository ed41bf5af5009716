// The period dialog and the undo history, driven as a person drives them:
// the menu by its keys, the dialog by keys sent to the focused control, and
// the data file compared record for record after each step.

#include "views/Rangef.h"

#include <sys/resource.h>

#include <csignal>

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>

#include <gtest/gtest.h>

#include "ViewsTestSupport.h"
#include "app/MainForm.h"
#include "core/CalendarFill.h"
#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "views/EntryControls.h"
#include "views/Inputf.h"
#include "views/Mcalf.h"
#include "views/Ycalf.h"
#include "widgets/StrCGrid.h"

namespace {

const QString DataFile = QStringLiteral("Holiday.d00");

// A key as a person's key arrives: at the control that has the focus.
void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// Text typed at the focus; Japanese arrives from the input method.
void Type(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            QInputMethodEvent typed;
            typed.setCommitString(text);
            QApplication::sendEvent(QApplication::focusWidget(), &typed);
            return;
        }
    }
    QTest::keyClicks(QApplication::focusWidget(), text);
}

// The files are limited to `bytes` for the life of the object, as on a disk
// that fills up; a write beyond fails with EFBIG rather than a signal.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_ {};
};

} // namespace

class RangefTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    FixedToday today { QDate(2026, 8, 3) };

    // ファイル → 期間入力 by the keys Alt+F and R, from the main window;
    // opened, closed by Esc and opened again, so that every test types into
    // a dialog that was open before.
    static void OpenByMenu(TMainform& main)
    {
        for (int opening = 0; opening < 2; ++opening) {
            main.activateWindow();
            ASSERT_TRUE(BecomesActive(&main));
            QTest::keyClick(
                QApplication::focusWidget() ? QApplication::focusWidget() : &main, Qt::Key_F, Qt::AltModifier);
            ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_R);
            ASSERT_TRUE(BecomesActive(RangeForm));
            if (opening == 0)
                Press(Qt::Key_Escape);
        }
    }
    // The period typed over both dates, the focus left on the end date.
    static void TypePeriod(const QString& first, const QString& last)
    {
        ASSERT_EQ(QApplication::focusWidget(), RangeForm->StartDate);
        Type(first);
        Press(Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), RangeForm->EndDate);
        Type(last);
    }
    // Tab from the end date to the kinds, and Down to the kind from 1日休暇.
    static void ChooseKind(int kind)
    {
        Press(Qt::Key_Tab);
        for (int k = RangeForm->RadioGroup1->Kind(); k < kind; ++k)
            Press(Qt::Key_Down);
        ASSERT_EQ(RangeForm->RadioGroup1->Kind(), kind);
    }
    // Ctrl+Z or Ctrl+Y in the main window.
    static void KeyInMain(TMainform& main, Qt::Key key)
    {
        main.activateWindow();
        ASSERT_TRUE(BecomesActive(&main));
        Press(key, Qt::ControlModifier);
    }
    // The period then starts at today.
    static void CloseTheCalendar() { YcalForm->parentWidget()->close(); }
    // The records without their write times and writers.
    QByteArray File() const { return WithoutStamps(data.Bytes(DataFile)); }
    static QString YearCell(int month, int day) { return YcalForm->StrColGrid1->Cells(day, YearCalendarRow(month)); }
};

TEST_F(RangefTest, AWeekendIsLeftOutUnlessTheBoxIsClearedAndTheDialogStartsAtTheSelectedDay)
{
    ProgramWindows program(data);
    ClickCell(*YcalForm->StrColGrid1, 12, YearCalendarRow(8));
    OpenByMenu(program.Main());
    EXPECT_EQ(RangeForm->windowTitle(), QStringLiteral("期間入力"));
    EXPECT_EQ(RangeForm->StartDate->date(), QDate(2026, 8, 12));
    EXPECT_EQ(RangeForm->EndDate->date(), QDate(2026, 8, 12));
    EXPECT_TRUE(RangeForm->SkipDaysOff->isChecked());

    // Wednesday 12 to Tuesday 18 August, typed with the slashes.
    TypePeriod(QStringLiteral("2026/08/12"), QStringLiteral("2026/08/18"));
    EXPECT_EQ(RangeForm->EndDate->date(), QDate(2026, 8, 18));
    EXPECT_EQ(RangeForm->Summary->text(), QStringLiteral("5日を登録します"));
    ChooseKind(int(LeaveKind::SummerLeave));
    Press(Qt::Key_Tab); // memo
    Type(QStringLiteral("帰省"));
    Press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), RangeForm->SkipDaysOff);
    Press(Qt::Key_Space);
    EXPECT_EQ(RangeForm->Summary->text(), QStringLiteral("7日を登録します"));
    Press(Qt::Key_Space);
    Press(Qt::Key_Return);

    EXPECT_FALSE(RangeForm->isVisible());
    QByteArray expected;
    for (int day : { 12, 13, 14, 17, 18 })
        expected += Records({ LeaveRecord::Make(2026, 8, day, 5, QStringLiteral("帰省")) });
    EXPECT_EQ(File(), expected);
    EXPECT_EQ(YearCell(8, 14), QStringLiteral("夏"));
    EXPECT_EQ(YearCell(8, 15), QStringLiteral("土"));
}

TEST_F(RangefTest, ANationalHolidayIsLeftOutWhenHolidaysAreDaysOff)
{
    ProgramWindows program(data, "7=1\r\n");
    CloseTheCalendar();
    OpenByMenu(program.Main());
    EXPECT_EQ(RangeForm->StartDate->date(), QDate(2026, 8, 3));
    // Friday 17 to Tuesday 21 July; Monday 20 is 海の日.
    TypePeriod(QStringLiteral("20260717"), QStringLiteral("20260721"));
    EXPECT_EQ(RangeForm->Summary->text(), QStringLiteral("2日を登録します"));
    Press(Qt::Key_Return);
    EXPECT_EQ(File(), Records({ LeaveRecord::Make(2026, 7, 17, 1, {}), LeaveRecord::Make(2026, 7, 21, 1, {}) }));
}

TEST_F(RangefTest, APeriodThatEndsBeforeItStartsOrIsTooLongIsRefused)
{
    ProgramWindows program(data);
    OpenByMenu(program.Main());
    TypePeriod(QStringLiteral("20260812"), QStringLiteral("20260811"));
    EXPECT_EQ(RangeForm->Summary->text(), QStringLiteral("終了日が開始日より前になっています。"));
    Press(Qt::Key_Return);
    Press(Qt::Key_Tab); // to the kinds and back: the end date's year is selected
    Press(Qt::Key_Tab, Qt::ShiftModifier);
    Type(QStringLiteral("20270813")); // 367 days
    Press(Qt::Key_Return);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("終了日が開始日より前になっています。"));
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("期間は366日以内にしてください。"));
    Press(Qt::Key_Tab, Qt::ShiftModifier); // back to the start date, its year selected
    Type(QStringLiteral("20270229"));
    Press(Qt::Key_Return);
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[2].text, QStringLiteral("2027/02/29 という日付はありません。"));
    EXPECT_TRUE(RangeForm->isVisible());
    Press(Qt::Key_Escape);
    EXPECT_FALSE(RangeForm->isVisible());
    EXPECT_FALSE(QFile::exists(data.File(DataFile)));
}

TEST_F(RangefTest, UndoAndRedoOfAPeriodWriteBackWhatEachDayHeld)
{
    const QByteArray before
        = Records({ LeaveRecord::Make(2026, 8, 13, 5, {}), LeaveRecord::Make(2026, 8, 14, 1, QStringLiteral("通院")) });
    data.Write(DataFile, before);
    ProgramWindows program(data);
    TMainform& main = program.Main();
    OpenByMenu(main);
    TypePeriod(QStringLiteral("20260812"), QStringLiteral("20260814"));
    ChooseKind(int(LeaveKind::SummerLeave));
    // 13 August holds 夏休み already: only 14 August changes.
    EXPECT_EQ(RangeForm->Summary->text(), QStringLiteral("3日を登録します（うち1日は登録済みの内容を上書きします）"));
    Press(Qt::Key_Return);
    const QByteArray saved = File();
    EXPECT_EQ(saved,
        Records({ LeaveRecord::Make(2026, 8, 13, 5, {}), LeaveRecord::Make(2026, 8, 14, 5, {}),
            LeaveRecord::Make(2026, 8, 12, 5, {}) }));
    EXPECT_EQ(main.Undo1->text(), QStringLiteral("元に戻す: 2026/08/12～08/14 夏休み(&U)"));
    EXPECT_FALSE(main.Redo1->isEnabled());

    KeyInMain(main, Qt::Key_Z);
    // The day that had no record is cleared; the others hold their old bytes.
    EXPECT_EQ(File(), before + Records({ LeaveRecord::Make(2026, 8, 12, 0, {}) }));
    EXPECT_EQ(YearCell(8, 12), QString());
    EXPECT_EQ(YearCell(8, 14), QStringLiteral("全"));
    EXPECT_FALSE(main.Undo1->isEnabled());
    EXPECT_EQ(main.Undo1->text(), QStringLiteral("元に戻す(&U)"));
    EXPECT_EQ(main.Redo1->text(), QStringLiteral("やり直し: 2026/08/12～08/14 夏休み(&R)"));

    KeyInMain(main, Qt::Key_Y);
    EXPECT_EQ(File(), saved);
    EXPECT_EQ(YearCell(8, 12), QStringLiteral("夏"));
    EXPECT_TRUE(main.Undo1->isEnabled());
    EXPECT_FALSE(main.Redo1->isEnabled());
}

TEST_F(RangefTest, SingleEntriesAreStepsAndANewSaveDropsWhatWasUndone)
{
    ProgramWindows program(data);
    TMainform& main = program.Main();
    auto enter = [](int day, int kind) {
        InputForm->OpenEntryDialog(2026, 8, day);
        ASSERT_TRUE(BecomesActive(InputForm));
        InputForm->SetItemIndex(kind);
        Press(Qt::Key_O, Qt::AltModifier);
        ASSERT_FALSE(InputForm->isVisible());
    };
    enter(5, 1);
    const QByteArray first = File();
    enter(5, 2); // the same day again
    enter(6, 3);
    EXPECT_EQ(main.Undo1->text(), QStringLiteral("元に戻す: 2026/08/06 PM休暇(&U)"));

    KeyInMain(main, Qt::Key_Z);
    KeyInMain(main, Qt::Key_Z);
    EXPECT_EQ(File(), first + Records({ LeaveRecord::Make(2026, 8, 6, 0, {}) }));
    EXPECT_EQ(YearCell(8, 5), QStringLiteral("全"));
    EXPECT_EQ(main.Redo1->text(), QStringLiteral("やり直し: 2026/08/05 AM休暇(&R)"));

    enter(7, 1);
    EXPECT_FALSE(main.Redo1->isEnabled());
    EXPECT_EQ(main.Undo1->text(), QStringLiteral("元に戻す: 2026/08/07 １日休暇(&U)"));
}

TEST_F(RangefTest, AFullDiskInTheMiddleOfAPeriodLeavesTheFileAsItWas)
{
    const QByteArray before = Records({ LeaveRecord::Make(2026, 8, 13, 1, QStringLiteral("旅行")) });
    data.Write(DataFile, before);
    ProgramWindows program(data);
    OpenByMenu(program.Main());
    TypePeriod(QStringLiteral("20260810"), QStringLiteral("20260814"));
    {
        // Room for the old record and two of the four new ones.
        FileSizeLimit limit(3 * LeaveRecord::Size);
        Press(Qt::Key_Return);
    }
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.endsWith(QStringLiteral("理由: ファイルが大きすぎます")))
        << dialogs.messages[0].text.toStdString();
    EXPECT_EQ(data.Bytes(DataFile), before);
    EXPECT_TRUE(RangeForm->isVisible());
    EXPECT_FALSE(program.Main().Undo1->isEnabled());
}

TEST_F(RangefTest, AFailedUndoKeepsTheStepAndSaysWhy)
{
    ProgramWindows program(data);
    TMainform& main = program.Main();
    CloseTheCalendar();
    OpenByMenu(main);
    Press(Qt::Key_Return); // today, 1日休暇
    const QByteArray saved = File();
    QDir folder(data.Path());
    ASSERT_TRUE(folder.rename(DataFile, QStringLiteral("kept")));
    ASSERT_TRUE(folder.mkdir(DataFile)); // cannot be written

    KeyInMain(main, Qt::Key_Z);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
        QStringLiteral("ファイルに書き込めませんでした。\nファイル: %1\n理由: 同じ名前のフォルダーがあります")
            .arg(data.File(DataFile)));
    EXPECT_EQ(main.Undo1->text(), QStringLiteral("元に戻す: 2026/08/03 １日休暇(&U)"));

    ASSERT_TRUE(folder.rmdir(DataFile));
    ASSERT_TRUE(folder.rename(QStringLiteral("kept"), DataFile));
    KeyInMain(main, Qt::Key_Z);
    EXPECT_EQ(File(), Records({ LeaveRecord::Make(2026, 8, 3, 0, {}) }));
    EXPECT_NE(File(), saved);
}

// The start field's year is selected at every opening, also after a period
// was typed into it; with no day chosen in the open calendar, both dates
// start at today.
TEST_F(RangefTest, EveryOpeningTakesATypedStartAndStartsTodayWithoutAChosenDay)
{
    ProgramWindows program(data);
    TMainform& main = program.Main();
    OpenByMenu(main);
    EXPECT_EQ(RangeForm->StartDate->date(), QDate(2026, 8, 3));
    EXPECT_EQ(RangeForm->EndDate->date(), QDate(2026, 8, 3));
    TypePeriod(QStringLiteral("20260810"), QStringLiteral("20260811"));
    Press(Qt::Key_Return);
    OpenByMenu(main);
    TypePeriod(QStringLiteral("20260817"), QStringLiteral("20260818"));
    Press(Qt::Key_Return);
    QByteArray expected;
    for (int day : { 10, 11, 17, 18 })
        expected += Records({ LeaveRecord::Make(2026, 8, day, 1, {}) });
    EXPECT_EQ(File(), expected);
}

// Another copy enters a day of the period while the dialog is open: OK asks
// with the new count, Enter keeps that copy's day, and the dialog then tells
// the new count, so that the next OK saves.
TEST_F(RangefTest, OkAsksWhenTheDaysItWouldReplaceChangedSinceTheSummary)
{
    data.Write(DataFile, Records({ LeaveRecord::Make(2026, 8, 13, 5, {}) }));
    ProgramWindows program(data);
    OpenByMenu(program.Main());
    TypePeriod(QStringLiteral("20260812"), QStringLiteral("20260814"));
    EXPECT_EQ(RangeForm->Summary->text(), QStringLiteral("3日を登録します（うち1日は登録済みの内容を上書きします）"));
    LeaveStore::SaveEntry(2026, 8, 14, 9, QStringLiteral("振替"));
    const QByteArray theirs = data.Bytes(DataFile);

    Press(Qt::Key_Return);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::ReplaceOrKeep);
    EXPECT_TRUE(
        dialogs.messages[0].text.contains(QStringLiteral("3日を登録します（うち2日は登録済みの内容を上書きします）")));
    EXPECT_EQ(data.Bytes(DataFile), theirs);
    EXPECT_TRUE(RangeForm->isVisible());
    EXPECT_EQ(RangeForm->Summary->text(), QStringLiteral("3日を登録します（うち2日は登録済みの内容を上書きします）"));

    Press(Qt::Key_Return);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(File(),
        Records({ LeaveRecord::Make(2026, 8, 13, 1, {}), LeaveRecord::Make(2026, 8, 14, 1, {}),
            LeaveRecord::Make(2026, 8, 12, 1, {}) }));
}

// A period from before the shown fiscal year, or month, into it shows every
// day it wrote there.
TEST_F(RangefTest, APeriodFromBeforeTheShownYearOrMonthShowsEveryDayItWrote)
{
    ProgramWindows program(data);
    TMainform& main = program.Main();
    OpenByMenu(main);
    TypePeriod(QStringLiteral("20260330"), QStringLiteral("20260402")); // Monday to Thursday
    Press(Qt::Key_Return);
    EXPECT_EQ(YearCell(4, 1), QStringLiteral("全"));
    EXPECT_EQ(YearCell(4, 2), QStringLiteral("全"));

    main.M1->trigger();
    ASSERT_TRUE(main.M1->isChecked());
    ASSERT_EQ(MCalForm->Button2->text(), QStringLiteral("2026年8月"));
    OpenByMenu(main);
    TypePeriod(QStringLiteral("20260730"), QStringLiteral("20260804"));
    Press(Qt::Key_Return);
    EXPECT_EQ(MCalForm->StrColGrid1->Cells(2, 3), QStringLiteral("全"));
    EXPECT_EQ(MCalForm->StrColGrid1->Cells(2, 4), QStringLiteral("全"));
}
