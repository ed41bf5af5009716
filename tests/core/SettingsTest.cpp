#include "core/Settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "platform/Errors.h"
#include "platform/Files.h"

class SettingsTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    QByteArray File() const { return data.Bytes(QStringLiteral("orbelund.ini")); }
    void SetFile(const QByteArray& bytes) const { data.Write(QStringLiteral("orbelund.ini"), bytes); }
};

TEST_F(SettingsTest, FirstRunSetIsWrittenInItsOrder)
{
    Settings::WriteFirstRunSet();
    const QByteArray expected = "[Version]\r\nVer=1.12\r\n"
                                "[Dir]\r\nDir="
        + data.Path().toLocal8Bit()
        + "\r\n"
          "[Location]\r\nTop=10\r\nLeft=10\r\n"
          "[Size]\r\nWidth=640\r\nHeighth=480\r\n"
          "[Start]\r\nShow=0\r\n"
          "[Holiday]\r\n0=1\r\n6=1\r\n"
          "[View]\r\nToolBar=1\r\nStatusBar=1\r\nFlat=0\r\n";
    EXPECT_EQ(File(), expected);
    const std::array<bool, 7> days = Settings::WeeklyDaysOff();
    EXPECT_EQ(days, (std::array<bool, 7> { true, false, false, false, false, false, true }));
    EXPECT_FALSE(Settings::HolidaysAreDaysOff());
}

TEST_F(SettingsTest, MissingFileSectionsAndKeysGiveTheDefaults)
{
    const Settings::MainWindow w = Settings::ReadMainWindow();
    EXPECT_EQ(w.Top, 10);
    EXPECT_EQ(w.Left, 10);
    EXPECT_EQ(w.Width, 640);
    EXPECT_EQ(w.Height, 480);
    EXPECT_TRUE(w.ToolBar);
    EXPECT_TRUE(w.StatusBar);
    EXPECT_FALSE(w.Flat);
    EXPECT_EQ(Settings::StartCalendar(), 0);
    EXPECT_FALSE(Settings::CompactAtExit());
    EXPECT_EQ(Settings::MonthColumnWidths(), Settings::DefaultMonthWidths);
    EXPECT_EQ(Settings::HolidayColumnWidths(), Settings::DefaultHolidayWidths);

    SetFile("[Location]\r\nTop=5\r\n");
    EXPECT_EQ(Settings::ReadMainWindow().Top, 5);
    // without a Holiday section every weekday is a working day
    EXPECT_EQ(Settings::WeeklyDaysOff(), (std::array<bool, 7> {}));
}

TEST_F(SettingsTest, TheHeightKeyIsHeighth)
{
    SetFile("[Size]\r\nHeight=300\r\n");
    EXPECT_EQ(Settings::ReadMainWindow().Height, 480);
    SetFile("[Size]\r\nHeighth=300\r\n");
    EXPECT_EQ(Settings::ReadMainWindow().Height, 300);
}

TEST_F(SettingsTest, NonNumbersReadAsTheDefault)
{
    SetFile("[Start]\r\nShow=month\r\n[Size]\r\nWidth=wide\r\nMTW2=x\r\n[View]\r\nToolBar=yes\r\n");
    EXPECT_EQ(Settings::StartCalendar(), 0);
    EXPECT_EQ(Settings::ReadMainWindow().Width, 640);
    EXPECT_TRUE(Settings::ReadMainWindow().ToolBar);
    EXPECT_EQ(Settings::MonthColumnWidths()[2], 90);
}

TEST_F(SettingsTest, ProgramEndWritesTheFrameAndReadsBackWhatItWrote)
{
    Settings::WriteFirstRunSet();
    Settings::WriteProgramEnd({ 20, 30, 800, 600, false, true, true });
    const Settings::MainWindow w = Settings::ReadMainWindow();
    EXPECT_EQ(w.Top, 20);
    EXPECT_EQ(w.Left, 30);
    EXPECT_EQ(w.Width, 800);
    EXPECT_EQ(w.Height, 600);
    EXPECT_FALSE(w.ToolBar);
    EXPECT_TRUE(w.Flat);
    EXPECT_TRUE(File().contains("[View]\r\nToolBar=0\r\nStatusBar=1\r\nFlat=1\r\n"));
}

