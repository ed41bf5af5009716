#include "app/MainForm.h"

#include <climits>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/LeaveStore.h"
#include "core/Settings.h"
#include "platform/Shell.h"

namespace {

void MouseMoveOver(QWidget* widget, QPoint at = QPoint(3, 3))
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

// A stand-in calendar window that keeps its mark the way the real ones do:
// set when shown, cleared when closed. It logs what happens to it.
class MarkedWindow final : public QWidget {
public:
    MarkedWindow(QAction* mark, std::vector<QString>& log, QString name)
        : mark_(mark)
        , log_(log)
        , name_(std::move(name))
    {
    }

protected:
    void showEvent(QShowEvent*) override
    {
        mark_->setChecked(true);
        log_.push_back(name_ + QStringLiteral(" shown"));
    }
    void closeEvent(QCloseEvent*) override
    {
        mark_->setChecked(false);
        log_.push_back(name_ + QStringLiteral(" closed"));
    }

private:
    QAction* mark_;
    std::vector<QString>& log_;
    QString name_;
};

} // namespace

class MainFormTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    ScriptedDialogs dialogs;

    std::unique_ptr<TMainform> Show()
    {
        auto form = std::make_unique<TMainform>();
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return form;
    }
    QByteArray Ini() const { return data.Bytes(QStringLiteral("orbelund.ini")); }
};

