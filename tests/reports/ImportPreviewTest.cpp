// Reading leave days from CSV files: the holiday lists the program wrote,
// read back into an empty folder, and the preview driven by keys.

#include "reports/ImportPreview.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "platform/ShiftJis.h"
#include "reports/CsvExport.h"
#include "views/Hcalf.h"
#include "views/MainFrame.h"
#include "views/ProgramEvents.h"
#include "views/ViewsTestSupport.h"
#include "views/Ycalf.h"

namespace {

void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

// The fiscal-year calendar and the holiday list of each fiscal year, as
// their CSV files hold them.
QList<QByteArray> Calendars(TMainform& main, const QList<int>& fiscalYears)
{
    QList<QByteArray> files;
    for (int year : fiscalYears) {
        main.OpenYearCalendar();
        YcalForm->Fill(year);
        files << CsvExport::FileBytes();
        main.OpenHolidayCalendar();
        HCalForm->Fill(year);
        files << CsvExport::FileBytes();
    }
    return files;
}

} // namespace

TEST(ImportPreviewTest, HolidayListsReadIntoAnEmptyFolderGiveTheSameCalendars)
{
    FixedToday today(QDate(2026, 8, 12));
    const QList<int> fiscalYears { 2024, 2025, 2026 };
    QTemporaryDir exports;
    QStringList lists;
    QList<QByteArray> shown;
    {
        TempDataDirectory data;
        const QString memos[] = { QString(), QStringLiteral("会議,資料\"A\""), QStringLiteral("一行目\r\n二行目"),
            QStringLiteral("とても長いメモは三十バイトで切られてしまいます"), QStringLiteral(" 前後の空白 ") };
        std::vector<LeaveStore::DayEntry> entries;
        for (int i = 0; i < 60; ++i) {
            const QDate date = QDate(2024, 4, 1).addDays(i * 17);
            entries.push_back({ date.year(), date.month(), date.day(), i % 10 + 1, memos[i % 5] });
        }
        entries.push_back({ 2025, 3, 31, 1, {} });
        entries.push_back({ 2025, 4, 1, 0, QStringLiteral("消した日") });
        LeaveStore::SaveEntries(entries);
        ProgramWindows program(data);
        shown = Calendars(program.Main(), fiscalYears);
        for (int i = 0; i < fiscalYears.size(); ++i)
            lists << Write(exports, QStringLiteral("list%1.csv").arg(i), shown[2 * i + 1]);
    }
    TempDataDirectory empty;
    for (const QString& list : lists) {
        const CsvImport::Result read = CsvImport::ReadFile(list);
        EXPECT_TRUE(read.Problems.empty());
        ImportPreview::Apply(ImportPreview::PlanFor(read), false);
    }
    ProgramWindows program(empty);
    const QList<QByteArray> after = Calendars(program.Main(), fiscalYears);
    ASSERT_EQ(after.size(), shown.size());
    for (int i = 0; i < shown.size(); ++i)
        EXPECT_EQ(ShiftJis::ToUnicode(after[i]), ShiftJis::ToUnicode(shown[i])) << i;
}

class ImportPreviewFormTest : public ::testing::Test {
protected:
    FixedToday today { QDate(2026, 8, 12) };
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    QTemporaryDir files;

    // ファイル → CSVファイルから読み込み by Alt+F and M, the file chosen.
    static void OpenByMenu(TMainform& main)
    {
        main.activateWindow();
        ASSERT_TRUE(BecomesActive(&main));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &main, Qt::Key_F, Qt::AltModifier);
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_M);
    }
};

