#include "reports/PaidLeaveWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTextLayout>

#include "core/LeaveStore.h"
#include "reports/PaidLeaveSettingsDialog.h"
#include "views/Inputf.h"
#include "views/ViewsTestSupport.h"

namespace {

class PaidLeaveWindowTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    FixedToday today { QDate(2024, 1, 15) };
    ScriptedDialogs dialogs;

    static TPaidLeaveForm& Window() { return *PaidLeaveForm; }
    static TPaidLeaveSettingsForm& SettingsForm() { return *PaidLeaveForm->SettingsForm; }
    static QString Cell(int col, int row) { return PaidLeaveForm->StrColGrid1->Cells(col, row); }
    static QStringList Row(int row)
    {
        QStringList cells;
        for (int col = 0; col < PaidLeaveForm->StrColGrid1->ColCount(); ++col)
            cells << Cell(col, row);
        return cells;
    }
    QByteArray Ini() const { return data.Bytes(QStringLiteral("orbelund.ini")); }

    // A label's text as it reads, without the marks that keep its phrases
    // whole.
    static QString Shown(const QString& text) { return QString(text).remove(QChar(0x2060)).remove(QChar(0x200B)); }
    static QString Shown(const QLabel& label) { return Shown(label.text()); }
    // Where the label's text wraps in lines of `width` pixels, counted in the
    // text as it reads. A label lays out its plain text as a QTextLayout
    // does, its lines ended by line separators.
    static std::vector<qsizetype> Breaks(const QLabel& label, int width)
    {
        QTextLayout layout(QString(label.text()).replace(u'\n', QChar::LineSeparator), label.font());
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        std::vector<qsizetype> breaks;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            if (line.textStart() > 0)
                breaks.push_back(Shown(label.text().left(line.textStart())).size());
        }
        layout.endLayout();
        return breaks;
    }

    // Types into the settings dialog as a user would and presses OK.
    static void EnterSettings(
        const QString& hired, const QString& overrides = {}, const QString& start = {}, const QString& carried = {})
    {
        QTest::mouseClick(Window().Button1, Qt::LeftButton);
        TPaidLeaveSettingsForm& form = SettingsForm();
        EXPECT_TRUE(form.isVisible());
        form.Edit1->clear();
        QTest::keyClicks(form.Edit1, hired);
        form.Memo1->setPlainText(overrides);
        form.Edit2->setText(start);
        form.Memo2->setPlainText(carried);
        QTest::mouseClick(form.Button1, Qt::LeftButton);
    }
};

} // namespace

TEST_F(PaidLeaveWindowTest, BeforeTheHiringDateOneSentenceSaysWhatToEnterAndNothingChanges)
{
    ProgramWindows program(data);
    const QByteArray before = Ini();
    QAction* item = program.Main().B1;
    EXPECT_EQ(item->text(), QStringLiteral("有給休暇の残日数(&B)..."));

    item->trigger();
    ASSERT_TRUE(Window().isVisible());
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("有給休暇の残日数"));
    EXPECT_TRUE(Window().Label6->isVisible());
    EXPECT_EQ(Shown(*Window().Label6),
        QStringLiteral("「設定」で入社日を入力すると、有給休暇の付与日数と今日の残日数をここに表示します。"));
    EXPECT_FALSE(Window().StrColGrid1->isVisible());
    EXPECT_FALSE(Window().Label2->isVisible());
    EXPECT_EQ(Ini(), before);

    // The dialog opened and cancelled writes nothing either.
    QTest::mouseClick(Window().Button1, Qt::LeftButton);
    EXPECT_TRUE(SettingsForm().Edit1->text().isEmpty());
    EXPECT_TRUE(SettingsForm().RadioButton1->isChecked());
    QTest::mouseClick(SettingsForm().Button2, Qt::LeftButton);
    EXPECT_FALSE(SettingsForm().isVisible());
    EXPECT_EQ(Ini(), before);
}