TEST_F(MainFormTest, FirstStartOpensAtTheDefaultPlaceAndWritesTheFirstRunSet)
{
    auto form = Show();
    EXPECT_EQ(form->frameGeometry(), QRect(10, 10, 640, 480)); // frame included
    EXPECT_TRUE(form->ToolBar1->isVisible());
    EXPECT_TRUE(form->StatusBar1->isVisible());
    EXPECT_TRUE(form->T1->isChecked());
    EXPECT_TRUE(form->s2->isChecked());
    EXPECT_FALSE(form->ToolButton1->autoRaise());
    EXPECT_FALSE(form->Y1->isChecked() || form->M1->isChecked() || form->H2->isChecked());
    EXPECT_TRUE(Ini().startsWith("[Version]\r\nVer=1.12\r\n[Dir]\r\n"));
    EXPECT_TRUE(Ini().endsWith("[Start]\r\nShow=0\r\n[Holiday]\r\n0=1\r\n6=1\r\n"
                               "[View]\r\nToolBar=1\r\nStatusBar=1\r\nFlat=0\r\n"));
    EXPECT_EQ(form->SaveDialog1Filter, QStringLiteral("すべてのファイル(*.*)|*.*|CSV(カンマ区切り)(*.csv)|*.csv"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Valdemor"));
    EXPECT_EQ(form->ToolBar1->height(), 29);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainFormTest, SavedSettingsPlaceTheWindowAndItsBars)
{
    data.Write(QStringLiteral("orbelund.ini"),
        "[Location]\r\nTop=40\r\nLeft=50\r\n[Size]\r\nWidth=700\r\nHeight=100\r\n"
        "[View]\r\nToolBar=0\r\nStatusBar=1\r\nFlat=1\r\n");
    const QByteArray before = Ini();
    auto form = Show();
    EXPECT_EQ(form->frameGeometry(), QRect(50, 40, 700, 480)); // "Height" is not the height key
    EXPECT_FALSE(form->ToolBar1->isVisible());
    EXPECT_FALSE(form->T1->isChecked());
    EXPECT_TRUE(form->ToolButton1->autoRaise());
    EXPECT_EQ(Ini(), before); // an existing file is only read at start
}

TEST_F(MainFormTest, APlaceOffEveryScreenComesBackAtTheFirstRunPlace)
{
    data.Write(QStringLiteral("orbelund.ini"), "[Location]\r\nTop=-3000\r\nLeft=90000\r\n[Size]\r\nWidth=500\r\n");
    auto form = Show();
    EXPECT_EQ(form->frameGeometry(), QRect(10, 10, 500, 480));
}

TEST_F(MainFormTest, StartAndEndLeaveThePlaceAsItWas)
{
    data.Write(
        QStringLiteral("orbelund.ini"), "[Location]\r\nTop=30\r\nLeft=20\r\n[Size]\r\nWidth=600\r\nHeighth=400\r\n");
    for (int run = 0; run < 3; ++run) {
        auto form = Show();
        EXPECT_EQ(form->frameGeometry(), QRect(20, 30, 600, 400));
        form->close();
        form.reset();
        const Settings::MainWindow saved = Settings::ReadMainWindow();
        EXPECT_EQ(QRect(saved.Left, saved.Top, saved.Width, saved.Height), QRect(20, 30, 600, 400)) << run;
    }
}

TEST_F(MainFormTest, AnySavedBoundsOpenTheWholeWindowOnTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const QByteArray& extreme : { QByteArray("2147483647"), QByteArray("-2147483648") }) {
        data.Write(QStringLiteral("orbelund.ini"),
            "[Location]\r\nTop=" + extreme + "\r\nLeft=" + extreme
                + "\r\n[Size]\r\nWidth=2147483647\r\nHeighth=" + extreme + "\r\n");
        auto form = Show();
        EXPECT_TRUE(screen.contains(form->frameGeometry())) << extreme.constData();
    }
}

TEST(MainWindowPlacementTest, SavedBoundsAreFittedOnTheScreenTheyOverlapMost)
{
    using MainWindowPlacement::FitOnScreens;
    const QList<QRect> one { QRect(0, 0, 1024, 768) };
    EXPECT_EQ(FitOnScreens(10, 10, 640, 480, one), QRect(10, 10, 640, 480));
    // half off the right and the bottom edge: pulled back whole
    EXPECT_EQ(FitOnScreens(700, 500, 640, 480, one), QRect(384, 288, 640, 480));
    // above the top: the title bar comes back down
    EXPECT_EQ(FitOnScreens(10, -10, 640, 480, one), QRect(10, 0, 640, 480));
    // larger than the screen: the screen's size
    EXPECT_EQ(FitOnScreens(-5, 3, 5000, 4000, one), QRect(0, 0, 1024, 768));
    // no size at all
    EXPECT_EQ(FitOnScreens(10, 10, -7, 0, one), QRect(10, 10, 1, 1));
    // on no screen: the first-run place, size kept
    EXPECT_EQ(FitOnScreens(90000, -3000, 500, 400, one), QRect(10, 10, 500, 400));
    // the limits of int
    EXPECT_EQ(FitOnScreens(INT_MAX, INT_MAX, INT_MAX, INT_MAX, one), QRect(0, 0, 1024, 768));
    EXPECT_EQ(FitOnScreens(INT_MIN, INT_MIN, INT_MAX, INT_MAX, one), QRect(0, 0, 1024, 768));
    EXPECT_EQ(FitOnScreens(INT_MIN, INT_MIN, INT_MIN, INT_MIN, one), QRect(10, 10, 1, 1));

    // a panel along the top of the primary screen, a second screen right of it
    const QList<QRect> two { QRect(0, 30, 1024, 738), QRect(1024, 0, 1280, 1024) };
    EXPECT_EQ(FitOnScreens(10, 10, 640, 480, two), QRect(10, 30, 640, 480));
    EXPECT_EQ(FitOnScreens(1100, 100, 640, 480, two), QRect(1100, 100, 640, 480));
    EXPECT_EQ(FitOnScreens(900, 100, 1000, 1200, two), QRect(1024, 0, 1000, 1024));
    EXPECT_EQ(FitOnScreens(-9000, -9000, 640, 480, two), QRect(10, 30, 640, 480));
}

TEST(MainWindowPlacementTest, TheClientAreaLeavesTheFrameInsideTheSavedBounds)
{
    // openbox's frame: a 20-pixel title bar, 1-pixel sides, a 5-pixel bottom
    const QMargins frame(1, 20, 1, 5);
    QRect saved(10, 10, 640, 480);
    for (int run = 0; run < 3; ++run) {
        const QRect client = MainWindowPlacement::ClientArea(saved, frame);
        EXPECT_EQ(client, QRect(11, 30, 638, 455));
        saved = client.marginsAdded(frame); // what the end of the program writes
    }
    EXPECT_EQ(saved, QRect(10, 10, 640, 480));
    EXPECT_EQ(MainWindowPlacement::ClientArea(QRect(0, 0, 2, 2), frame), QRect(1, 20, 1, 1));
}

TEST_F(MainFormTest, BarTogglesFlipMarkAndBarAndAreSavedAtTheEnd)
{
    auto form = Show();
    form->T1Click();
    EXPECT_FALSE(form->T1->isChecked());
    EXPECT_FALSE(form->ToolBar1->isVisible());
    form->s2Click();
    form->s2Click();
    EXPECT_TRUE(form->s2->isChecked());
    EXPECT_TRUE(form->StatusBar1->isVisible());
    form->move(70, 80);
    form->resize(500, 400);
    const QRect outer = form->frameGeometry();
    EXPECT_EQ(outer.topLeft(), QPoint(70, 80));
    form->close();
    form.reset();
    const Settings::MainWindow saved = Settings::ReadMainWindow();
    EXPECT_EQ(QRect(saved.Left, saved.Top, saved.Width, saved.Height), outer);
    EXPECT_FALSE(saved.ToolBar);
    EXPECT_TRUE(saved.StatusBar);

    auto again = Show();
    EXPECT_FALSE(again->ToolBar1->isVisible());
    EXPECT_FALSE(again->T1->isChecked());
}

TEST_F(MainFormTest, TheEndCompactsTheDataFileOnlyWhenAsked)
{
    // A clear of unknown time, which a compaction drops.
    LeaveStore::SaveEntry(2024, 4, 1, 0, QString());
    data.Write(QStringLiteral("Holiday.d00"), WithoutStamps(data.Bytes(QStringLiteral("Holiday.d00"))));
    auto form = Show();
    form.reset();
    EXPECT_EQ(data.Bytes(QStringLiteral("Holiday.d00")).size(), 64);
    Settings::WriteCompactAtExit(true);
    Show().reset();
    EXPECT_EQ(data.Bytes(QStringLiteral("Holiday.d00")).size(), 0);
}

TEST_F(MainFormTest, StatusTextFollowsTheToolButtonsAndClearsOverTheClientArea)
{
    auto form = Show();
    const std::pair<QToolButton*, QString> buttons[] = {
        { form->ToolButton1, QStringLiteral("年度カレンダーを表示します。") },
        { form->ToolButton2, QStringLiteral("月カレンダーを表示します。") },
        { form->ToolButton3, QStringLiteral("休日カレンダーを表示します。") },
        { form->ToolButton5, QStringLiteral("集計項目一覧を表示します。") },
        { form->ToolButton7, QStringLiteral("印刷をします。") },
        { form->ToolButton9, QStringLiteral("オプション設定画面を開きます。") },
        { form->ToolButton11, QStringLiteral("ヘルプを開きます。") },
    };
    for (const auto& [button, text] : buttons) {
        MouseMoveOver(button);
        EXPECT_EQ(form->StatusText(), text);
    }
    // separators and the bar's empty part leave the text alone
    MouseMoveOver(form->ToolBar1->findChild<QWidget*>(QStringLiteral("ToolButton4")));
    MouseMoveOver(form->ToolBar1, QPoint(form->ToolBar1->width() - 3, 5));
    EXPECT_EQ(form->StatusText(), QStringLiteral("ヘルプを開きます。"));
    MouseMoveOver(form->MdiArea()->viewport());
    EXPECT_EQ(form->StatusText(), QString());
}

TEST_F(MainFormTest, MenusHoldEveryCommandInOrder)
{
    auto form = Show();
    auto names = [](QMenu* menu) {
        QStringList list;
        for (QAction* a : menu->actions())
            list << a->objectName() + u':' + (a->isSeparator() ? QStringLiteral("-") : a->text());
        return list;
    };
    EXPECT_EQ(names(form->File1),
        QStringList({ QStringLiteral("I1:入力(&N)..."), QStringLiteral("Range1:期間入力(&R)..."),
            QStringLiteral("Restore1:バックアップから復元(&B)..."), QStringLiteral("N3:-"),
            QStringLiteral("Print1:印刷(&P)..."), QStringLiteral("N4:-"),
            QStringLiteral("CSVO1:CSVファイルへ出力(&O)..."), QStringLiteral("iCalendar1:iCalendar形式で出力(&I)..."),
            QStringLiteral("CSVI1:CSVファイルから読み込み(&M)..."), QStringLiteral("N1:-"),
            QStringLiteral("L1:最終更新日時表示(&L)..."), QStringLiteral("N6:-"), QStringLiteral("Exit1:終了(&X)") }));
    EXPECT_EQ(form->menuBar()->actions().at(1), form->Edit2->menuAction());
    EXPECT_EQ(names(form->Edit2),
        QStringList({ QStringLiteral("Undo1:元に戻す(&U)"), QStringLiteral("Redo1:やり直し(&R)") }));
    EXPECT_FALSE(form->Undo1->isEnabled());
    EXPECT_FALSE(form->Redo1->isEnabled());
    EXPECT_EQ(names(form->Show1),
        QStringList({ QStringLiteral("Y1:年表示(&Y)"), QStringLiteral("M1:月表示(&M)"),
            QStringLiteral("H2:休日表示(&H)"), QStringLiteral("N5:-"), QStringLiteral("T1:ツールバー(&T)"),
            QStringLiteral("s2:ステイタスバー(&S)") }));
    EXPECT_EQ(names(form->C1),
        QStringList({ QStringLiteral("H1:集計項目一覧(&S)..."), QStringLiteral("N7:-"),
            QStringLiteral("Y2:年度集計(&Y)..."), QStringLiteral("M2:月別集計(&M)..."),
            QStringLiteral("B1:有給休暇の残日数(&B)..."), QStringLiteral("G1:グラフ(&G)...") }));
    EXPECT_EQ(names(form->S1),
        QStringList({ QStringLiteral("O1:オプション(&O)..."), QStringLiteral("DataFolder1:データの保存先(&D)..."),
            QStringLiteral("W1:表の幅(&W)") }));
    EXPECT_EQ(names(form->W1),
        QStringList({ QStringLiteral("N8:月カレンダー(&M)"), QStringLiteral("H3:休日カレンダー(&H)") }));
    EXPECT_EQ(names(form->N8),
        QStringList({ QStringLiteral("D1:初期の幅に戻す(&D)"), QStringLiteral("F1:前回閉じた時の幅に戻す(&F)") }));
    EXPECT_EQ(names(form->H3),
        QStringList({ QStringLiteral("D2:初期の幅に戻す(&D)"), QStringLiteral("F2:前回閉じた時の幅に戻す(&F)") }));
    EXPECT_EQ(names(form->Help1),
        QStringList({ QStringLiteral("Help2:ヘルプ(&H)"), QStringLiteral("N2:-"),
            QStringLiteral("About1:バージョン情報(&A)...") }));
    for (QAction* width : { form->D1, form->F1, form->D2, form->F2 })
        EXPECT_FALSE(width->isEnabled());
    EXPECT_EQ(form->ToolButton1->toolTip(), QStringLiteral("年度カレンダー"));
    EXPECT_EQ(form->ToolButton11->toolTip(), QStringLiteral("ヘルプ"));
    EXPECT_EQ(form->ToolBar1->findChild<QWidget*>(QStringLiteral("ToolButton4"))->width(), 28);
    EXPECT_EQ(form->ToolBar1->findChild<QWidget*>(QStringLiteral("ToolButton10"))->width(), 17);
}

TEST_F(MainFormTest, LastUpdateNamesTheDataFilesTime)
{
    auto form = Show();
    form->L1Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("データがありません。"));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("最終更新日時表示"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::None);

    LeaveStore::SaveEntry(2009, 3, 5, 1, QString());
    QFile f(LeaveStore::FilePath());
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2009, 3, 5), QTime(14, 7)), QFileDevice::FileModificationTime));
    f.close();
    form->L1->trigger();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("最終更新日時は、2009年3月5日 14時7分 です。"));
}