// New days, a day that differs (both values listed) and a bad line; first
// only the new days, then the rest over them, taken back by one undo.
TEST_F(ImportPreviewFormTest, PreviewAddsNewDaysOrOverwritesAsOneUndoStep)
{
    LeaveStore::SaveEntry(2026, 8, 12, 1, QStringLiteral("旅行"));
    LeaveStore::SaveEntry(2026, 8, 13, 5, QString());
    const QString path = Write(files, QStringLiteral("sheet.csv"),
        QStringLiteral("年月日,休暇,備考\r\n2026/8/12,全,旅行\r\n2026/8/13,冬休み,帰省\r\n2026/8/14,AM,\r\n"
                       "2026/8/32,全,\r\n")
            .toUtf8());
    ProgramWindows program(data);
    TMainform& main = program.Main();

    for (bool overwrite : { false, true }) {
        dialogs.openAnswers.push_back(path);
        OpenByMenu(main);
        ASSERT_TRUE(BecomesActive(ImportPreviewForm));
        EXPECT_EQ(dialogs.openRequests.back().title, QStringLiteral("CSVファイルから読み込み"));
        TImportPreviewForm& form = *ImportPreviewForm;
        EXPECT_TRUE(form.Label1->text().contains(
            QStringLiteral("新しい日: %1日\n登録済みと違う日: 1日").arg(overwrite ? 0 : 1)))
            << form.Label1->text().toStdString();
        ASSERT_EQ(form.ListView1->topLevelItemCount(), 1);
        const QTreeWidgetItem& changed = *form.ListView1->topLevelItem(0);
        EXPECT_EQ(changed.text(0), QStringLiteral("2026/08/13"));
        EXPECT_EQ(changed.text(1), QStringLiteral("夏休み"));
        EXPECT_EQ(changed.text(2), QStringLiteral("冬休み 帰省"));
        ASSERT_EQ(form.ListBox1->count(), 1);
        EXPECT_EQ(form.ListBox1->item(0)->text(), QStringLiteral("5行目: 日付が読めません"));
        Press(overwrite ? Qt::Key_O : Qt::Key_A, Qt::AltModifier);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(LeaveStore::FindEntry(2026, 8, 14).Kind, 2);
        EXPECT_EQ(LeaveStore::FindEntry(2026, 8, 13).Kind, overwrite ? 6 : 5);
        EXPECT_EQ(main.Undo1->text(), QStringLiteral("元に戻す: CSV読み込み 1日(&U)"));
    }
    EXPECT_EQ(LeaveStore::FindEntry(2026, 8, 13).Memo, QStringLiteral("帰省"));
    EXPECT_EQ(LeaveStore::FindEntry(2026, 8, 12).Memo, QStringLiteral("旅行"));

    main.activateWindow();
    ASSERT_TRUE(BecomesActive(&main));
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(LeaveStore::FindEntry(2026, 8, 13).Kind, 5);
    EXPECT_EQ(LeaveStore::FindEntry(2026, 8, 14).Kind, 2);
}

// A file that is not text is refused with a warning and no preview; Esc
// in the preview writes nothing.
TEST_F(ImportPreviewFormTest, RefusesWhatIsNotTextAndEscWritesNothing)
{
    ProgramWindows program(data);
    const QByteArray before = data.Bytes(QStringLiteral("Holiday.d00"));
    dialogs.openAnswers.push_back(Write(files, QStringLiteral("picture.csv"), QByteArray("\x89PNG\r\n\x1a\n\0\0", 10)));
    OpenByMenu(program.Main());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(
        dialogs.messages.front().text, QStringLiteral("このファイルはテキストファイルではないため、読み込めません。"));
    EXPECT_EQ(dialogs.messages.front().caption, QStringLiteral("警告"));
    EXPECT_TRUE(!ImportPreviewForm || !ImportPreviewForm->isVisible());

    dialogs.openAnswers.push_back(Write(files, QStringLiteral("sheet.csv"), "2026/8/14,AM\n"));
    OpenByMenu(program.Main());
    ASSERT_TRUE(BecomesActive(ImportPreviewForm));
    Press(Qt::Key_Escape);
    EXPECT_FALSE(ImportPreviewForm->isVisible());
    EXPECT_EQ(data.Bytes(QStringLiteral("Holiday.d00")), before);
}

// The choice is made on what is stored when it is made: a day saved while
// the preview was open is no longer new, and 新しい日だけ追加 keeps it.
TEST_F(ImportPreviewFormTest, ADaySavedWhileThePreviewIsOpenIsNotOverwritten)
{
    ProgramWindows program(data);
    dialogs.openAnswers.push_back(Write(files, QStringLiteral("sheet.csv"), "2026/8/14,AM\n2026/8/17,PM\n"));
    OpenByMenu(program.Main());
    ASSERT_TRUE(BecomesActive(ImportPreviewForm));
    ASSERT_TRUE(ImportPreviewForm->Label1->text().contains(QStringLiteral("新しい日: 2日")));
    LeaveStore::SaveEntry(2026, 8, 14, 5, QStringLiteral("手入力"));
    Press(Qt::Key_Return);
    EXPECT_EQ(LeaveStore::FindEntry(2026, 8, 14).Kind, 5);
    EXPECT_EQ(LeaveStore::FindEntry(2026, 8, 17).Kind, 3);
    EXPECT_EQ(program.Main().Undo1->text(), QStringLiteral("元に戻す: CSV読み込み 1日(&U)"));
}