TEST_F(PaidLeaveWindowTest, TheSettingsAreWrittenToTheirSectionAndTheTableFollows)
{
    for (int day = 1; day <= 3; ++day)
        LeaveStore::SaveEntry(2023, 5, day, 1, QString());
    LeaveStore::SaveEntry(2023, 5, 8, 2, QString());
    ProgramWindows program(data);
    const QByteArray before = Ini();
    program.Main().B1->trigger();

    EnterSettings(QStringLiteral("2020/10/1"), QStringLiteral("2023/04/01 12.5\n"));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(SettingsForm().isVisible());
    EXPECT_EQ(Ini(),
        before
            + "[Paid]\r\nHired=2020/10/01\r\nRule=0\r\nFixedMonth=4\r\nFixedDay=1\r\n"
              "Overrides=2023/04/01:12.5\r\nStart=\r\nCarried=\r\n");

    ASSERT_FALSE(Window().Label6->isVisible());
    ASSERT_TRUE(Window().StrColGrid1->isVisible());
    // The newest grant first; the last column tells how each year's five
    // days went, a year that ended short of them in red.
    EXPECT_EQ(Row(0),
        (QStringList {
            u"付与日"_qs, u"付与"_qs, u"繰越"_qs, u"取得"_qs, u"失効"_qs, u"残"_qs, u"有効期限"_qs, u"5日"_qs }));
    EXPECT_EQ(Row(1),
        (QStringList { u"2023/04/01"_qs, u"12.5"_qs, u""_qs, u"0.0"_qs, u"0.0"_qs, u"12.5"_qs, u"2025/03/31"_qs,
            u"あと1.5日"_qs }));
    EXPECT_EQ(Row(2),
        (QStringList { u"2022/04/01"_qs, u"11.0"_qs, u""_qs, u"3.5"_qs, u"0.0"_qs, u"7.5"_qs, u"2024/03/31"_qs,
            u"未達 0.0日"_qs }));
    EXPECT_EQ(Row(3),
        (QStringList { u"2021/04/01"_qs, u"10.0"_qs, u""_qs, u"0.0"_qs, u"10.0"_qs, u"0.0"_qs, u"2023/03/31"_qs,
            u"未達 0.0日"_qs }));
    EXPECT_EQ(CellColour(*Window().StrColGrid1, 7, 1), clBlack);
    EXPECT_EQ(CellColour(*Window().StrColGrid1, 7, 2), clRed);
    EXPECT_EQ(Window().StrColGrid1->FindCellParam(7, 2, false)->Alignment(), taRightJustify);
    EXPECT_EQ(Window().StrColGrid1->RowCount(), 4);
    EXPECT_EQ(Window().Label2->text(), QStringLiteral("20.0日"));
    EXPECT_EQ(Window().Label1->text(), QStringLiteral("2024/01/15 の残日数"));
    EXPECT_EQ(Window().Label5->text(), QStringLiteral("次の付与: 2024/04/01 14.0日"));
    EXPECT_EQ(Shown(*Window().Label3), QStringLiteral("2024/03/31 までに使わないと 7.5日が失効します。"));

    // The dialog shows what was saved.
    QTest::mouseClick(Window().Button1, Qt::LeftButton);
    EXPECT_EQ(SettingsForm().Edit1->text(), QStringLiteral("2020/10/01"));
    EXPECT_EQ(SettingsForm().Memo1->toPlainText(), QStringLiteral("2023/04/01 12.5"));
    // A fixed grant day of 1 April changes nothing for this hire; 1 October does.
    QTest::mouseClick(SettingsForm().RadioButton2, Qt::LeftButton);
    SettingsForm().SpinEdit1->setValue(10);
    QTest::mouseClick(SettingsForm().Button1, Qt::LeftButton);
    EXPECT_TRUE(Ini().endsWith("Rule=1\r\nFixedMonth=10\r\nFixedDay=1\r\n"
                               "Overrides=2023/04/01:12.5\r\nStart=\r\nCarried=\r\n"));
    EXPECT_EQ(Cell(0, 1), QStringLiteral("2023/10/01"));
}