TEST_F(SettingsTest, ColumnWidthsAreKeptPerKey)
{
    Settings::WriteMonthColumnWidths({ 41, 42, 93, 124 });
    Settings::WriteHolidayColumnWidths({ 1, 2, 3, 4, 5 });
    EXPECT_EQ(Settings::MonthColumnWidths(), (Settings::MonthWidths { 41, 42, 93, 124 }));
    EXPECT_EQ(Settings::HolidayColumnWidths(), (Settings::HolidayWidths { 1, 2, 3, 4, 5 }));
    EXPECT_EQ(File(),
        QByteArray("[Size]\r\nMTW0=41\r\nMTW1=42\r\nMTW2=93\r\nMTW3=124\r\n"
                   "HTW0=1\r\nHTW1=2\r\nHTW2=3\r\nHTW3=4\r\nHTW4=5\r\n"));
}

// The choice of the holiday table is one key of [Holiday], off unless written,
// and written alone, after the keys already there.
TEST_F(SettingsTest, CurrentLawIsOffUntilTheUserWritesIt)
{
    Settings::WriteFirstRunSet();
    EXPECT_FALSE(Settings::HolidaysByCurrentLaw());
    EXPECT_FALSE(Settings::ReadDaysOff().CurrentLaw);
    const QByteArray before = File();

    // A change the user makes also writes its time; the first-run set has none.
    const auto written = [] {
        return Settings::SharedFile()
            .ReadString(QStringLiteral("Written"), QStringLiteral("Holiday.CurrentLaw"), QString())
            .toLatin1();
    };
    Settings::WriteHolidaysByCurrentLaw(true);
    const QByteArray firstTime = written();
    EXPECT_GT(firstTime.toLongLong(), 0);
    QByteArray expected = before;
    expected.replace("[Holiday]\r\n0=1\r\n6=1\r\n", "[Holiday]\r\n0=1\r\n6=1\r\nCurrentLaw=1\r\n");
    expected += "[Written]\r\nHoliday.CurrentLaw=" + firstTime + "\r\n";
    EXPECT_EQ(File(), expected);
    EXPECT_TRUE(Settings::HolidaysByCurrentLaw());
    const Settings::DaysOff days = Settings::ReadDaysOff();
    EXPECT_TRUE(days.CurrentLaw);
    EXPECT_FALSE(days.NationalHolidays);

    Settings::WriteHolidaysByCurrentLaw(false);
    expected.replace("CurrentLaw=" + firstTime, "CurrentLaw=" + written());
    expected.replace("\nCurrentLaw=1", "\nCurrentLaw=0");
    EXPECT_EQ(File(), expected);
    EXPECT_FALSE(Settings::ReadDaysOff().CurrentLaw);

    SetFile("[holiday]\r\ncurrentlaw=2\r\n7=x\r\n");
    EXPECT_TRUE(Settings::HolidaysByCurrentLaw());
    EXPECT_TRUE(Settings::ReadDaysOff().CurrentLaw);
    EXPECT_FALSE(Settings::ReadDaysOff().NationalHolidays);
    SetFile("[Holiday]\r\nCurrentLaw=yes\r\n");
    EXPECT_FALSE(Settings::ReadDaysOff().CurrentLaw);
}

TEST_F(SettingsTest, AFullDiskRaisesAndLosesNoSetting)
{
    // The first run stops at its first key and leaves no file, so the next
    // start writes the whole set again.
    Files::Faults::FailNth(1);
    try {
        Settings::WriteFirstRunSet();
        ADD_FAILURE() << "first-run set written on a full disk";
    } catch (const EIniFileError& e) {
        EXPECT_EQ(e.Message(), Settings::FilePath() + QStringLiteral(" に書き込めません"));
    }
    Files::Faults::FailNth(0);
    EXPECT_FALSE(Settings::Exists());

    Settings::WriteFirstRunSet();
    const QByteArray settings = File();
    Files::Faults::FailNth(2); // the flush of the first key's write
    EXPECT_THROW(Settings::WriteProgramEnd({ 20, 30, 800, 600, false, true, true }), EIniFileError);
    Files::Faults::FailNth(0);
    EXPECT_EQ(File(), settings);
    EXPECT_EQ(Settings::ReadMainWindow().Width, 640);
}