// A two-digit year is told with the year read, the days before 1950 or after
// 2100 are listed apart, a stored day of the same kind with another memo is
// a change, a junk tail lists its first thousand lines and counts the rest,
// and the status line tells what was really written.
TEST_F(ImportPreviewFormTest, PreviewTellsTwoDigitYearsFarDaysAndMemoChanges)
{
    LeaveStore::SaveEntry(2026, 9, 1, 1, QStringLiteral("通院"));
    LeaveStore::SaveEntry(2026, 9, 2, 2, QStringLiteral("銀行"));
    QByteArray text = QStringLiteral("年月日,休暇,備考\n26/09/01,全,通院\n26/09/02,AM,役所\n1949/12/31,夏,\n"
                                     "2101/1/1,冬,\n26/09/05,PM,\n")
                          .toUtf8();
    for (int i = 0; i < 1500; ++i)
        text += "x1\n";
    const QString path = Write(files, QStringLiteral("sheet.csv"), text);
    ProgramWindows program(data);

    for (bool overwrite : { false, true }) {
        SCOPED_TRACE(overwrite);
        dialogs.openAnswers.push_back(path);
        OpenByMenu(program.Main());
        ASSERT_TRUE(BecomesActive(ImportPreviewForm));
        TImportPreviewForm& form = *ImportPreviewForm;
        const QString counts = overwrite
            ? QStringLiteral("新しい日: 0日\n登録済みと違う日: 1日\n登録済みと同じ日: 4日")
            : QStringLiteral("新しい日: 3日\n登録済みと違う日: 1日\n登録済みと同じ日: 1日");
        EXPECT_TRUE(
            form.Label1->text().endsWith(counts + QStringLiteral("\n年が2桁の日付は2026年などとして読みました")))
            << form.Label1->text().toStdString();
        ASSERT_EQ(form.ListView1->topLevelItemCount(), 1);
        EXPECT_EQ(form.ListView1->topLevelItem(0)->text(2), QStringLiteral("AM休暇 役所"));
        EXPECT_EQ(form.Label3->text(), QStringLiteral("1950年より前か2100年より後の日: %1日").arg(overwrite ? 0 : 2));
        if (!overwrite) {
            ASSERT_EQ(form.ListView2->topLevelItemCount(), 2);
            EXPECT_EQ(form.ListView2->topLevelItem(0)->text(0), QStringLiteral("1949/12/31"));
            EXPECT_EQ(form.ListView2->topLevelItem(1)->text(1), QStringLiteral("冬休み"));
        }
        EXPECT_EQ(form.Label2->text(), QStringLiteral("読めなかった行: 1500行"));
        ASSERT_EQ(form.ListBox1->count(), 1001);
        EXPECT_EQ(form.ListBox1->item(999)->text(), QStringLiteral("1006行目: 日付が読めません"));
        EXPECT_EQ(form.ListBox1->item(1000)->text(), QStringLiteral("ほか 500行"));
        Press(overwrite ? Qt::Key_O : Qt::Key_A, Qt::AltModifier);
        EXPECT_EQ(MainFrame->StatusText(),
            overwrite ? QStringLiteral("CSVファイルから0日を追加し、1日を上書きしました。")
                      : QStringLiteral("CSVファイルから3日を追加しました。"));
    }
    EXPECT_EQ(LeaveStore::FindEntry(1949, 12, 31).Kind, 5);
    EXPECT_EQ(LeaveStore::FindEntry(2101, 1, 1).Kind, 6);
    EXPECT_EQ(LeaveStore::FindEntry(2026, 9, 2).Memo, QStringLiteral("役所"));
    EXPECT_EQ(LeaveStore::FindEntry(2026, 9, 5).Kind, 3);
}

