// The program as an installation presents it: the help that opens, the
// icon of the menu entry, and where the about box says the files are.

#include <vector>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTextBrowser>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QToolButton>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "app/About.h"
#include "app/HelpWindow.h"
#include "app/MainForm.h"
#include "app/ToolImages.h"
#include "platform/Shell.h"
#include "views/ViewsTestSupport.h"

class HelpFallbackTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    QTemporaryDir prefix; // an installation: bin/ and share/valdemor/help/
    QString guide = prefix.path() + QStringLiteral("/share/valdemor/help/index.html");
    std::vector<QString> opened;

    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(prefix.path() + QStringLiteral("/bin")));
        SetProgramDirectory(prefix.path() + QStringLiteral("/bin"));
        Shell::SetOpener([this](const QString& path, const QString&) {
            opened.push_back(path);
            return true;
        });
    }
    void TearDown() override
    {
        Shell::SetOpener({});
        SetProgramDirectory(QString());
    }
    void InstallGuide() const
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(guide).path()));
        QFile file(guide);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<html lang=\"ja\"></html>");
    }
    std::unique_ptr<TMainform> Show()
    {
        auto form = std::make_unique<TMainform>();
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return form;
    }
};

// The program's own window shows the guide; its button hands the page to the browser.
TEST_F(HelpFallbackTest, WithoutAHelpFileTheInstalledGuideOpensInTheHelpWindow)
{
    InstallGuide();
    auto form = Show();
    form->ToolButton11->click();
    auto* window = form->findChild<THelpWindow*>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Browser->source(), QUrl::fromLocalFile(guide));
    EXPECT_TRUE(opened.empty());
    window->BrowserButton->click();
    EXPECT_EQ(opened, std::vector<QString> { guide });
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(HelpFallbackTest, AHelpFileInTheDataFolderComesBeforeTheGuide)
{
    InstallGuide();
    data.Write(QStringLiteral("orbelund.chm"), "help");
    auto form = Show();
    form->Help2->trigger();
    EXPECT_EQ(opened, std::vector<QString> { data.File(QStringLiteral("orbelund.chm")) });
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(HelpFallbackTest, TheWarningComesOnlyWhenNeitherIsThere)
{
    // the guide's folder without the guide is no guide
    ASSERT_TRUE(QDir().mkpath(QFileInfo(guide).path()));
    auto form = Show();
    form->ToolButton11->click();
    EXPECT_TRUE(opened.empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("orbelund.chmファイルが見つかりません！"));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("警告"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Warning);
    EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::Ok);
}

TEST(DesktopIconTest, TheMenuEntrysSmallestIconIsTheTitleBarsIcon)
{
    const QString path = QStringLiteral(VALDEMOR_ICON_DIR "/16/" VALDEMOR_APP_ID ".png");
    const QImage installed(path);
    ASSERT_FALSE(installed.isNull()) << path.toStdString();
    ASSERT_EQ(installed.size(), QSize(16, 16));
    EXPECT_EQ(installed.convertToFormat(QImage::Format_ARGB32),
        ToolImages::Image(0).pixmap(QSize(16, 16), 1.0).toImage().convertToFormat(QImage::Format_ARGB32));

    // the larger ones are the same picture, sharp: each pixel of the small
    // one is a block of one colour
    const QImage large = QImage(QStringLiteral(VALDEMOR_ICON_DIR "/64/" VALDEMOR_APP_ID ".png"))
                             .convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(large.size(), QSize(64, 64));
    const QImage small = installed.convertToFormat(QImage::Format_ARGB32);
    int differing = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            differing += large.pixel(x, y) != small.pixel(x / 4, y / 4);
    EXPECT_EQ(differing, 0);
}

class AboutNoticeTest : public ::testing::Test {
protected:
    ScriptedDialogs dialogs;
};

TEST_F(AboutNoticeTest, TheNoticeSaysWhereTheFilesAreWithTheHomeFolderAsTilde)
{
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    {
        TempDataDirectory data; // a folder outside the home folder
        ASSERT_TRUE(QDir().mkpath(home.path() + QStringLiteral("/.local/share/Valdemor")));
        SetDataDirectory(home.path() + QStringLiteral("/.local/share/Valdemor"));
        ProgramWindows program(data);
        EXPECT_EQ(AboutBox->Copyright->text(), QStringLiteral("保存先: ~/.local/share/Valdemor/"));
        EXPECT_EQ(AboutBox->Copyright->toolTip(), home.path() + QStringLiteral("/.local/share/Valdemor/"));
    }
    qputenv("HOME", oldHome);
}

TEST_F(AboutNoticeTest, ALongFolderLosesItsMiddleAndStaysOneLineInsideThePanel)
{
    TempDataDirectory data;
    const QString deep
        = data.Path() + QStringLiteral("a-rather-long-folder-name/and-another-one/とても長いフォルダー名");
    ASSERT_TRUE(QDir().mkpath(deep));
    SetDataDirectory(deep);
    ProgramWindows program(data);
    const QString notice = AboutBox->Copyright->text();
    EXPECT_TRUE(notice.startsWith(QStringLiteral("保存先: "))) << notice.toStdString();
    EXPECT_TRUE(notice.contains(QChar(0x2026))) << notice.toStdString();
    EXPECT_TRUE(notice.endsWith(QStringLiteral("名/"))) << notice.toStdString();
    EXPECT_FALSE(notice.contains(u'\n'));
    EXPECT_LE(AboutBox->Copyright->geometry().right(), AboutBox->Panel1->width() - 3);
    EXPECT_EQ(AboutBox->Copyright->toolTip(), deep + u'/');
}