TEST_F(MainFormTest, HelpOpensTheHelpFileOrWarnsThatItIsMissing)
{
    std::vector<QString> opened;
    Shell::SetOpener([&](const QString& path, const QString&) {
        opened.push_back(path);
        return true;
    });
    auto form = Show();
    form->Help2->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("orbelund.chmファイルが見つかりません！"));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("警告"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Warning);
    EXPECT_TRUE(opened.empty());

    data.Write(QStringLiteral("orbelund.chm"), "help");
    form->ToolButton11->click();
    EXPECT_EQ(opened, std::vector<QString> { data.File(QStringLiteral("orbelund.chm")) });
    EXPECT_EQ(dialogs.messages.size(), 1u);
    Shell::SetOpener({});
}

TEST_F(MainFormTest, OpeningACalendarShowsTheNewWindowBeforeClosingTheOld)
{
    std::vector<QString> log;
    auto form = std::make_unique<TMainform>();
    form->SetCalendarFactory(
        CalendarKind::Year, [&](TMainform& f) { return new MarkedWindow(f.Y1, log, QStringLiteral("year")); });
    form->SetCalendarFactory(
        CalendarKind::Month, [&](TMainform& f) { return new MarkedWindow(f.M1, log, QStringLiteral("month")); });
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    EXPECT_EQ(log, std::vector<QString> { QStringLiteral("year shown") }); // the start-up calendar
    EXPECT_TRUE(form->Y1->isChecked());

    form->Y1->trigger(); // already open: nothing happens
    EXPECT_EQ(log.size(), 1u);
    EXPECT_TRUE(form->Y1->isChecked());

    form->ToolButton2->click();
    EXPECT_EQ(log,
        (std::vector<QString> {
            QStringLiteral("year shown"), QStringLiteral("month shown"), QStringLiteral("year closed") }));
    EXPECT_FALSE(form->Y1->isChecked());
    EXPECT_TRUE(form->M1->isChecked());
    QTest::qWait(0);
    EXPECT_EQ(form->MdiArea()->subWindowList().size(), 1);
}

