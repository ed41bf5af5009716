#include "app/Eopf.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <gtest/gtest.h>

#include "core/LeaveStore.h"
#include "core/Settings.h"
#include "views/Hcalf.h"
#include "views/Mcalf.h"
#include "views/ViewsTestSupport.h"
#include "views/Ycalf.h"

namespace {

const QString Ini = QStringLiteral("orbelund.ini");

// The file the test windows start with (see ProgramWindows).
const QByteArray StartIni = "[Size]\r\nWidth=1000\r\nHeighth=700\r\n[Holiday]\r\n0=1\r\n6=1\r\n";

void Click(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
}

std::vector<bool> Ticks()
{
    std::vector<bool> ticks;
    for (int n = 1; n <= 10; ++n)
        ticks.push_back(OpForm->findChild<QCheckBox*>(QStringLiteral("CheckBox%1").arg(n))->isChecked());
    return ticks;
}

} // namespace

class OpFormTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    FixedToday today { QDate(2024, 11, 20) };

    QByteArray File() const { return data.Bytes(Ini); }
    // The [Written] section with the times the file holds for these keys.
    static QByteArray Written(std::initializer_list<QString> keys)
    {
        QByteArray section = "[Written]\r\n";
        for (const QString& key : keys)
            section += key.toLatin1() + '='
                + Settings::SharedFile().ReadString(QStringLiteral("Written"), key, QString()).toLatin1() + "\r\n";
        return section;
    }
    static void Open(TMainform& main)
    {
        main.O1->trigger();
        ASSERT_TRUE(OpForm->isVisible());
        // The keys go where the user types: into the dialog.
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeWindow() == OpForm; }));
    }
};