// The files an office suite wrote under a Japanese profile, read as a person
// expects: its two-digit years in this century, a date without a year read
// only by the weekdays beside it.
TEST(ImportPreviewTest, ReadsTheOfficeSuitesFiles)
{
    FixedToday today(QDate(2026, 12, 8));
    const QString folder = QStringLiteral(VALDEMOR_SOURCE_DIR "/tests/reports/data/office-suite/");
    const QString sheet[] = { QStringLiteral("9/1 1 通院"), QStringLiteral("9/2 2 銀行"), QStringLiteral("9/3 3 役所"),
        QStringLiteral("9/4 5 帰省,実家\"本家\""), QStringLiteral("8/12 5 お盆"), QStringLiteral("8/13 5 お盆"),
        QStringLiteral("12/1 1 上書き候補"), QStringLiteral("12/14 8 慶弔"), QStringLiteral("10/5 1 ラベル"),
        QStringLiteral("10/6 2 "), QStringLiteral("10/7 9 振替"), QStringLiteral("10/8 8 忌引き"),
        QStringLiteral("10/9 10 土曜出勤"), QStringLiteral("10/13 6 テスト") };
    const QStringList text(std::begin(sheet), std::end(sheet));
    QStringList noYear = text;
    noYear.removeAt(4);
    const QString noDate = QStringLiteral("6行目: 日付が読めません");
    const QString suiteNoYear = QStringLiteral("行目: 日付に年がありません");
    const struct {
        const char* name;
        QStringList days; // of 2026
        QStringList problems;
    } files[] = {
        { "leave_sjis.csv", text, { noDate } },
        { "lo_default_dates_sjis.csv", noYear, { noDate, u'7' + suiteNoYear } },
        { "bom_crlf.csv", text + QStringList { QStringLiteral("12/31 1 複数行\r\nのメモ") },
            { noDate, QStringLiteral("17行目: 日付が読めません") } },
        { "holiday_list_after_office_suite.csv",
            { QStringLiteral("11/2 1 会議,資料\"A\""), QStringLiteral("12/1 6 年末"), QStringLiteral("12/2 6 年末"),
                QStringLiteral("12/3 6 年末"), QStringLiteral("12/4 6 年末"), QStringLiteral("12/14 8 慶弔"),
                QStringLiteral("12/24 9 "), QStringLiteral("12/25 1 私用") },
            {} },
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        const CsvImport::Result read = CsvImport::ReadFile(folder + QLatin1StringView(file.name));
        QStringList days;
        for (const CsvImport::Day& day : read.Days) {
            EXPECT_EQ(day.Date.year(), 2026);
            days << QStringLiteral("%1/%2 %3 %4").arg(day.Date.month()).arg(day.Date.day()).arg(day.Kind).arg(day.Memo);
        }
        EXPECT_EQ(days, file.days);
        QStringList problems;
        for (const CsvImport::Problem& problem : read.Problems)
            problems << problem.Text();
        EXPECT_EQ(problems, file.problems);
    }

    TempDataDirectory data;
    TImportPreviewForm form;
    form.Open(QStringLiteral("list.csv"),
        CsvImport::ReadFile(folder + QStringLiteral("holiday_list_after_office_suite.csv")));
    EXPECT_TRUE(form.Label1->text().endsWith(
        QStringLiteral("新しい日: 8日\n登録済みと違う日: 0日\n年のない日付は曜日から2026年として読みました")))
        << form.Label1->text().toStdString();
}

// Of many far days, the earliest thousand are listed in date order and the
// rest counted, whatever their order in the file.
TEST_F(ImportPreviewFormTest, ManyFarDaysListTheEarliestThousand)
{
    QByteArray text;
    for (int i = 1004; i >= 0; --i)
        text += QDate(1900, 1, 1).addDays(i).toString(u"yyyy/M/d").toUtf8() + ",AM\n";
    const QString path = Write(files, QStringLiteral("old.csv"), text);
    ProgramWindows program(data);
    for (int open = 0; open < 2; ++open) {
        dialogs.openAnswers.push_back(path);
        OpenByMenu(program.Main());
        ASSERT_TRUE(BecomesActive(ImportPreviewForm));
        const QTreeWidget& list = *ImportPreviewForm->ListView2;
        EXPECT_EQ(ImportPreviewForm->Label3->text(), QStringLiteral("1950年より前か2100年より後の日: 1005日"));
        ASSERT_EQ(list.topLevelItemCount(), 1001);
        EXPECT_EQ(list.topLevelItem(0)->text(0), QStringLiteral("1900/01/01"));
        EXPECT_EQ(list.topLevelItem(999)->text(0), QDate(1900, 1, 1).addDays(999).toString(u"yyyy/MM/dd"));
        EXPECT_EQ(list.topLevelItem(1000)->text(0), QStringLiteral("ほか 5日"));
        Press(Qt::Key_Escape);
    }
}