struct StartCase {
    const char* show;
    CalendarKind opened;
};

class MainFormStartCalendar : public MainFormTest, public ::testing::WithParamInterface<StartCase> { };

TEST_P(MainFormStartCalendar, OpensTheCalendarChosenInTheOptions)
{
    data.Write(QStringLiteral("orbelund.ini"), QByteArray("[Start]\r\nShow=") + GetParam().show + "\r\n");
    std::vector<QString> log;
    auto form = std::make_unique<TMainform>();
    form->SetCalendarFactory(
        CalendarKind::Year, [&](TMainform& f) { return new MarkedWindow(f.Y1, log, QStringLiteral("year")); });
    form->SetCalendarFactory(
        CalendarKind::Month, [&](TMainform& f) { return new MarkedWindow(f.M1, log, QStringLiteral("month")); });
    form->SetCalendarFactory(
        CalendarKind::Holiday, [&](TMainform& f) { return new MarkedWindow(f.H2, log, QStringLiteral("holiday")); });
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    const char* expected[] = { "year shown", "month shown", "holiday shown" };
    EXPECT_EQ(log, std::vector<QString> { QString::fromUtf8(expected[int(GetParam().opened)]) });
}

INSTANTIATE_TEST_SUITE_P(Values, MainFormStartCalendar,
    ::testing::Values(StartCase { "0", CalendarKind::Year }, StartCase { "1", CalendarKind::Month },
        StartCase { "2", CalendarKind::Holiday }, StartCase { "3", CalendarKind::Year },
        StartCase { "abc", CalendarKind::Year }),
    [](const ::testing::TestParamInfo<StartCase>& info) { return "Show_" + std::string(info.param.show); });

