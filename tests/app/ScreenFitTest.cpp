// Every window of the program opens within the available area of its screen:
// on small screens scaled to 200 %, each window is opened in a run of this
// test program on such a screen.

#include <memory>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/About.h"
#include "app/DataFolderForm.h"
#include "app/Eopf.h"
#include "app/HelpWindow.h"
#include "app/MainForm.h"
#include "app/Program.h"
#include "platform/DataDirectory.h"
#include "reports/CalMF.h"
#include "reports/Calf.h"
#include "reports/ChartWindow.h"
#include "reports/PaidLeaveWindow.h"
#include "reports/SelCalF.h"
#include "reports/priansf.h"
#include "views/Chymf.h"
#include "views/Inputf.h"
#include "views/Rangef.h"
#include "views/RestoreForm.h"
#include "views/ViewsTestSupport.h"

namespace {

bool InScreenRun() { return qEnvironmentVariableIsSet("VALDEMOR_SCREEN_RUN"); }

} // namespace

// Run on the screen the test below sets up.
TEST(ScreenFit, EveryWindowOpensWithinTheScreen)
{
    if (!InScreenRun())
        GTEST_SKIP() << "run by ScreenFit.SmallScreensAtTwiceTheScale";
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    // Saved larger than any of the screens.
    data.Write(QStringLiteral("orbelund.ini"), "[Size]\r\nWidth=1600\r\nHeighth=1200\r\n");
    SetProgramDirectory(QFileInfo(QStringLiteral(VALDEMOR_EXE)).absolutePath());
    std::unique_ptr<TMainform> main(CreateProgramWindows());
    for (QWidget* window :
        { static_cast<QWidget*>(InputForm), static_cast<QWidget*>(OpForm), static_cast<QWidget*>(AboutBox),
            static_cast<QWidget*>(SelCalform), static_cast<QWidget*>(priansform), static_cast<QWidget*>(RangeForm),
            static_cast<QWidget*>(ChYMForm), static_cast<QWidget*>(RestoreForm), static_cast<QWidget*>(DataFolderForm),
            static_cast<QWidget*>(CalForm), static_cast<QWidget*>(CalMForm), static_cast<QWidget*>(PaidLeaveForm) })
        window->show();
    PaidLeaveForm->Button1->click(); // its settings
    ShowChartWindow(main.get());
    main->OpenHelpFile();
    SetProgramDirectory(QString());
    QTest::qWait(50);

    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    int shown = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        EXPECT_TRUE(area.contains(window->frameGeometry()))
            << window->objectName().toStdString() << " " << window->frameGeometry().width() << "x"
            << window->frameGeometry().height() << " on " << area.width() << "x" << area.height();
        ++shown;
    }
    EXPECT_GE(shown, 16);
    const QRect close(ChartForm->BitBtn1->mapToGlobal(QPoint()), ChartForm->BitBtn1->size());
    EXPECT_TRUE(area.contains(close));
}

TEST(ScreenFit, SmallScreensAtTwiceTheScale)
{
    if (InScreenRun())
        GTEST_SKIP();
    for (const auto& [width, height, scale] :
        { std::tuple(1280, 1024, 2), std::tuple(1024, 768, 2), std::tuple(1024, 768, 1) }) {
        QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral("screen.json"));
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("{\"screens\": [{\"name\": \"screen\", \"x\": 0, \"y\": 0, \"width\": %1, "
                                  "\"height\": %2}]}")
                       .arg(width)
                       .arg(height)
                       .toUtf8());
        file.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config);
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale));
        env.insert(QStringLiteral("VALDEMOR_SCREEN_RUN"), QStringLiteral("1"));
        QProcess run;
        run.setProcessEnvironment(env);
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("--gtest_filter=ScreenFit.EveryWindowOpensWithinTheScreen") });
        ASSERT_TRUE(run.waitForFinished(120000));
        const QString out = QString::fromUtf8(run.readAll());
        EXPECT_EQ(run.exitCode(), 0) << width << "x" << height << " at " << scale << "x\n" << out.toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("[  PASSED  ] 1 test"))) << out.toStdString();
    }
}
