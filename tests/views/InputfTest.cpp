#include "views/Inputf.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>

#include <gtest/gtest.h>

#include "ViewsTestSupport.h"
#include "core/LeaveStore.h"
#include "views/EntryControls.h"
#include "views/Ycalf.h"

class InputfTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    FixedToday today { QDate(2024, 11, 20) };

    static bool RadioGroupHasFocus()
    {
        const QWidget* focus = InputForm->focusWidget();
        return focus && InputForm->RadioGroup1->isAncestorOf(focus);
    }

    // ファイル → 入力: the dialog for today, in front and active.
    static void OpenForToday(ProgramWindows& program)
    {
        program.Main().I1->trigger();
        // A tool window counts as active with its owner; the keys go to it
        // only once it is the active window itself.
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeWindow() == InputForm; }));
    }
    // A key as a person's key arrives: at the control that has the focus.
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    static LeaveStore::Entry Stored(const QDate& date)
    {
        return LeaveStore::FindEntry(date.year(), date.month(), date.day());
    }
};

TEST_F(InputfTest, ShowsTheElevenKindsInCodeOrderAndTheDatesRecord)
{
    ProgramWindows program(data);
    LeaveStore::SaveEntry(2024, 11, 20, 0, QStringLiteral("消した"));
    program.Main().I1->trigger(); // today
    ASSERT_TRUE(InputForm->isVisible());
    EXPECT_EQ(InputForm->windowTitle(), QStringLiteral("入力画面"));
    EXPECT_EQ(InputForm->size(), QSize(280, 262));
    EXPECT_EQ(InputForm->DateTimePicker1->date(), QDate(2024, 11, 20));
    EXPECT_EQ(InputForm->ItemIndex(), 0);
    EXPECT_EQ(InputForm->Edit1->text(), QStringLiteral("消した")); // a cleared day keeps its memo
    const QStringList labels = { QStringLiteral("通常"), QStringLiteral("１日休暇"), QStringLiteral("AM休暇"),
        QStringLiteral("PM休暇"), QStringLiteral("定休日"), QStringLiteral("夏休み"), QStringLiteral("冬休み"),
        QStringLiteral("ＧＷ"), QStringLiteral("特別休暇"), QStringLiteral("代休"), QStringLiteral("休日出勤") };
    for (int kind = 0; kind < 11; ++kind)
        EXPECT_EQ(InputForm->RadioButtons->button(kind)->text(), labels[kind]);
    // three columns, filled top to bottom
    EXPECT_EQ(InputForm->RadioButtons->button(4)->y(), InputForm->RadioButtons->button(0)->y());
    EXPECT_GT(InputForm->RadioButtons->button(4)->x(), InputForm->RadioButtons->button(3)->x());
    EXPECT_GT(InputForm->RadioButtons->button(8)->x(), InputForm->RadioButtons->button(4)->x());
}

TEST_F(InputfTest, TheDropDownCalendarIsJapaneseWhateverTheSystemLocale)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); // as under LANG=en_GB.UTF-8
    ProgramWindows program(data);
    program.Main().I1->trigger();
    QCalendarWidget* calendar = InputForm->DateTimePicker1->calendarWidget();
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->firstDayOfWeek(), Qt::Sunday);
    calendar->setSelectedDate(QDate(2024, 11, 20));
    calendar->showSelectedDate();
    const auto* month = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    ASSERT_NE(month, nullptr);
    EXPECT_EQ(month->text(), QStringLiteral("11月"));
    const auto* days = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    ASSERT_NE(days, nullptr);
    // the heading row: 日 月 火 水 木 金 土
    EXPECT_EQ(days->model()->data(days->model()->index(0, 0)).toString(), QStringLiteral("日"));
    EXPECT_EQ(days->model()->data(days->model()->index(0, 6)).toString(), QStringLiteral("土"));
}

TEST_F(InputfTest, CancelLeavesTheDataFileAsItWas)
{
    LeaveStore::SaveEntry(2024, 11, 1, 3, QStringLiteral("memo"));
    const QByteArray before = data.Bytes(QStringLiteral("Holiday.d00"));
    ProgramWindows program(data);
    InputForm->OpenEntryDialog(2024, 11, 1);
    EXPECT_EQ(InputForm->ItemIndex(), 3);
    InputForm->SetItemIndex(5);
    InputForm->Edit1->setText(QStringLiteral("changed"));
    InputForm->Button2->click();
    EXPECT_FALSE(InputForm->isVisible());
    EXPECT_EQ(data.Bytes(QStringLiteral("Holiday.d00")), before);
}