TEST_F(MainFormTest, AnUnreadableDataFileIsReportedAndNoCalendarOpens)
{
    // A kernel file claims a whole page but yields only a few bytes: its first
    // record cannot be read.
    const QString unreadable = QStringLiteral("/sys/kernel/uevent_seqnum");
    if (!QFile::exists(unreadable))
        GTEST_SKIP() << "no read-only kernel file to point at";
    ASSERT_TRUE(QFile::link(unreadable, data.File(QStringLiteral("Holiday.d00"))));
    std::vector<QString> log;
    auto form = std::make_unique<TMainform>();
    form->SetCalendarFactory(
        CalendarKind::Year, [&](TMainform& f) { return new MarkedWindow(f.Y1, log, QStringLiteral("year")); });
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
        QStringLiteral("ファイルを読み込めませんでした。\nファイル: %1\n理由: ファイルが途中で終わっています")
            .arg(data.File(QStringLiteral("Holiday.d00"))));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(form->SaveDialog1Filter.isEmpty());
    EXPECT_TRUE(form->ToolBar1->isVisible()); // the steps before the check did run
}

TEST_F(MainFormTest, BroughtBackWhileABoxWaitsItHandsTheKeysToTheBox)
{
    auto form = Show();
    QDialog box(form.get());
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    ASSERT_TRUE(QTest::qWaitFor([&box] { return QApplication::activeWindow() == &box; }));
    form->activateWindow(); // Alt+Tab to the main window
    QTest::qWait(50);
    ASSERT_TRUE(QTest::qWaitFor([&box] { return QApplication::activeWindow() == &box; }));
    QTest::keyClick(
        QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow(), Qt::Key_Escape);
    EXPECT_FALSE(box.isVisible());
}
