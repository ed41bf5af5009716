#include "platform/Application.h"

#include <functional>
#include <stdexcept>

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/FixedDialog.h"

TEST(ApplicationTest, TheTitleLeavesTheCaptionsOfOtherWindowsAsTheyAre)
{
    const QString displayName = QGuiApplication::applicationDisplayName();
    Application::SetTitle(QStringLiteral("Valdemor"));
    EXPECT_EQ(Application::Title(), QStringLiteral("Valdemor"));
    // The desktop appends the display name to every window's caption, which
    // would turn "入力画面" into "入力画面 — Valdemor".
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), displayName);
    Application::SetTitle(QString());
}

namespace {

// What a box looked like once it was up, seen from inside its own event loop.
struct SeenBox {
    bool up = false;
    bool staysOnTop = false;
    bool active = false;
    bool hasFocus = false;
    QWidget* owner = nullptr;
    QString text;
    QString caption;
    int width = 0;
    QRect frame;
};

// Watches for the modal box the next call brings up, notes what it sees once
// the box is active (or after two seconds), then answers it with `answer`.
void WatchNextBox(SeenBox& seen, std::function<void(QDialog&)> answer)
{
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [=, &seen] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!box || (!box->isActiveWindow() && clock->elapsed() < 2000))
            return;
        seen.up = true;
        seen.staysOnTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        seen.active = box->isActiveWindow();
        seen.hasFocus = QApplication::focusWidget() && box->isAncestorOf(QApplication::focusWidget());
        seen.owner = box->parentWidget();
        seen.caption = box->windowTitle();
        seen.width = box->width();
        seen.frame = box->frameGeometry();
        if (auto* message = qobject_cast<QMessageBox*>(box))
            seen.text = message->text();
        timer->stop();
        timer->deleteLater();
        delete clock;
        answer(*box);
    });
    timer->start(10);
}

class ApplicationBoxTest : public ::testing::Test {
protected:
    // A dialog of the program that stays on top, just shown; the main
    // window behind it is the active one.
    QWidget main;
    QWidget dialog { &main, Qt::Tool | Qt::WindowStaysOnTopHint };

    void SetUp() override
    {
        Application::SetTitle(QStringLiteral("Valdemor"));
        main.resize(300, 200);
        main.show();
        main.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
        dialog.resize(100, 100);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    void TearDown() override { Application::SetTitle(QString()); }
};

} // namespace

TEST_F(ApplicationBoxTest, TheErrorBoxComesUpAboveADialogThatStaysOnTopWithTheFocus)
{
    SeenBox seen;
    WatchNextBox(seen, [](QDialog& box) { box.accept(); });
    Application::HandleException(std::runtime_error("Invalid argument to date encode"));
    ASSERT_TRUE(seen.up);
    EXPECT_EQ(seen.text, QStringLiteral("Invalid argument to date encode"));
    EXPECT_TRUE(seen.staysOnTop);
    EXPECT_EQ(seen.owner, &dialog);
    EXPECT_TRUE(seen.active);
    EXPECT_TRUE(seen.hasFocus);
}

TEST_F(ApplicationBoxTest, MessageAndInputBoxesComeUpInFrontToo)
{
    SeenBox seen;
    WatchNextBox(seen, [](QDialog& box) { box.done(QMessageBox::Yes); });
    EXPECT_EQ(Dialogs::MessageBox(
                  &main, QStringLiteral("消しますか"), QStringLiteral("確認"), MsgIcon::Question, MsgButtons::YesNo),
        MsgAnswer::Yes);
    EXPECT_TRUE(seen.staysOnTop);
    EXPECT_TRUE(seen.active);

    SeenBox input;
    WatchNextBox(input, [](QDialog& box) {
        static_cast<QInputDialog&>(box).setTextValue(QStringLiteral("2010"));
        box.accept();
    });
    EXPECT_EQ(Dialogs::InputBox(nullptr, QStringLiteral("年度"), QStringLiteral("年度を入力"), QStringLiteral("1999")),
        QStringLiteral("2010"));
    EXPECT_TRUE(input.staysOnTop);
    EXPECT_EQ(input.owner, &dialog);
    EXPECT_TRUE(input.active);
}

TEST_F(ApplicationBoxTest, EnterOnAQuestionKeepsWhatIsThereAndEscCancelsAReplace)
{
    const auto keyInto
        = [](Qt::Key key) { return [key](QDialog&) { QTest::keyClick(QApplication::focusWidget(), key); }; };
    for (const MsgButtons buttons : { MsgButtons::YesNo, MsgButtons::ReplaceOrKeep }) {
        SeenBox seen;
        WatchNextBox(seen, keyInto(Qt::Key_Return));
        EXPECT_EQ(Dialogs::MessageBox(
                      &main, QStringLiteral("上書きしますか？"), QStringLiteral("確認"), MsgIcon::Warning, buttons),
            MsgAnswer::No);
        ASSERT_TRUE(seen.hasFocus);
    }
    SeenBox seen;
    WatchNextBox(seen, keyInto(Qt::Key_Escape));
    EXPECT_EQ(Dialogs::MessageBox(&main, QStringLiteral("上書きしますか？"), QStringLiteral("確認"), MsgIcon::Warning,
                  MsgButtons::ReplaceOrKeep),
        MsgAnswer::Cancel);
}

TEST_F(ApplicationBoxTest, AnAnsweredBoxGivesTheKeyboardBackToTheDialogItCameFrom)
{
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == &dialog; }));
    SeenBox seen;
    WatchNextBox(seen, [this](QDialog& box) {
        box.done(QMessageBox::No);
        main.activateWindow(); // as a window manager may, when the box goes
    });
    Dialogs::MessageBox(
        &dialog, QStringLiteral("上書きしますか？"), QStringLiteral("確認"), MsgIcon::Warning, MsgButtons::YesNo);
    ASSERT_TRUE(seen.up);
    EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == &dialog; }));
}

TEST_F(ApplicationBoxTest, BoxesAreWideEnoughForTheTitleBarToShowTheirCaptions)
{
    SeenBox error;
    WatchNextBox(error, [](QDialog& box) { box.accept(); });
    Application::HandleException(std::runtime_error("Disk full"));
    ASSERT_TRUE(error.up);
    EXPECT_EQ(error.caption, QStringLiteral("Valdemor"));
    EXPECT_GE(error.width, TitleBarWidthFor(error.caption));

    SeenBox message;
    WatchNextBox(message, [](QDialog& box) { box.accept(); });
    Dialogs::MessageBox(&main, QStringLiteral("データがありません。"), QStringLiteral("最終更新日時表示"));
    ASSERT_TRUE(message.up);
    EXPECT_GE(message.width, TitleBarWidthFor(message.caption));
}

// A long message of several lines, as a file error has, comes up in the
// middle of the program's window, also while the desktop has not (yet) made
// that window the active one, as after a closed save dialog.
TEST_F(ApplicationBoxTest, AnErrorBoxComesUpInTheMiddleOfItsWindow)
{
    dialog.hide();
    main.setGeometry(100, 80, 600, 450); // within the screen
    QApplication::processEvents();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    SeenBox error;
    WatchNextBox(error, [](QDialog& box) { box.accept(); });
    Application::HandleException(Exception(QStringLiteral("ファイルを保存できませんでした。\nファイル: "
                                                          "/home/user/Documents/年度カレンダー(2026年度).csv\n"
                                                          "理由: 書き込めません（読み取り専用です）")));
    ASSERT_TRUE(error.up);
    const QPoint offset = error.frame.center() - main.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 4) << offset.x() << "," << offset.y();
}