TEST_F(OpFormTest, FirstRunShowsTheYearCalendarAndSundayAndSaturdayOff)
{
    // No settings file: the main window writes the first-run set.
    std::unique_ptr<TMainform> main(CreateProgramWindows());
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    ASSERT_NE(OpForm, nullptr);
    EXPECT_FALSE(OpForm->isVisible());
    main->ToolButton9->click();
    ASSERT_TRUE(OpForm->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(OpForm));

    EXPECT_EQ(OpForm->windowTitle(), QStringLiteral("オプション設定"));
    EXPECT_EQ(OpForm->size(), QSize(308, 276)); // the holiday-law row adds 24
    EXPECT_EQ(OpForm->minimumSize(), OpForm->maximumSize());
    EXPECT_TRUE(OpForm->windowFlags() & Qt::WindowStaysOnTopHint);
    // a title and a close box only: without the customised hints the window
    // manager adds minimise and maximise boxes
    EXPECT_TRUE(OpForm->windowFlags() & Qt::CustomizeWindowHint);
    EXPECT_TRUE(OpForm->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(OpForm->windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_LE((OpForm->geometry().center() - main->frameGeometry().center()).manhattanLength(), 2);

    EXPECT_EQ(OpForm->ItemIndex(), 0);
    EXPECT_EQ(Ticks(), (std::vector<bool> { true, false, false, false, false, false, true, false, false, false }));
}

TEST_F(OpFormTest, EveryControlHasItsCaptionAndStaysInsideTheDialog)
{
    ProgramWindows program(data);
    Open(program.Main());
    EXPECT_EQ(OpForm->RadioGroup1->title(), QStringLiteral("起動時に表示するカレンダー"));
    const QStringList items { QStringLiteral("年"), QStringLiteral("月"), QStringLiteral("休日") };
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(OpForm->RadioButtons->button(i)->text(), items[i]);
    // three columns
    EXPECT_EQ(OpForm->RadioButtons->button(0)->y(), OpForm->RadioButtons->button(2)->y());
    EXPECT_LT(OpForm->RadioButtons->button(0)->x(), OpForm->RadioButtons->button(1)->x());
    EXPECT_EQ(OpForm->GroupBox1->title(), QStringLiteral("休日設定"));
    const QStringList days { QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
        QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土") };
    int left = -1;
    for (int n = 1; n <= 7; ++n) {
        auto* box = OpForm->findChild<QCheckBox*>(QStringLiteral("CheckBox%1").arg(n));
        EXPECT_EQ(box->text(), days[n - 1]);
        EXPECT_EQ(box->parentWidget(), OpForm->GroupBox1);
        EXPECT_GT(box->x(), left); // side by side, Sunday first
        left = box->x();
        EXPECT_LE(box->geometry().right(), OpForm->GroupBox1->width());
    }
    EXPECT_EQ(OpForm->CheckBox8->text(), QStringLiteral("祝日も休日とする。"));
    EXPECT_EQ(OpForm->CheckBox9->text(), QStringLiteral("ツールバーをフラットタイプにする。"));
    EXPECT_EQ(OpForm->CheckBox10->text(), QStringLiteral("終了時にデータファイルの最適化をする。"));
    EXPECT_EQ(OpForm->CheckBox11->text(), QStringLiteral("祝日は現行の祝日法で求める。"));
    EXPECT_EQ(OpForm->Button1->text(), QStringLiteral("&OK"));
    EXPECT_EQ(OpForm->Button2->text(), QStringLiteral("&CANCEL"));
    // Top to bottom, nothing overlapping, the captions not cut off.
    const QList<QWidget*> column { OpForm->RadioGroup1, OpForm->GroupBox1, OpForm->CheckBox8, OpForm->CheckBox9,
        OpForm->CheckBox10, OpForm->CheckBox11, OpForm->Button1 };
    for (qsizetype i = 1; i < column.size(); ++i)
        EXPECT_GT(column[i]->y(), column[i - 1]->geometry().bottom()) << column[i]->objectName().toStdString();
    for (QCheckBox* box : { OpForm->CheckBox8, OpForm->CheckBox9, OpForm->CheckBox10, OpForm->CheckBox11 })
        EXPECT_LE(box->sizeHint().width(), box->width()) << box->objectName().toStdString();
    EXPECT_TRUE(OpForm->rect().contains(OpForm->Button2->geometry()));
}

TEST_F(OpFormTest, TickingHolidaysWritesOnlyThatKeyAndRefillsTheFiscalYearCalendar)
{
    ProgramWindows program(data);
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    // 29 April 2024 (Showa Day) and 4 November 2024 (substitute holiday), both Mondays
    EXPECT_EQ(grid.Cells(29, 1), QString());
    EXPECT_EQ(grid.Cells(4, 8), QString());
    Open(program.Main());
    Click(OpForm->CheckBox8);
    Click(OpForm->Button1);

    EXPECT_FALSE(OpForm->isVisible());
    EXPECT_EQ(File(), StartIni + "7=1\r\n" + Written({ QStringLiteral("Holiday.7") }));
    EXPECT_EQ(grid.Cells(29, 1), QStringLiteral("祝"));
    EXPECT_EQ(CellColour(grid, 29, 1), clRed);
    EXPECT_EQ(grid.Cells(4, 8), QStringLiteral("振"));
    EXPECT_EQ(CellColour(grid, 4, 8), clRed);
    EXPECT_EQ(YcalForm->Button2->text(), QStringLiteral("2024年度"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(OpFormTest, ChangedDaysOffRefillTheMonthCalendarAtItsShownMonth)
{
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");
    MCalForm->Fill(2024, 5);
    TStrColGrid& grid = *MCalForm->StrColGrid1;
    EXPECT_EQ(grid.Cells(2, 6), QString()); // 6 May 2024, a substitute holiday
    EXPECT_EQ(CellColour(grid, 1, 3), clBlack); // 3 May 2024, Constitution Day, a Friday
    Open(program.Main());
    Click(OpForm->CheckBox8);
    Click(OpForm->CheckBox3); // Tuesdays off
    Click(OpForm->Button1);
    EXPECT_EQ(MCalForm->Button2->text(), QStringLiteral("2024年5月"));
    EXPECT_EQ(grid.Cells(2, 6), QStringLiteral("振休"));
    EXPECT_EQ(grid.Cells(2, 3), QStringLiteral("憲法記念日"));
    EXPECT_EQ(CellColour(grid, 1, 3), clRed);
    EXPECT_EQ(File(),
        StartIni + "2=1\r\n7=1\r\n[Start]\r\nShow=1\r\n"
            + Written({ QStringLiteral("Holiday.2"), QStringLiteral("Holiday.7") }));
}

TEST_F(OpFormTest, TheHolidayCalendarIsNotRefilled)
{
    ProgramWindows program(data, "[Start]\r\nShow=2\r\n");
    ASSERT_TRUE(program.Main().H2->isChecked());
    const QString before = HCalForm->StrColGrid1->Cells(0, 1);
    // An entry saved behind the calendar's back shows only after a refill.
    LeaveStore::SaveEntry(2024, 11, 1, 1, QString());
    Open(program.Main());
    Click(OpForm->CheckBox8);
    Click(OpForm->Button1);
    EXPECT_FALSE(OpForm->isVisible());
    EXPECT_EQ(HCalForm->StrColGrid1->Cells(0, 1), before);
}

TEST_F(OpFormTest, TheFlatBoxSetsTheToolBarAtOnceWithoutRefilling)
{
    ProgramWindows program(data);
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    grid.SetCells(1, 1, QStringLiteral("X")); // stays unless the calendar is refilled
    EXPECT_FALSE(program.Main().ToolButton1->autoRaise());
    Open(program.Main());
    Click(OpForm->CheckBox9);
    Click(OpForm->Button1);
    EXPECT_EQ(File(), StartIni + "[View]\r\nFlat=1\r\n");
    EXPECT_TRUE(program.Main().ToolBarFlat());
    for (QToolButton* button : { program.Main().ToolButton1, program.Main().ToolButton9 })
        EXPECT_TRUE(button->autoRaise());
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("X"));
}

TEST_F(OpFormTest, OkWithoutChangesKeepsEveryStoredValue)
{
    ProgramWindows program(data, "7=1\r\n[Start]\r\nShow=1\r\n[View]\r\nFlat=1\r\n[End]\r\nSaiteki=1\r\n");
    const QByteArray before = File();
    Open(program.Main());
    EXPECT_EQ(OpForm->ItemIndex(), 1);
    EXPECT_EQ(Ticks(), (std::vector<bool> { true, false, false, false, false, false, true, true, true, true }));
    Click(OpForm->Button1);
    EXPECT_EQ(File(), before);
    EXPECT_TRUE(Settings::CompactAtExit());
}

// Options another machine's sync client brought in while the dialog was
// open stay: OK writes only what the user changed in it.
TEST_F(OpFormTest, OkKeepsWhatAnotherMachineChangedWhileTheDialogWasOpen)
{
    ProgramWindows program(data);
    Open(program.Main());
    Settings::WriteWeeklyDayOff(2, true);
    Settings::WriteCompactAtExit(true);
    Click(OpForm->CheckBox8);
    Click(OpForm->Button1);
    EXPECT_TRUE(Settings::WeeklyDayOff(2));
    EXPECT_TRUE(Settings::CompactAtExit());
    EXPECT_TRUE(Settings::HolidaysAreDaysOff());
}

TEST_F(OpFormTest, CancelAndTheCloseBoxWriteNothingAndTheNextShowingReloads)
{
    ProgramWindows program(data, "[End]\r\nSaiteki=1\r\n");
    const QByteArray before = File();
    for (QWidget* closer : std::initializer_list<QWidget*> { OpForm->Button2, OpForm }) {
        Open(program.Main());
        OpForm->RadioButtons->button(2)->click();
        for (QCheckBox* box :
            { OpForm->CheckBox1, OpForm->CheckBox4, OpForm->CheckBox8, OpForm->CheckBox9, OpForm->CheckBox10 })
            Click(box);
        // Opening it again while it is open keeps the user's changes.
        program.Main().O1->trigger();
        EXPECT_TRUE(OpForm->CheckBox4->isChecked());
        if (closer == OpForm)
            OpForm->close();
        else
            Click(OpForm->Button2);
        EXPECT_FALSE(OpForm->isVisible());
        EXPECT_EQ(File(), before);
        EXPECT_FALSE(program.Main().ToolBarFlat());

        Open(program.Main());
        EXPECT_EQ(OpForm->ItemIndex(), 0);
        EXPECT_EQ(Ticks(), (std::vector<bool> { true, false, false, false, false, false, true, false, false, true }));
        Click(OpForm->Button2);
    }
}

TEST_F(OpFormTest, AMissingSettingsFileShowsTheFirstItemAndNothingTicked)
{
    ProgramWindows program(data, "[Start]\r\nShow=2\r\n");
    ASSERT_TRUE(QFile::remove(data.File(Ini)));
    Open(program.Main());
    EXPECT_EQ(OpForm->ItemIndex(), 0);
    EXPECT_EQ(Ticks(), std::vector<bool>(10, false));
}

TEST_F(OpFormTest, ARefusedWriteKeepsTheDialogOpenAndSkipsTheRest)
{
    ProgramWindows program(data);
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    Open(program.Main());
    Click(OpForm->CheckBox8);
    Click(OpForm->CheckBox9);
    // The file is replaced by something that cannot be written to.
    ASSERT_TRUE(QFile::remove(data.File(Ini)));
    ASSERT_TRUE(QDir(data.Path()).mkdir(Ini));
    Click(OpForm->Button1);

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, data.File(Ini) + QStringLiteral(" に書き込めません"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_TRUE(OpForm->isVisible());
    EXPECT_TRUE(OpForm->CheckBox8->isChecked());
    EXPECT_FALSE(program.Main().ToolBarFlat());
    EXPECT_EQ(grid.Cells(29, 1), QString()); // not refilled
    ASSERT_TRUE(QDir(data.Path()).rmdir(Ini));
}

// The stored start calendar and the item the dialog shows for it.
struct ShowCase {
    const char* name;
    QByteArray stored; // the [Start] section's lines
    int shown; // -1: no item chosen
};

void PrintTo(const ShowCase& c, std::ostream* os) { *os << c.name; }

class OpFormShowTest : public OpFormTest, public ::testing::WithParamInterface<ShowCase> { };

TEST_P(OpFormShowTest, TheStoredStartCalendarIsClampedToTheItems)
{
    ProgramWindows program(data, "[Start]\r\n" + GetParam().stored);
    Open(program.Main());
    EXPECT_EQ(OpForm->ItemIndex(), GetParam().shown);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(OpForm->RadioButtons->button(i)->isChecked(), i == GetParam().shown);
    // OK writes what the dialog shows.
    Click(OpForm->Button1);
    EXPECT_EQ(Settings::StartCalendar(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Show, OpFormShowTest,
    ::testing::Values(ShowCase { "Month", "Show=1\r\n", 1 }, ShowCase { "Holiday", "Show=2\r\n", 2 },
        ShowCase { "ThreeIsTheLast", "Show=3\r\n", 2 }, ShowCase { "HugeIsTheLast", "Show=2147483647\r\n", 2 },
        ShowCase { "MinusOneIsNone", "Show=-1\r\n", -1 }, ShowCase { "NegativeIsNone", "Show=-40\r\n", -1 },
        ShowCase { "TextIsTheYear", "Show=abc\r\n", 0 }, ShowCase { "MissingIsTheYear", "", 0 }),
    [](const ::testing::TestParamInfo<ShowCase>& info) { return std::string(info.param.name); });

TEST_F(OpFormTest, KeyboardAloneTabsTicksAndConfirms)
{
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");
    Open(program.Main());
    // The dialog opens on the chosen start calendar.
    EXPECT_EQ(OpForm->focusWidget(), OpForm->RadioButtons->button(1));
    QTest::keyClick(OpForm->focusWidget(), Qt::Key_Right);
    EXPECT_EQ(OpForm->ItemIndex(), 2);

    const QList<QWidget*> order { OpForm->CheckBox1, OpForm->CheckBox2, OpForm->CheckBox3, OpForm->CheckBox4,
        OpForm->CheckBox5, OpForm->CheckBox6, OpForm->CheckBox7, OpForm->CheckBox8, OpForm->CheckBox9,
        OpForm->CheckBox10, OpForm->CheckBox11, OpForm->Button1, OpForm->Button2, OpForm->RadioButtons->button(2) };
    for (QWidget* next : order) {
        QTest::keyClick(OpForm->focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(OpForm->focusWidget(), next) << next->objectName().toStdString();
    }
    QTest::keyClick(OpForm->focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(OpForm->focusWidget(), OpForm->Button2);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(OpForm->focusWidget(), Qt::Key_Backtab);
    ASSERT_EQ(OpForm->focusWidget(), OpForm->CheckBox9);
    QTest::keyClick(OpForm->focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(OpForm->CheckBox9->isChecked());

    // Esc cancels.
    const QByteArray before = File();
    QTest::keyClick(OpForm->focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(OpForm->isVisible());
    EXPECT_EQ(File(), before);

    // Enter in a box presses OK.
    Open(program.Main());
    QTest::keyClick(OpForm->focusWidget(), Qt::Key_Tab);
    QTest::keyClick(OpForm->focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(OpForm->focusWidget(), OpForm->CheckBox2);
    QTest::keyClick(OpForm->focusWidget(), Qt::Key_Space);
    QTest::keyClick(OpForm->focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(OpForm->isVisible());
    EXPECT_TRUE(Settings::WeeklyDayOff(1));

    // Enter on CANCEL presses CANCEL.
    Open(program.Main());
    Click(OpForm->CheckBox5);
    OpForm->Button2->setFocus();
    const QByteArray saved = File();
    QTest::keyClick(OpForm->Button2, Qt::Key_Return);
    EXPECT_FALSE(OpForm->isVisible());
    EXPECT_EQ(File(), saved);
}

TEST_F(OpFormTest, TheHolidayLawBoxIsWrittenOnlyWhenChangedAndRefillsTheCalendar)
{
    ProgramWindows program(data, "7=1\r\n");
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    // Fiscal year 2024: 11 August is Mountain Day by the law, a Sunday, so 12
    // August is its substitute; the program's own table knows neither and has
    // 23 December as the Emperor's Birthday.
    EXPECT_EQ(grid.Cells(11, 5), QStringLiteral("日"));
    EXPECT_EQ(grid.Cells(12, 5), QString());
    EXPECT_EQ(grid.Cells(23, 9), QStringLiteral("祝"));
    Open(program.Main());
    EXPECT_FALSE(OpForm->CheckBox11->isChecked());

    // OK without touching it leaves the key out.
    Click(OpForm->Button1);
    EXPECT_FALSE(File().contains("CurrentLaw"));

    Open(program.Main());
    Click(OpForm->CheckBox11);
    Click(OpForm->Button1);
    EXPECT_TRUE(File().contains("[Holiday]\r\n0=1\r\n6=1\r\n7=1\r\nCurrentLaw=1\r\n"));
    EXPECT_EQ(grid.Cells(11, 5), QStringLiteral("祝"));
    EXPECT_EQ(grid.Cells(12, 5), QStringLiteral("振"));
    EXPECT_EQ(grid.Cells(23, 9), QString());
    EXPECT_EQ(grid.Cells(23, 11), QStringLiteral("祝")); // 23 February 2025

    // The next showing shows it ticked; unticking writes 0.
    Open(program.Main());
    EXPECT_TRUE(OpForm->CheckBox11->isChecked());
    Click(OpForm->CheckBox11);
    Click(OpForm->Button1);
    EXPECT_TRUE(File().contains("CurrentLaw=0\r\n"));
    EXPECT_EQ(grid.Cells(23, 9), QStringLiteral("祝"));
}
