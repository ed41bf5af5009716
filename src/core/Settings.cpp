#include "core/Settings.h"

#include <QHash>

#include "Version.h"
#include "platform/DataDirectory.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace Settings {

namespace {
const QString Version = QStringLiteral("Version");
const QString Dir = QStringLiteral("Dir");
const QString Location = QStringLiteral("Location");
const QString Size = QStringLiteral("Size");
const QString Start = QStringLiteral("Start");
const QString View = QStringLiteral("View");
const QString Holiday = QStringLiteral("Holiday");
const QString End = QStringLiteral("End");
const QString CurrentLaw = QStringLiteral("CurrentLaw");
const QString Chart = QStringLiteral("Chart");

template <size_t N> std::array<int, N> ReadWidths(const QString& prefix, const std::array<int, N>& defaults)
{
    const ProfileFile file = File();
    std::array<int, N> widths {};
    for (size_t i = 0; i < N; ++i)
        widths[i] = file.ReadInteger(Size, prefix + QString::number(i), defaults[i]);
    return widths;
}

template <size_t N> void WriteWidths(const QString& prefix, const std::array<int, N>& widths)
{
    ProfileFile file = File();
    for (size_t i = 0; i < N; ++i)
        file.WriteInteger(Size, prefix + QString::number(i), widths[i]);
}
} // namespace

QString FilePath() { return DataDirectory() + QStringLiteral("orbelund.ini"); }

bool Exists() { return Files::Exists(FilePath()); }

ProfileFile File() { return ProfileFile(FilePath()); }

QString VersionText() { return Text::FormatFloat(QStringLiteral("0.00"), ProgramVersion); }

MainWindow ReadMainWindow()
{
    const ProfileFile file = File();
    const MainWindow defaults;
    MainWindow w;
    w.Top = file.ReadInteger(Location, QStringLiteral("Top"), defaults.Top);
    w.Left = file.ReadInteger(Location, QStringLiteral("Left"), defaults.Left);
    w.Width = file.ReadInteger(Size, QStringLiteral("Width"), defaults.Width);
    w.Height = file.ReadInteger(Size, QStringLiteral("Heighth"), defaults.Height);
    w.ToolBar = file.ReadBool(View, QStringLiteral("ToolBar"), defaults.ToolBar);
    w.StatusBar = file.ReadBool(View, QStringLiteral("StatusBar"), defaults.StatusBar);
    w.Flat = file.ReadBool(View, QStringLiteral("Flat"), defaults.Flat);
    return w;
}

void WriteFirstRunSet()
{
    ProfileFile file = File();
    const MainWindow defaults;
    file.WriteString(Version, QStringLiteral("Ver"), VersionText());
    file.WriteString(Dir, Dir, DataDirectory());
    file.WriteInteger(Location, QStringLiteral("Top"), defaults.Top);
    file.WriteInteger(Location, QStringLiteral("Left"), defaults.Left);
    file.WriteInteger(Size, QStringLiteral("Width"), defaults.Width);
    file.WriteInteger(Size, QStringLiteral("Heighth"), defaults.Height);
    file.WriteInteger(Start, QStringLiteral("Show"), 0);
    file.WriteBool(Holiday, QStringLiteral("0"), true);
    file.WriteBool(Holiday, QStringLiteral("6"), true);
    file.WriteBool(View, QStringLiteral("ToolBar"), defaults.ToolBar);
    file.WriteBool(View, QStringLiteral("StatusBar"), defaults.StatusBar);
    file.WriteBool(View, QStringLiteral("Flat"), defaults.Flat);
}

void WriteProgramEnd(const MainWindow& w)
{
    ProfileFile file = File();
    file.WriteString(Version, QStringLiteral("Ver"), VersionText());
    file.WriteString(Dir, Dir, DataDirectory());
    file.WriteInteger(Location, QStringLiteral("Top"), w.Top);
    file.WriteInteger(Location, QStringLiteral("Left"), w.Left);
    file.WriteInteger(Size, QStringLiteral("Width"), w.Width);
    file.WriteInteger(Size, QStringLiteral("Heighth"), w.Height);
    file.WriteBool(View, QStringLiteral("ToolBar"), w.ToolBar);
    file.WriteBool(View, QStringLiteral("StatusBar"), w.StatusBar);
    file.WriteBool(View, QStringLiteral("Flat"), w.Flat);
}

