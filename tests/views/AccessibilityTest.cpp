// The calendars as a screen reader meets them: through QAccessible only.

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QDateEdit>
#include <QLineEdit>
#include <QToolButton>

#include <gtest/gtest.h>

#include "AccessibilityRecorder.h"
#include "ViewsTestSupport.h"
#include "core/LeaveStore.h"
#include "platform/GridAccessible.h"
#include "views/Hcalf.h"
#include "views/Mcalf.h"
#include "views/Ycalf.h"

using namespace Qt::StringLiterals;

namespace {

QString Name(QAccessibleInterface* iface) { return iface ? iface->text(QAccessible::Name) : u"(none)"_s; }
QString Description(QAccessibleInterface* iface) { return iface ? iface->text(QAccessible::Description) : u"(none)"_s; }
QString NameOf(QObject* object) { return Name(QAccessible::queryAccessibleInterface(object)); }

} // namespace

class AccessibilityTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    FixedToday today { QDate(2025, 3, 15) };
};

TEST_F(AccessibilityTest, TheFiscalYearCalendarReadsAsATableOfDays)
{
    LeaveStore::SaveEntry(2024, 5, 3, 1, QString());
    ProgramWindows program(data);
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(YcalForm->StrColGrid1);
    EXPECT_EQ(Name(table), u"年度カレンダー"_s);
    QAccessibleTableInterface* days = table->tableInterface();
    ASSERT_NE(days, nullptr);
    EXPECT_EQ(days->rowCount(), 12);
    EXPECT_EQ(days->columnCount(), 31);

    QAccessibleInterface* first = days->cellAt(0, 0);
    EXPECT_EQ(Description(first), u"2024年4月1日 月曜日"_s);
    QAccessibleInterface* saturday = days->cellAt(0, 5);
    EXPECT_EQ(Name(saturday), u"土"_s);
    EXPECT_EQ(Description(saturday), u"2024年4月6日 土曜日"_s);
    QAccessibleInterface* leave = days->cellAt(1, 2);
    EXPECT_EQ(Name(leave), u"全"_s);
    EXPECT_EQ(Description(leave), u"2024年5月3日 金曜日"_s);

    // The row headed 1 is January of the next calendar year.
    QAccessibleInterface* last = days->cellAt(9, 30);
    EXPECT_EQ(Description(last), u"2025年1月31日 金曜日"_s);
    ASSERT_EQ(last->tableCellInterface()->columnHeaderCells().size(), 1);
    EXPECT_EQ(Name(last->tableCellInterface()->columnHeaderCells()[0]), u"31"_s);
    ASSERT_EQ(last->tableCellInterface()->rowHeaderCells().size(), 1);
    EXPECT_EQ(Name(last->tableCellInterface()->rowHeaderCells()[0]), u"1"_s);

    // 30 February does not exist: the cell says "／" and describes no day.
    QAccessibleInterface* none = days->cellAt(10, 29);
    EXPECT_EQ(Name(none), u"／"_s);
    EXPECT_EQ(Description(none), QString());

    // Another fiscal year: the same cell describes its new day.
    YcalForm->SpeedButton3->click();
    EXPECT_EQ(Description(days->cellAt(0, 0)), u"2025年4月1日 火曜日"_s);
}

TEST_F(AccessibilityTest, AKeyMovesTheFocusToTheNextDay)
{
    ProgramWindows program(data);
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    ClickCell(grid, 1, 1);
    ASSERT_TRUE(grid.hasFocus());
    AccessibilityRecorder recorder;
    QTest::keyClick(&grid, Qt::Key_Down); // 1 May 2024
    QTest::keyClick(&grid, Qt::Key_Right);

    const auto focus = recorder.Of(QAccessible::Focus, &grid);
    ASSERT_EQ(focus.size(), 2u);
    EXPECT_EQ(focus[1].child, GridAccessible::ChildIndex(grid, 2, 2));
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&grid);
    QAccessibleInterface* current = table->focusChild();
    EXPECT_EQ(table->indexOfChild(current), focus[1].child);
    EXPECT_EQ(Description(current), u"2024年5月2日 木曜日"_s);
    EXPECT_EQ(current->tableCellInterface()->rowIndex(), 1);
    EXPECT_EQ(current->tableCellInterface()->columnIndex(), 1);
}

TEST_F(AccessibilityTest, ASavedDayAnnouncesItsNewCode)
{
    ProgramWindows program(data);
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    DoubleClickCell(grid, 31, 10); // 31 January 2025
    ASSERT_TRUE(InputForm->isVisible());
    AccessibilityRecorder recorder;
    InputForm->RadioButtons->button(1)->click(); // １日休暇
    InputForm->Button1->click();

    const auto changes = recorder.Of(QAccessible::NameChanged, &grid);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].child, GridAccessible::ChildIndex(grid, 31, 10));
    EXPECT_EQ(changes[0].name, u"全"_s);
    const auto values = recorder.Of(QAccessible::ValueChanged, &grid);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].value.toString(), u"全"_s);
    QAccessibleInterface* cell = QAccessible::queryAccessibleInterface(&grid)->child(changes[0].child);
    EXPECT_EQ(Description(cell), u"2025年1月31日 金曜日"_s);
}