TEST_F(InputfTest, AFailedSaveKeepsTheFormOpenWithTheInput)
{
    ProgramWindows program(data);
    InputForm->OpenEntryDialog(2024, 11, 1);
    InputForm->SetItemIndex(1);
    InputForm->Edit1->setText(QStringLiteral("keep me"));
    ASSERT_TRUE(QDir(data.Path()).mkdir(QStringLiteral("Holiday.d00"))); // cannot be written
    InputForm->Button1->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
        QStringLiteral("ファイルに書き込めませんでした。\nファイル: %1\n理由: 同じ名前のフォルダーがあります")
            .arg(data.File(QStringLiteral("Holiday.d00"))));
    EXPECT_TRUE(InputForm->isVisible());
    EXPECT_EQ(InputForm->Edit1->text(), QStringLiteral("keep me"));
    EXPECT_EQ(YcalForm->StrColGrid1->Cells(1, 8), QString());
}

TEST_F(InputfTest, EnterTypedInAControlStaysThereAndOnAButtonPressesIt)
{
    ProgramWindows program(data);
    InputForm->OpenEntryDialog(2024, 11, 5);
    // The form does not look at its controls' keys.
    for (QWidget* control : std::initializer_list<QWidget*> { InputForm->Edit1, InputForm->DateTimePicker1 }) {
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Return);
        EXPECT_EQ(InputForm->focusWidget(), control);
    }
    EXPECT_TRUE(InputForm->isVisible());
    // Only a key the form itself receives moves the focus on.
    InputForm->setFocus();
    QTest::keyClick(InputForm, Qt::Key_Return);
    EXPECT_TRUE(RadioGroupHasFocus());
    InputForm->Button2->setFocus();
    QTest::keyClick(InputForm->Button2, Qt::Key_Return);
    EXPECT_FALSE(InputForm->isVisible());
}

TEST_F(InputfTest, OkAsksBeforeItReplacesTheLeaveOfAnotherDay)
{
    LeaveStore::SaveEntry(2024, 12, 8, 1, QStringLiteral("私用で役所"));
    LeaveStore::SaveEntry(2024, 12, 9, 3, QString());
    const QByteArray before = data.Bytes(QStringLiteral("Holiday.d00"));
    ProgramWindows program(data);
    OpenForToday(program); // 20 November: 通常, no memo
    InputForm->DateTimePicker1->setDate(QDate(2024, 12, 8)); // picked in the drop-down calendar
    QTest::mouseClick(InputForm->Button1, Qt::LeftButton); // answered いいえ
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
        QStringLiteral("2024/12/08 には「１日休暇」（私用で役所）が登録されています。上書きしますか？"));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("確認"));
    EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::ReplaceOrKeep);
    EXPECT_EQ(data.Bytes(QStringLiteral("Holiday.d00")), before);
    EXPECT_TRUE(InputForm->isVisible());
    EXPECT_EQ(InputForm->DateTimePicker1->date(), QDate(2024, 12, 8));

    // A day without a memo has no empty brackets; はい replaces its leave.
    InputForm->DateTimePicker1->setDate(QDate(2024, 12, 9));
    dialogs.answers.push_back(MsgAnswer::Yes);
    QTest::mouseClick(InputForm->Button1, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(
        dialogs.messages[1].text, QStringLiteral("2024/12/09 には「PM休暇」が登録されています。上書きしますか？"));
    EXPECT_FALSE(InputForm->isVisible());
    EXPECT_EQ(Stored(QDate(2024, 12, 9)).Kind, 0);

    // The same kind and memo lose nothing (a long memo compares as it is kept).
    const QString longMemo = QStringLiteral("通院") + QString(40, u'x');
    LeaveStore::SaveEntry(2024, 12, 10, 2, longMemo);
    OpenForToday(program);
    InputForm->DateTimePicker1->setDate(QDate(2024, 12, 10));
    InputForm->SetItemIndex(2);
    InputForm->Edit1->setText(longMemo);
    QTest::mouseClick(InputForm->Button1, Qt::LeftButton);
    EXPECT_FALSE(InputForm->isVisible());
    EXPECT_EQ(dialogs.messages.size(), 2u);
}