TEST_F(PaidLeaveWindowTest, APartTimeWorkersDaysAWeekAndTheNoticeInTheDialog)
{
    ProgramWindows program(data);
    program.Main().B1->trigger();
    QTest::mouseClick(Window().Button1, Qt::LeftButton);
    TPaidLeaveSettingsForm& form = SettingsForm();
    EXPECT_EQ(form.ComboBox1->currentText(), QStringLiteral("5以上"));
    EXPECT_TRUE(form.CheckBox1->isChecked());
    EXPECT_EQ(form.CheckBox1->text(), QStringLiteral("起動時に失効・取得義務をお知らせする"));
    QTest::keyClicks(form.Edit1, QStringLiteral("2020/4/1"));
    ASSERT_TRUE(BecomesActive(&form));
    form.ComboBox1->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::mouseClick(form.CheckBox1, Qt::LeftButton, Qt::NoModifier, QPoint(8, 9));
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_TRUE(Ini().endsWith("Carried=\r\nWeeklyDays=4\r\nNotice=0\r\n"));

    // Four days a week: 9 days at two and a half years, 10 and the five-day
    // rule at three and a half.
    EXPECT_EQ(Row(1).mid(0, 2), (QStringList { u"2023/10/01"_qs, u"10.0"_qs }));
    EXPECT_EQ(Cell(7, 1), QStringLiteral("あと5.0日"));
    EXPECT_EQ(Row(2).mid(0, 2), (QStringList { u"2022/10/01"_qs, u"9.0"_qs }));
    EXPECT_EQ(Cell(7, 2), QString());

    QTest::mouseClick(Window().Button1, Qt::LeftButton);
    EXPECT_EQ(form.ComboBox1->currentText(), QStringLiteral("4"));
    EXPECT_FALSE(form.CheckBox1->isChecked());
}

