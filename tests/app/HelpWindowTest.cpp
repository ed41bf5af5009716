// The user guide in the program's own help window, opened from the menu by
// its keys and read with the keyboard, as installed beside the program.

#include "app/HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPushButton>
#include <QTextBrowser>
#include <QTemporaryDir>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "views/ViewsTestSupport.h"
#include "app/MainForm.h"
#include "platform/DataDirectory.h"

namespace {

void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// The guide as an installation lays it out: bin/ beside share/valdemor/help/.
class InstalledGuide {
public:
    InstalledGuide()
    {
        const QString help = dir_.path() + QStringLiteral("/share/valdemor/help/");
        QDir().mkpath(help);
        QDir().mkpath(dir_.path() + QStringLiteral("/bin"));
        const QString source = QStringLiteral(VALDEMOR_SOURCE_DIR);
        for (const QString& page : QDir(source + QStringLiteral("/packaging/help")).entryList(QDir::Files))
            QFile::copy(source + QStringLiteral("/packaging/help/") + page, help + page);
        for (const QString& picture : QDir(source + QStringLiteral("/docs")).entryList({ QStringLiteral("*.png") }))
            QFile::copy(source + QStringLiteral("/docs/") + picture, help + picture);
        SetProgramDirectory(dir_.path() + QStringLiteral("/bin"));
    }
    ~InstalledGuide() { SetProgramDirectory(QString()); }

private:
    QTemporaryDir dir_;
};

} // namespace

TEST(HelpWindowTest, TheGuideOpensFromTheMenuAndItsLinksAndPicturesWork)
{
    TempDataDirectory data;
    InstalledGuide guide;
    ProgramWindows program(data);
    ASSERT_TRUE(BecomesActive(&program.Main()));
    Press(Qt::Key_H, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_H);

    auto* window = program.Main().findChild<THelpWindow*>();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(BecomesActive(window));
    EXPECT_TRUE(window->Browser->source().toLocalFile().endsWith(QStringLiteral("/help/index.html")));
    EXPECT_EQ(window->Browser->documentTitle(), QStringLiteral("Valdemor ヘルプ"));
    EXPECT_FALSE(window->BackButton->isEnabled());

    // Tab to the first link of the contents, Enter follows it.
    ASSERT_EQ(QApplication::focusWidget(), window->Browser);
    Press(Qt::Key_Tab);
    Press(Qt::Key_Return);
    EXPECT_TRUE(window->Browser->source().toLocalFile().endsWith(QStringLiteral("/help/calendars.html")));
    const QVariant picture
        = window->Browser->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("year-calendar.png")));
    EXPECT_FALSE(picture.value<QByteArray>().isEmpty() && picture.value<QImage>().isNull());
    EXPECT_TRUE(window->BackButton->isEnabled());

    Press(Qt::Key_B, Qt::AltModifier); // 戻る
    EXPECT_TRUE(window->Browser->source().toLocalFile().endsWith(QStringLiteral("/help/index.html")));
    EXPECT_TRUE(window->ForwardButton->isEnabled());
    Press(Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

// The program run from its build folder shows the guide copied beside it.
TEST(HelpWindowTest, ABuiltCopyShowsTheGuideBesideIt)
{
    TempDataDirectory data;
    SetProgramDirectory(QFileInfo(QStringLiteral(VALDEMOR_EXE)).absolutePath());
    ProgramWindows program(data);
    program.Main().OpenHelpFile();
    auto* window = program.Main().findChild<THelpWindow*>();
    SetProgramDirectory(QString());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Browser->source().toLocalFile(),
        QFileInfo(QStringLiteral(VALDEMOR_EXE)).absolutePath() + QStringLiteral("/help/index.html"));
    window->Browser->setSource(QUrl(QStringLiteral("calendars.html")));
    const QVariant picture
        = window->Browser->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("year-calendar.png")));
    EXPECT_FALSE(QImage::fromData(picture.toByteArray()).isNull());
}
