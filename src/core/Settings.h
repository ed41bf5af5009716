#pragma once

// The settings file orbelund.ini in the data directory, key by key. Nothing is
// cached: every read opens the file, so it sees every earlier write of the run.
// A missing file, section or key, or a value that is not a number, gives the
// default; a refused write raises EIniFileError "<path> に書き込めません".
//
//   [Version] Ver          text, program version ("1.12"), written only
//   [Dir]     Dir          text, data directory, written only
//   [Location] Top, Left   main window position            10, 10
//   [Size]    Width, Heighth  main window size ("Heighth")  640, 480
//             MTW0..MTW3   month calendar column widths    40, 40, 90, 120
//             HTW0..HTW4   holiday list column widths      40, 70, 40, 60, 150
//   [Start]   Show         calendar at start: 0 year, 1 month, 2 holidays   0
//   [View]    ToolBar, StatusBar, Flat                     1, 1, 0
//   [Holiday] 0..6         Sunday..Saturday are weekly days off   0
//             7            national holidays are days off too     0
//             CurrentLaw   holidays by the Act on National Holidays as
//                          amended, not the program's own table   0
//   [End]     Saiteki      compact the data file at exit          0
//   [Chart]   Top, Left, Width, Height  the window of charts, written
//                          only once the user moved or resized it

#include <array>
#include <optional>

#include <QString>

#include "platform/ProfileFile.h"

namespace Settings {

// Where the data folder was moved to one that several machines share, the
// keys of one machine ([Location], [Size] Width, Heighth, MTW0..3, HTW0..4,
// [View] ToolBar, StatusBar, Flat, [Chart], [Dir]) are kept in the settings
// file of the machine's own folder (DefaultDataDirectory()); every other key
// is kept in the shared file in the data folder. Before a move the two are
// one file. A key of the machine's that its own file lacks is read from the
// shared file (where an earlier version left it), then the default.
bool IsMachineKey(const QString& section, const QString& key);

// Every later change of a shared option through these functions also writes
// the time of the change, in ms since 1970-01-01 UTC, as the line
// "<Section>.<Key>=<time>" of section [Written] of the shared file (e.g.
// "Holiday.0=1765178000000"), in the same replace. The first-run set,
// [Version] and a machine's own keys get no time; a key without one is
// older than any. Older versions pass the section over.
// Writes the keys, each to the file it belongs to, in one replace of each
// file (none when no value changes); a shared option that changes gets its
// time in [Written]. Raises EIniFileError when a file cannot be written.
void WriteOptions(const QList<ProfileFile::Entry>& writes);

QString WrittenSection();
QString WrittenKey(const QString& section, const QString& key);

// The shared file: the one that is backed up and moved with the data.
QString FilePath();
// The machine's own file; the shared one while the data folder was not moved.
QString MachineFilePath();
bool Moved();
bool Exists();
ProfileFile SharedFile();
ProfileFile MachineFile();

// The program version as "1.12", with the decimal separator.
QString VersionText();

struct MainWindow {
    int Top = 10;
    int Left = 10;
    int Width = 640;
    int Height = 480;
    bool ToolBar = true;
    bool StatusBar = true;
    bool Flat = false;
};

MainWindow ReadMainWindow();

// Written when the main window first shows and no settings file exists, each
// key to its own file, in this order: Ver, Dir, Top, Left, Width, Heighth, Show, Holiday 0 and 6
// (Sunday and Saturday off), ToolBar, StatusBar, Flat.
void WriteFirstRunSet();

// Written at program end: Ver, Dir, the window's bounds and its bars. A file
// whose keys already hold these values is not written at all.
void WriteProgramEnd(const MainWindow& window);

// 0 fiscal-year calendar, 1 month calendar, 2 holiday calendar; other values
// are returned as they are (the caller opens the fiscal-year calendar).
int StartCalendar();
void WriteStartCalendar(int calendar);

bool ToolBarFlat();

// weekday 0 = Sunday ... 6 = Saturday
bool WeeklyDayOff(int weekday);
std::array<bool, 7> WeeklyDaysOff();
void WriteWeeklyDayOff(int weekday, bool dayOff);

bool HolidaysAreDaysOff();

// The whole [Holiday] section from one reading of the file.
struct DaysOff {
    std::array<bool, 7> Weekly {}; // Sunday ... Saturday
    bool NationalHolidays = false;
    bool CurrentLaw = false; // which holidays, when NationalHolidays is on
};
DaysOff ReadDaysOff();
void WriteHolidaysAreDaysOff(bool daysOff);

// Not part of the first-run set: written only when the user changes it.
bool HolidaysByCurrentLaw();
void WriteHolidaysByCurrentLaw(bool currentLaw);

bool CompactAtExit();
void WriteCompactAtExit(bool compact);

using MonthWidths = std::array<int, 4>;
using HolidayWidths = std::array<int, 5>;
inline constexpr MonthWidths DefaultMonthWidths { 40, 40, 90, 120 };
inline constexpr HolidayWidths DefaultHolidayWidths { 40, 70, 40, 60, 150 };

MonthWidths MonthColumnWidths();
void WriteMonthColumnWidths(const MonthWidths& widths);
HolidayWidths HolidayColumnWidths();
void WriteHolidayColumnWidths(const HolidayWidths& widths);

// Where the window of charts stands: nothing until the user moved or
// resized it, or when a key is missing.
struct WindowBounds {
    int Top = 0;
    int Left = 0;
    int Width = 0;
    int Height = 0;
    friend bool operator==(const WindowBounds&, const WindowBounds&) = default;
};
std::optional<WindowBounds> ChartWindowBounds();
void WriteChartWindowBounds(const WindowBounds& bounds);

} // namespace Settings