TEST_F(InputfTest, TheDialogDoesNotComeUpForADayThatDoesNotExist)
{
    LeaveStore::SaveEntry(2024, 11, 1, 3, QStringLiteral("memo"));
    ProgramWindows program(data);
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    DoubleClickCell(grid, 1, 8); // 1 November 2024
    ASSERT_TRUE(InputForm->isVisible());
    QTest::mouseClick(InputForm->Button2, Qt::LeftButton);
    DoubleClickCell(grid, 30, 11); // "／": 30 February 2025
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Invalid argument to date encode"));
    EXPECT_FALSE(InputForm->isVisible());
}

TEST_F(InputfTest, TabLandsOnTheTickedKindAndTheArrowsMoveTheTick)
{
    LeaveStore::SaveEntry(2024, 11, 20, 2, QString()); // AM休暇
    ProgramWindows program(data);
    OpenForToday(program);
    ASSERT_EQ(QApplication::focusWidget(), InputForm->DateTimePicker1);
    Press(Qt::Key_Backtab); // CANCEL
    Press(Qt::Key_Backtab); // OK
    Press(Qt::Key_Backtab); // the kinds
    EXPECT_EQ(QApplication::focusWidget(), InputForm->RadioButtons->button(2));
    Press(Qt::Key_Down); // PM休暇, the foot of the first column
    Press(Qt::Key_Down); // on into the next column: 定休日
    EXPECT_EQ(QApplication::focusWidget(), InputForm->RadioButtons->button(4));
    Press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), InputForm->Button1);
    Press(Qt::Key_Return);
    EXPECT_FALSE(InputForm->isVisible());
    EXPECT_EQ(Stored(QDate(2024, 11, 20)).Kind, 4);
}

TEST_F(InputfTest, EveryOpeningTakesATypedDateWholeFromItsYear)
{
    ProgramWindows program(data);
    for (const QDate expected : { QDate(2025, 1, 2), QDate(2023, 12, 31) }) {
        OpenForToday(program);
        QTest::qWait(0); // the field's own handling of the focus is done
        QTest::keyClicks(QApplication::focusWidget(), expected.toString(QStringLiteral("yyyyMMdd")));
        EXPECT_EQ(InputForm->DateTimePicker1->date(), expected);
        Press(Qt::Key_Escape); // the cursor stays in the day, where typing ended
    }
}

TEST_F(InputfTest, EscAndAltCCancelAndAltOSavesThoughTheMainMenuHasAnAltC)
{
    ProgramWindows program(data); // its menu has 集計(&C)
    for (const QKeyCombination key :
        { QKeyCombination(Qt::Key_Escape), Qt::AltModifier | Qt::Key_C, Qt::AltModifier | Qt::Key_O }) {
        const std::string name = QKeySequence(key).toString().toStdString();
        OpenForToday(program);
        EXPECT_EQ(QApplication::focusWidget(), InputForm->DateTimePicker1) << name; // not the memo of last time
        QTest::mouseClick(InputForm->Edit1, Qt::LeftButton);
        Press(Qt::Key_A);
        Press(key.key(), key.keyboardModifiers());
        EXPECT_FALSE(InputForm->isVisible()) << name;
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << name;
        EXPECT_EQ(LeaveStore::Exists(), key.key() == Qt::Key_O) << name;
    }
    EXPECT_EQ(Stored(QDate(2024, 11, 20)).Memo, QStringLiteral("a")); // no "o" typed into it
}

TEST_F(InputfTest, BesideTheMemoStandsHowMuchOfItIsKeptInRedWhenTooLong)
{
    ProgramWindows program(data);
    OpenForToday(program);
    QLabel* length = InputForm->findChild<QLabel*>(QStringLiteral("MemoLength"));
    ASSERT_NE(length, nullptr);
    EXPECT_EQ(length->accessibleName(), QStringLiteral("メモの長さ"));
    const auto inRed = [length] {
        const QImage image = length->grab().toImage();
        for (qsizetype i = 0; i < qsizetype(image.width()) * image.height(); ++i)
            if (const QColor c = image.pixelColor(i % image.width(), i / image.width());
                c.red() > 200 && c.green() < 80)
                return true;
        return false;
    };
    QTest::mouseClick(InputForm->Edit1, Qt::LeftButton);
    QInputMethodEvent typed; // full-width text arrives from the input method
    typed.setCommitString(QStringLiteral("私用で役所に書類を出しに行く日"));
    QApplication::sendEvent(QApplication::focusWidget(), &typed);
    EXPECT_EQ(length->text(), QStringLiteral("30/30"));
    EXPECT_FALSE(inRed());
    Press(Qt::Key_A);
    EXPECT_EQ(length->text(), QStringLiteral("31/30"));
    EXPECT_TRUE(inRed());
    Press(Qt::Key_Backspace);
    EXPECT_FALSE(inRed());
}

