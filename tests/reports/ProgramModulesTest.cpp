// The real program, copied into a temporary folder that is its data folder,
// with the menu driver preloaded to choose a menu command once its window is
// up: the Qt libraries that only the program's modules use are loaded when
// the command first needs them, not at start.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ProgramModulesTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString module = dir.path() + QStringLiteral("/valdemor-charts.so");

    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(QStringLiteral(VALDEMOR_EXE), dir.path() + QStringLiteral("/valdemor")));
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("run")));
        QFile::setPermissions(dir.path() + QStringLiteral("/run"),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    // What the driver reported, line by line, once it is done; the program
    // must then still be running.
    QStringList Choose(const QString& command, const QString& library) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path() + QStringLiteral("/run"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(MENU_DRIVER));
        env.insert(QStringLiteral("DRIVE_COMMAND"), command);
        env.insert(QStringLiteral("DRIVE_LIBRARY"), library);
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(dir.path() + QStringLiteral("/valdemor"), {});
        QByteArray out;
        while (!out.contains("done\n") && program.waitForReadyRead(20000))
            out += program.readAllStandardOutput();
        EXPECT_EQ(program.state(), QProcess::Running) << program.readAllStandardError().toStdString();
        program.kill();
        program.waitForFinished(10000);
        return QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
    }
    QStringList ChooseCharts() const { return Choose(QStringLiteral("G1"), QStringLiteral("libQt6Charts")); }
};

} // namespace

TEST_F(ProgramModulesTest, QtChartsIsLoadedOnlyWhenTheWindowFirstOpens)
{
    ASSERT_TRUE(QFile::copy(QStringLiteral(VALDEMOR_CHART_MODULE), module));
    const QStringList report = ChooseCharts();
    EXPECT_EQ(report,
        (QStringList { QStringLiteral("before 0"), QStringLiteral("shown ChartForm Mainform"),
            QStringLiteral("after 1"), QStringLiteral("done") }));
}

TEST_F(ProgramModulesTest, AModuleMissingOrBrokenIsReportedAndTheProgramGoesOn)
{
    const QString cannot = QStringLiteral("box 「休暇のグラフ」を開けません。");
    const QString after = QStringLiteral("\nshown Mainform\nafter 0\ndone");
    const QString missing = ChooseCharts().join(u'\n');
    EXPECT_TRUE(missing.startsWith(QStringLiteral("before 0\n") + cannot
        + QStringLiteral("グラフのモジュールが見つかりません:\n") + module + u'\n'))
        << missing.toStdString();
    EXPECT_TRUE(missing.endsWith(after)) << missing.toStdString();

    QFile broken(module);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a module");
    broken.close();
    const QString refused = ChooseCharts().join(u'\n');
    EXPECT_TRUE(
        refused.startsWith(QStringLiteral("before 0\n") + cannot + module + QStringLiteral(" を読み込めません:\n")))
        << refused.toStdString();
    EXPECT_TRUE(refused.endsWith(after)) << refused.toStdString();

    // A library that loads but is another module: the printing module under
    // the chart module's name.
    ASSERT_TRUE(QFile::remove(module));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VALDEMOR_PRINT_MODULE), module));
    EXPECT_EQ(ChooseCharts().join(u'\n'),
        QStringLiteral("before 0\n") + cannot + module + QStringLiteral(" はグラフのモジュールではありません。")
            + after);
}

// Printing's library waits for the first print, even with the print dialog
// open (printing itself is the command line's PDF export test).
TEST_F(ProgramModulesTest, QtPrintSupportIsNotLoadedAtStartNorByThePrintDialog)
{
    const QStringList report = Choose(QStringLiteral("Print1"), QStringLiteral("libQt6PrintSupport"));
    EXPECT_EQ(report,
        (QStringList { QStringLiteral("before 0"), QStringLiteral("shown Mainform priansform"),
            QStringLiteral("after 0"), QStringLiteral("done") }));
}