int StartCalendar() { return File().ReadInteger(Start, QStringLiteral("Show"), 0); }

void WriteStartCalendar(int calendar) { File().WriteInteger(Start, QStringLiteral("Show"), calendar); }

bool ToolBarFlat() { return File().ReadBool(View, QStringLiteral("Flat"), false); }

void WriteToolBarFlat(bool flat) { File().WriteBool(View, QStringLiteral("Flat"), flat); }

bool WeeklyDayOff(int weekday) { return File().ReadBool(Holiday, QString::number(weekday), false); }

std::array<bool, 7> WeeklyDaysOff() { return ReadDaysOff().Weekly; }

void WriteWeeklyDayOff(int weekday, bool dayOff) { File().WriteBool(Holiday, QString::number(weekday), dayOff); }

bool HolidaysAreDaysOff() { return File().ReadBool(Holiday, QStringLiteral("7"), false); }

void WriteHolidaysAreDaysOff(bool daysOff) { File().WriteBool(Holiday, QStringLiteral("7"), daysOff); }

bool HolidaysByCurrentLaw() { return File().ReadBool(Holiday, CurrentLaw, false); }

void WriteHolidaysByCurrentLaw(bool currentLaw) { File().WriteBool(Holiday, CurrentLaw, currentLaw); }

DaysOff ReadDaysOff()
{
    const QList<std::pair<QString, QString>> entries = File().ReadSection(Holiday);
    // The first line of a key counts, as in a single key read.
    const auto flag = [&entries](const QString& name) {
        for (const auto& [k, value] : entries) {
            if (k.compare(name, Qt::CaseInsensitive) == 0)
                return Text::StrToIntDef(value, 0) != 0;
        }
        return false;
    };
    DaysOff days;
    for (int i = 0; i < 7; ++i)
        days.Weekly[size_t(i)] = flag(QString::number(i));
    days.NationalHolidays = flag(QStringLiteral("7"));
    days.CurrentLaw = flag(CurrentLaw);
    return days;
}

bool CompactAtExit() { return File().ReadBool(End, QStringLiteral("Saiteki"), false); }

void WriteCompactAtExit(bool compact) { File().WriteBool(End, QStringLiteral("Saiteki"), compact); }

MonthWidths MonthColumnWidths() { return ReadWidths(QStringLiteral("MTW"), DefaultMonthWidths); }

void WriteMonthColumnWidths(const MonthWidths& widths) { WriteWidths(QStringLiteral("MTW"), widths); }

HolidayWidths HolidayColumnWidths() { return ReadWidths(QStringLiteral("HTW"), DefaultHolidayWidths); }

void WriteHolidayColumnWidths(const HolidayWidths& widths) { WriteWidths(QStringLiteral("HTW"), widths); }

std::optional<WindowBounds> ChartWindowBounds()
{
    QHash<QString, int> values;
    for (const auto& [key, value] : File().ReadSection(Chart)) {
        bool ok = false;
        const int number = value.trimmed().toInt(&ok);
        if (ok)
            values.insert(key.toLower(), number);
    }
    const auto top = values.find(QStringLiteral("top")), left = values.find(QStringLiteral("left")),
               width = values.find(QStringLiteral("width")), height = values.find(QStringLiteral("height"));
    if (top == values.end() || left == values.end() || width == values.end() || height == values.end())
        return std::nullopt;
    return WindowBounds { *top, *left, *width, *height };
}

void WriteChartWindowBounds(const WindowBounds& bounds)
{
    ProfileFile file = File();
    file.WriteInteger(Chart, QStringLiteral("Top"), bounds.Top);
    file.WriteInteger(Chart, QStringLiteral("Left"), bounds.Left);
    file.WriteInteger(Chart, QStringLiteral("Width"), bounds.Width);
    file.WriteInteger(Chart, QStringLiteral("Height"), bounds.Height);
}

} // namespace Settings