TEST_F(InputfTest, TabLeavesTheDateFromAnyOfItsPartsWhichTheArrowsAndASlashMoveBetween)
{
    ProgramWindows program(data);
    // Tab, Tab, Down, meant as "to the kinds, tick the next": not the day.
    OpenForToday(program);
    QTest::qWait(0);
    Press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), InputForm->Edit1);
    Press(Qt::Key_Tab);
    Press(Qt::Key_Down);
    EXPECT_EQ(InputForm->ItemIndex(), 1);
    EXPECT_EQ(InputForm->DateTimePicker1->date(), QDate(2024, 11, 20));
    QTest::mouseClick(InputForm->Button1, Qt::LeftButton);
    EXPECT_EQ(Stored(QDate(2024, 11, 20)).Kind, 1);

    OpenForToday(program);
    QTest::qWait(0);
    QDateEdit* field = InputForm->DateTimePicker1;
    Press(Qt::Key_Right);
    EXPECT_EQ(field->currentSection(), QDateTimeEdit::MonthSection);
    QTest::keyClick(QApplication::focusWidget(), '/');
    EXPECT_EQ(field->currentSection(), QDateTimeEdit::DaySection);
    Press(Qt::Key_Right); // the day is the last part
    EXPECT_EQ(QApplication::focusWidget(), field);
    Press(Qt::Key_Left);
    EXPECT_EQ(field->currentSection(), QDateTimeEdit::MonthSection);
    Press(Qt::Key_Right);
    Press(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), InputForm->Button2);
    EXPECT_EQ(field->date(), QDate(2024, 11, 20));
    Press(Qt::Key_Escape);
}

TEST_F(InputfTest, ADateThatDoesNotExistStaysAsTypedAndOkRefusesIt)
{
    ProgramWindows program(data);
    for (const QString date : { QStringLiteral("2027/02/29"), QStringLiteral("2100/02/29"),
             QStringLiteral("2026/04/31"), QStringLiteral("2024/02/30") }) {
        OpenForToday(program);
        QTest::qWait(0);
        QTest::keyClicks(QApplication::focusWidget(), QString(date).remove(u'/'));
        InputForm->SetItemIndex(1);
        QTest::mouseClick(InputForm->Button1, Qt::LeftButton); // the field loses the focus first
        ASSERT_EQ(dialogs.messages.size(), 1u) << date.toStdString();
        EXPECT_EQ(dialogs.messages.back().text, date + QStringLiteral(" という日付はありません。"));
        EXPECT_EQ(dialogs.messages.back().caption, QStringLiteral("警告"));
        dialogs.messages.clear();
        EXPECT_TRUE(InputForm->isVisible());
        EXPECT_EQ(InputForm->DateTimePicker1->ImpossibleDate(), date);
        EXPECT_FALSE(LeaveStore::Exists());
        Press(Qt::Key_Escape);
    }
}

TEST_F(InputfTest, AMonthChangedUnderTheDayLeavesTheDayAsItIs)
{
    ProgramWindows program(data);
    InputForm->OpenEntryDialog(2025, 1, 31);
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeWindow() == InputForm; }));
    QTest::qWait(0);
    TDateField* field = InputForm->DateTimePicker1;
    Press(Qt::Key_Right);
    Press(Qt::Key_Up);
    EXPECT_EQ(field->ImpossibleDate(), QStringLiteral("2025/02/31"));
    Press(Qt::Key_Up); // on from what is shown
    EXPECT_EQ(field->date(), QDate(2025, 3, 31));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("02"));
    EXPECT_EQ(field->ImpossibleDate(), QStringLiteral("2025/02/31"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("/14"));
    EXPECT_EQ(field->ImpossibleDate(), QString());
    InputForm->SetItemIndex(2);
    QTest::mouseClick(InputForm->Button1, Qt::LeftButton);
    EXPECT_EQ(Stored(QDate(2025, 2, 14)).Kind, 2);
    EXPECT_FALSE(InputForm->isVisible());
    EXPECT_TRUE(dialogs.messages.empty());
}