// A program end that changes nothing must not hand a sync client a new
// version of the file, which would become a conflict copy on the other side.
TEST_F(SettingsTest, ProgramEndWritesTheFileOnlyWhenAValueChanged)
{
    Settings::WriteFirstRunSet();
    const QByteArray settings = File();
    const std::optional<Files::Stamp> before = Files::StampOf(Settings::FilePath());
    Settings::WriteProgramEnd(Settings::MainWindow {});
    EXPECT_EQ(Files::StampOf(Settings::FilePath()), before);
    EXPECT_EQ(File(), settings);

    Settings::WriteProgramEnd({ 10, 10, 641, 480, true, true, false });
    EXPECT_NE(Files::StampOf(Settings::FilePath()), before);
    EXPECT_TRUE(File().contains("Width=641\r\n"));
}

class MovedSettingsTest : public SettingsTest {
protected:
    QTemporaryDir shared;
    void SetUp() override { ASSERT_EQ(StoreDataDirectory(shared.path()), 0); }
    static QByteArray Bytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void Write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Own() const { return Bytes(Settings::MachineFilePath()); }
    QByteArray Shared() const { return Bytes(Settings::FilePath()); }
};

TEST_F(MovedSettingsTest, WindowPlacesStayOnTheMachineAndOptionsGoToTheSharedFile)
{
    ASSERT_TRUE(Settings::Moved());
    Settings::WriteFirstRunSet();
    EXPECT_EQ(Shared(), QByteArray("[Version]\r\nVer=1.12\r\n[Start]\r\nShow=0\r\n[Holiday]\r\n0=1\r\n6=1\r\n"));
    EXPECT_TRUE(Own().startsWith("[Dir]\r\nDir=" + Settings::FilePath().chopped(12).toLocal8Bit() + "\r\n[Location]"));

    const QByteArray shared = Shared();
    Settings::WriteProgramEnd({ 20, 30, 800, 600, false, true, true });
    Settings::WriteMonthColumnWidths({ 41, 42, 93, 124 });
    Settings::WriteChartWindowBounds({ 1, 2, 3, 4 });
    EXPECT_EQ(Shared(), shared);
    EXPECT_TRUE(Own().contains("Top=20\r\nLeft=30\r\n[Size]\r\nWidth=800\r\nHeighth=600\r\nMTW0=41"));
    EXPECT_TRUE(Own().contains("[View]\r\nToolBar=0\r\nStatusBar=1\r\nFlat=1\r\n"));

    Settings::WriteCompactAtExit(true);
    EXPECT_TRUE(Shared().endsWith("[End]\r\nSaiteki=1\r\n[Written]\r\nEnd.Saiteki="
        + QByteArray::number(Settings::SharedFile()
                                 .ReadString(QStringLiteral("Written"), QStringLiteral("End.Saiteki"), QString())
                                 .toLongLong())
        + "\r\n"));
    EXPECT_FALSE(Own().contains("Saiteki"));
    EXPECT_TRUE(Settings::CompactAtExit());
    EXPECT_EQ(Settings::ReadMainWindow().Width, 800);
    EXPECT_EQ(Settings::ChartWindowBounds(), (Settings::WindowBounds { 1, 2, 3, 4 }));
}

// A folder moved by an earlier version holds the window's place in the
// shared file only.
TEST_F(MovedSettingsTest, AKeyTheMachineFileLacksIsReadFromTheSharedFile)
{
    Write(Settings::FilePath(),
        "[Location]\r\nTop=70\r\nLeft=80\r\n[Size]\r\nMTW1=55\r\n[Chart]\r\nTop=1\r\nLeft=2\r\nWidth=3\r\nHeight="
        "4\r\n");
    Write(Settings::MachineFilePath(), "[Location]\r\nTop=5\r\n[Chart]\r\nHeight=9\r\n");
    const Settings::MainWindow w = Settings::ReadMainWindow();
    EXPECT_EQ(w.Top, 5);
    EXPECT_EQ(w.Left, 80);
    EXPECT_EQ(w.Width, 640);
    EXPECT_EQ(Settings::MonthColumnWidths(), (Settings::MonthWidths { 40, 55, 90, 120 }));
    EXPECT_EQ(Settings::ChartWindowBounds(), (Settings::WindowBounds { 1, 2, 3, 9 }));
}