TEST_F(PaidLeaveWindowTest, ThirtyFourYearsOfGrantsScrollOnlyUpAndDown)
{
    ProgramWindows program(data);
    program.Main().B1->trigger();
    EnterSettings(QStringLiteral("1990/4/1"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
    TStrColGrid& grid = *Window().StrColGrid1;
    EXPECT_EQ(grid.RowCount(), 35);
    EXPECT_TRUE(grid.verticalScrollBar()->isVisible());
    EXPECT_FALSE(grid.horizontalScrollBar()->isVisible());
    EXPECT_EQ(grid.VisibleColCount(), 8);
}

TEST_F(PaidLeaveWindowTest, EnterIsOkAndEscCancels)
{
    ProgramWindows program(data);
    program.Main().B1->trigger();
    QTest::mouseClick(Window().Button1, Qt::LeftButton);
    ASSERT_TRUE(SettingsForm().isVisible());
    // Esc cancels the dialog, Enter in the hiring date is OK.
    QTest::keyClicks(SettingsForm().Edit1, QStringLiteral("2019/4/1"));
    QTest::keyClick(SettingsForm().Edit1, Qt::Key_Escape);
    EXPECT_FALSE(SettingsForm().isVisible());
    EXPECT_FALSE(Ini().contains("[Paid]"));
    QTest::mouseClick(Window().Button1, Qt::LeftButton);
    SettingsForm().Edit1->clear();
    QTest::keyClicks(SettingsForm().Edit1, QStringLiteral("2019/4/1"));
    QTest::keyClick(SettingsForm().Edit1, Qt::Key_Return);
    EXPECT_FALSE(SettingsForm().isVisible());
    EXPECT_TRUE(Ini().contains("[Paid]\r\nHired=2019/04/01\r\n"));
    // Enter in a box of lines starts a new line.
    QTest::mouseClick(Window().Button1, Qt::LeftButton);
    QTest::keyClicks(SettingsForm().Memo1, QStringLiteral("2020/10/01 12"));
    QTest::keyClick(SettingsForm().Memo1, Qt::Key_Return);
    EXPECT_TRUE(SettingsForm().isVisible());
    EXPECT_EQ(SettingsForm().Memo1->toPlainText(), QStringLiteral("2020/10/01 12\n"));
    QTest::keyClick(SettingsForm().Memo1, Qt::Key_Escape);
    EXPECT_FALSE(SettingsForm().isVisible());
    // Enter on a focused キャンセル presses キャンセル.
    QTest::mouseClick(Window().Button1, Qt::LeftButton);
    ASSERT_TRUE(BecomesActive(&SettingsForm()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2021/4/1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), SettingsForm().Button2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(SettingsForm().isVisible());
    EXPECT_TRUE(Ini().contains("Hired=2019/04/01\r\n"));
    // Esc closes the balance window.
    QTest::keyClick(&Window(), Qt::Key_Escape);
    EXPECT_FALSE(Window().isVisible());
}

TEST_F(PaidLeaveWindowTest, WhatCannotBeReadIsNamedAndNothingIsWritten)
{
    ProgramWindows program(data);
    const QByteArray before = Ini();
    program.Main().B1->trigger();

    EnterSettings(QStringLiteral("2021/02/30"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("警告"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("入社日は 2020/10/01 のように年/月/日で入力してください。"));
    EXPECT_TRUE(SettingsForm().isVisible());

    EnterSettings(QStringLiteral("2020/10/01"), QStringLiteral("2022/04/01 11\n\n2023/04/01 eleven"));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text,
        QStringLiteral("日数を変える付与の 3 行目を読めません。2022/04/01 11.5 のように入力してください。"));

    EnterSettings(QStringLiteral("2020/10/01"), {}, {}, QStringLiteral("2022/04/01 5"));
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(
        dialogs.messages[2].text, QStringLiteral("残っていた日数を入れるときは、記録を始めた日も入力してください。"));

    // An item holds at most 40 days, a list at most 100 items.
    EnterSettings(QStringLiteral("2020/10/01"), QStringLiteral("2022/04/01 40\n2023/04/01 40.5"));
    ASSERT_EQ(dialogs.messages.size(), 4u);
    EXPECT_EQ(
        dialogs.messages[3].text, QStringLiteral("日数を変える付与の 2 行目の日数は 40 日までで入力してください。"));
    EnterSettings(
        QStringLiteral("2020/10/01"), {}, QStringLiteral("2023/04/01"), QStringLiteral("2022/04/01 1\n").repeated(101));
    ASSERT_EQ(dialogs.messages.size(), 5u);
    EXPECT_EQ(dialogs.messages[4].text, QStringLiteral("残っていた日数は 100 行までで入力してください。"));

    QTest::mouseClick(Window().Button1, Qt::LeftButton);
    QTest::mouseClick(SettingsForm().RadioButton2, Qt::LeftButton);
    SettingsForm().SpinEdit1->setValue(4);
    SettingsForm().SpinEdit2->setValue(31);
    QTest::mouseClick(SettingsForm().Button1, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 6u);
    EXPECT_EQ(
        dialogs.messages[5].text, QStringLiteral("4月31日という日はありません。付与する日を選び直してください。"));
    EXPECT_EQ(Ini(), before);
}

TEST_F(PaidLeaveWindowTest, AStartingBalanceInTheDialog)
{
    ProgramWindows program(data);
    program.Main().B1->trigger();
    LeaveStore::SaveEntry(2023, 3, 1, 1, QString()); // before the start: already in the balance
    LeaveStore::SaveEntry(2023, 6, 1, 3, QString());
    EnterSettings(QStringLiteral("2010/04/01"), {}, QStringLiteral("2023/04/01"),
        QStringLiteral("2022/10/01 20\n2021/10/01　3.5\n"));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(Ini().endsWith("Start=2023/04/01\r\nCarried=2022/10/01:20,2021/10/01:3.5\r\n"));
    EXPECT_EQ(Row(1),
        (QStringList { u"2023/10/01"_qs, u"20.0"_qs, u""_qs, u"0.0"_qs, u"0.0"_qs, u"20.0"_qs, u"2025/09/30"_qs,
            u"あと5.0日"_qs }));
    // The years before the records are not judged.
    EXPECT_EQ(Row(2),
        (QStringList {
            u"2022/10/01"_qs, u""_qs, u"20.0"_qs, u"0.0"_qs, u"0.0"_qs, u"20.0"_qs, u"2024/09/30"_qs, u""_qs }));
    EXPECT_EQ(Row(3),
        (QStringList {
            u"2021/10/01"_qs, u""_qs, u"3.5"_qs, u"0.5"_qs, u"3.0"_qs, u"0.0"_qs, u"2023/09/30"_qs, u""_qs }));
    EXPECT_EQ(Window().Label2->text(), QStringLiteral("40.0日"));
}

TEST_F(PaidLeaveWindowTest, TheFiveDayRuleWarnsWithLessThanThreeMonthsLeft)
{
    data.Write(QStringLiteral("orbelund.ini"), "[Size]\r\nWidth=1000\r\nHeighth=700\r\n[Paid]\r\nHired=2020/10/01\r\n");
    for (int day = 1; day <= 4; ++day)
        LeaveStore::SaveEntry(2023, 5, day, 1, QString());
    ProgramWindows program(data);
    program.Main().B1->trigger();
    EXPECT_EQ(Shown(*Window().Label4),
        QStringLiteral("年5日の取得: 2023/04/01 付与分は 4.0日取得済み（期限 2024/03/31）\n"
                       "期限まで3か月を切りました。あと 1.0日取得してください。"));
    EXPECT_EQ(Window().Label4->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // A day taken through the entry dialog refreshes the open window.
    InputForm->OpenEntryDialog(2024, 1, 10);
    InputForm->RadioButtons->button(1)->setChecked(true);
    QTest::mouseClick(InputForm->Button1, Qt::LeftButton);
    EXPECT_EQ(Shown(*Window().Label4),
        QStringLiteral("年5日の取得: 2023/04/01 付与分は 5.0日取得済み（期限 2024/03/31）\n5日以上取得しました。"));
    EXPECT_NE(Window().Label4->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(Window().Label2->text(), QStringLiteral("18.0日"));
    EXPECT_EQ(Cell(7, 1), QStringLiteral("済"));
}

TEST_F(PaidLeaveWindowTest, EveryShowReadsTheFilesAfresh)
{
    ProgramWindows program(data, "[Paid]\r\nHired=2020/10/01\r\n");
    program.Main().B1->trigger();
    EXPECT_EQ(Window().Label2->text(), QStringLiteral("23.0日"));
    Window().close();
    EXPECT_FALSE(Window().isVisible());

    // Saved while hidden: no refresh then, but the next show counts it.
    InputForm->OpenEntryDialog(2023, 11, 1);
    InputForm->RadioButtons->button(2)->setChecked(true);
    QTest::mouseClick(InputForm->Button1, Qt::LeftButton);
    EXPECT_EQ(Window().Label2->text(), QStringLiteral("23.0日"));
    program.Main().B1->trigger();
    EXPECT_EQ(Window().Label2->text(), QStringLiteral("22.5日"));

    // A damaged data file is read as the calendars read it.
    QByteArray file = data.Bytes(QStringLiteral("Holiday.d00"));
    file += QByteArray(64, '\xff') + "half a record";
    data.Write(QStringLiteral("Holiday.d00"), file);
    program.Main().B1->trigger();
    EXPECT_EQ(Window().Label2->text(), QStringLiteral("22.5日"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PaidLeaveWindowTest, SentencesWrapBetweenWordsNeverInsideOne)
{
    for (int day = 1; day <= 4; ++day)
        LeaveStore::SaveEntry(2023, 5, day, 1, QString());
    ProgramWindows program(data, "[Paid]\r\nHired=2020/10/01\r\n");
    program.Main().B1->trigger();
    const std::pair<const QLabel*, QStringList> sentences[] = {
        { Window().Label3, { u"2024/03/31"_qs, u"までに"_qs, u"使わないと"_qs, u"7.0日"_qs, u"失効します。"_qs } },
        { Window().Label4,
            { u"年5日"_qs, u"取得"_qs, u"2023/04/01"_qs, u"付与分"_qs, u"4.0日"_qs, u"取得済み"_qs, u"期限"_qs,
                u"2024/03/31）"_qs, u"3か月"_qs, u"切りました。"_qs, u"1.0日"_qs, u"ください。"_qs } },
        { Window().Label6,
            { u"「設定」"_qs, u"入社日"_qs, u"入力"_qs, u"有給休暇"_qs, u"付与日数"_qs, u"残日数"_qs,
                u"表示します。"_qs } },
    };
    for (const auto& [label, words] : sentences) {
        const QString text = Shown(*label);
        for (int width = 60; width <= 700; width += 10) {
            for (const qsizetype at : Breaks(*label, width)) {
                for (const QString& word : words) {
                    for (qsizetype from = text.indexOf(word); from >= 0; from = text.indexOf(word, from + 1))
                        EXPECT_FALSE(at > from && at < from + word.size())
                            << qPrintable(word) << " broken at " << width << " pixels";
                }
            }
        }
    }
}