TEST_F(AccessibilityTest, TheOtherCalendarsDescribeTheirDays)
{
    LeaveStore::SaveEntry(2024, 5, 3, 2, QString());
    ProgramWindows program(data);
    program.Main().ToolButton2->click();
    QTest::qWait(0);
    ASSERT_NE(MCalForm, nullptr);
    QAccessibleInterface* month = QAccessible::queryAccessibleInterface(MCalForm->StrColGrid1);
    EXPECT_EQ(Name(month), u"月カレンダー"_s);
    // 2025年3月: row 15 is the 15th, whichever column
    QAccessibleInterface* memo = month->tableInterface()->cellAt(14, 2);
    EXPECT_EQ(Description(memo), u"2025年3月15日 土曜日"_s);
    EXPECT_EQ(Name(memo->tableCellInterface()->columnHeaderCells().value(0)), u"備考"_s);
    // 2025年2月 has no 30th
    MCalForm->SpeedButton1->click();
    EXPECT_EQ(Description(month->tableInterface()->cellAt(29, 0)), QString());

    program.Main().ToolButton3->click();
    QTest::qWait(0);
    ASSERT_NE(HCalForm, nullptr);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(HCalForm->StrColGrid1);
    EXPECT_EQ(Name(list), u"休日カレンダー"_s);
    QAccessibleInterface* entry = list->tableInterface()->cellAt(0, 2); // the kind of the first entry
    EXPECT_EQ(Name(entry), u"AM"_s);
    EXPECT_EQ(Description(entry), u"2024年5月3日 金曜日"_s);
}

TEST_F(AccessibilityTest, GlyphButtonsSayWhatTheyDo)
{
    ProgramWindows program(data);
    EXPECT_EQ(NameOf(YcalForm->SpeedButton1), u"昨年度"_s);
    EXPECT_EQ(NameOf(YcalForm->SpeedButton2), u"今年度"_s);
    EXPECT_EQ(NameOf(YcalForm->SpeedButton3), u"翌年度"_s);
    EXPECT_EQ(Description(QAccessible::queryAccessibleInterface(YcalForm->SpeedButton1)),
        u"ボタンをクリックすると昨年度に変更できます。"_s);

    program.Main().ToolButton2->click();
    QTest::qWait(0);
    ASSERT_NE(MCalForm, nullptr);
    EXPECT_EQ(NameOf(MCalForm->SpeedButton4), u"昨年"_s);
    EXPECT_EQ(NameOf(MCalForm->SpeedButton1), u"前月"_s);
    EXPECT_EQ(NameOf(MCalForm->SpeedButton2), u"今月"_s);
    EXPECT_EQ(NameOf(MCalForm->SpeedButton3), u"翌月"_s);
    EXPECT_EQ(NameOf(MCalForm->SpeedButton5), u"翌年"_s);
    EXPECT_EQ(NameOf(program.Main().ToolButton1), u"年度カレンダー"_s);
    EXPECT_EQ(NameOf(program.Main().ToolButton9), u"オプション"_s);
}

TEST_F(AccessibilityTest, EveryWindowButtonAndBoxHasAName)
{
    ProgramWindows program(data);
    // Bring up the dialogs that have boxes of their own.
    InputForm->OpenEntryDialog(2024, 4, 1);
    ChYMForm->OpenYearMonthChooser(CalendarKind::Month, 2024, 4);
    QApplication::processEvents();
    QStringList unnamed;
    for (QWidget* widget : QApplication::allWidgets()) {
        if (!widget->isVisible())
            continue;
        const bool window = widget->isWindow();
        const bool control = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QAbstractSpinBox*>(widget)
            || qobject_cast<TStringGrid*>(widget)
            // a spin box's own edit is part of the box
            || (qobject_cast<QLineEdit*>(widget) && !qobject_cast<QAbstractSpinBox*>(widget->parentWidget()));
        if ((window || control) && NameOf(widget).trimmed().isEmpty())
            unnamed << QString::fromLatin1(widget->metaObject()->className()) + u' ' + widget->objectName();
    }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u", "_s).toStdString();
    EXPECT_EQ(NameOf(InputForm->DateTimePicker1), u"日付"_s);
    EXPECT_EQ(NameOf(InputForm->Edit1), u"メモ"_s);
    EXPECT_EQ(NameOf(ChYMForm->Edit1), u"年"_s);
    EXPECT_EQ(NameOf(ChYMForm->Edit2), u"月"_s);
}
