#include "core/Settings.h"

#include <QDateTime>
#include <QHash>

#include "Version.h"
#include "platform/DataDirectory.h"
#include "platform/Files.h"
#include "platform/ShiftJis.h"
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

// The keys that belong to one machine: where its windows stand, its column
// widths and bars, and the path its data folder has there. When the data
// folder was moved to one that several machines share, these stay in the
// machine's own settings file; every other key lives in the shared one.
// A key of "*" stands for every key of the section.
struct MachineKey {
    QStringView section;
    QStringView key;
};
constexpr MachineKey MachineKeys[] = {
    { u"Location", u"Top" },
    { u"Location", u"Left" },
    { u"Size", u"Width" },
    { u"Size", u"Heighth" },
    { u"Size", u"MTW0" },
    { u"Size", u"MTW1" },
    { u"Size", u"MTW2" },
    { u"Size", u"MTW3" },
    { u"Size", u"HTW0" },
    { u"Size", u"HTW1" },
    { u"Size", u"HTW2" },
    { u"Size", u"HTW3" },
    { u"Size", u"HTW4" },
    { u"View", u"ToolBar" },
    { u"View", u"StatusBar" },
    { u"View", u"Flat" },
    { u"Chart", u"*" },
    { u"Dir", u"Dir" },
};

// A key of this machine that its own file lacks is read from the shared
// file, where a folder moved by an earlier version of the program keeps it.
QString Read(const QString& section, const QString& key, const QString& defaultValue)
{
    if (!IsMachineKey(section, key) || !Moved())
        return SharedFile().ReadString(section, key, defaultValue);
    const QString own = MachineFile().ReadString(section, key, QString());
    if (!own.isNull())
        return own;
    return SharedFile().ReadString(section, key, defaultValue);
}

int ReadInteger(const QString& section, const QString& key, int defaultValue)
{
    return Text::StrToIntDef(Read(section, key, QString()), defaultValue);
}

bool ReadBool(const QString& section, const QString& key, bool defaultValue)
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

// Whether writing the value changes what a read of the key gives: blanks
// around it and characters Shift-JIS cannot hold do not count.
bool Changes(const QList<ProfileFile::Entry>& current, const ProfileFile::Entry& write)
{
    for (const ProfileFile::Entry& entry : current) {
        if (entry.section.compare(write.section, Qt::CaseInsensitive) == 0
            && entry.key.compare(write.key, Qt::CaseInsensitive) == 0)
            return entry.value != ShiftJis::ToUnicode(ShiftJis::FromUnicode(write.value)).trimmed();
    }
    return true;
}

// Whether a change of the key is given a time in [Written]: every option
// the machines share, but not the program version or a machine's own keys.
bool Timed(const ProfileFile::Entry& write)
{
    return !IsMachineKey(write.section, write.key) && write.section.compare(Version, Qt::CaseInsensitive) != 0;
}

enum class Stamping { Now, None };

// Writes the keys in this order, one replace of each file they go to. With
// Stamping::Now, each shared option whose value changes also gets the time
// of the write in [Written], in the same replace.
void Write(const QList<ProfileFile::Entry>& writes, Stamping stamping = Stamping::Now)
{
    QList<ProfileFile::Entry> shared, own;
    for (const ProfileFile::Entry& write : writes)
        (IsMachineKey(write.section, write.key) && Moved() ? own : shared).append(write);
    if (!shared.isEmpty()) {
        ProfileFile file = SharedFile();
        if (stamping == Stamping::Now) {
            const QList<ProfileFile::Entry> current = file.ReadAll();
            const QString now = QString::number(QDateTime::currentMSecsSinceEpoch());
            QList<ProfileFile::Entry> times;
            for (const ProfileFile::Entry& write : std::as_const(shared)) {
                if (Timed(write) && Changes(current, write))
                    times.append({ WrittenSection(), WrittenKey(write.section, write.key), now });
            }
            shared.append(times);
        }
        file.WriteStrings(shared);
    }
    if (!own.isEmpty())
        MachineFile().WriteStrings(own);
}

void WriteString(const QString& section, const QString& key, const QString& value)
{
    Write({ { section, key, value } });
}
void WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}
QString Bool(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }
void WriteBool(const QString& section, const QString& key, bool value) { WriteString(section, key, Bool(value)); }

template <size_t N> std::array<int, N> ReadWidths(const QString& prefix, const std::array<int, N>& defaults)
{
    std::array<int, N> widths {};
    for (size_t i = 0; i < N; ++i)
        widths[i] = ReadInteger(Size, prefix + QString::number(i), defaults[i]);
    return widths;
}

template <size_t N> void WriteWidths(const QString& prefix, const std::array<int, N>& widths)
{
    QList<ProfileFile::Entry> writes;
    for (size_t i = 0; i < N; ++i)
        writes.append({ Size, prefix + QString::number(i), QString::number(widths[i]) });
    Write(writes);
}
} // namespace

void WriteOptions(const QList<ProfileFile::Entry>& writes) { Write(writes); }

QString WrittenSection() { return QStringLiteral("Written"); }

QString WrittenKey(const QString& section, const QString& key) { return section + u'.' + key; }

bool IsMachineKey(const QString& section, const QString& key)
{
    for (const MachineKey& own : MachineKeys) {
        if (section.compare(own.section, Qt::CaseInsensitive) == 0
            && (own.key == u"*" || key.compare(own.key, Qt::CaseInsensitive) == 0))
            return true;
    }
    return false;
}

QString FilePath() { return DataDirectory() + QStringLiteral("orbelund.ini"); }

QString MachineFilePath() { return DefaultDataDirectory() + QStringLiteral("orbelund.ini"); }

bool Moved() { return FilePath() != MachineFilePath(); }

bool Exists() { return Files::Exists(FilePath()); }

ProfileFile SharedFile() { return ProfileFile(FilePath()); }

ProfileFile MachineFile() { return ProfileFile(MachineFilePath()); }

QString VersionText() { return Text::FormatFloat(QStringLiteral("0.00"), ProgramVersion); }

MainWindow ReadMainWindow()
{
    const MainWindow defaults;
    MainWindow w;
    w.Top = ReadInteger(Location, QStringLiteral("Top"), defaults.Top);
    w.Left = ReadInteger(Location, QStringLiteral("Left"), defaults.Left);
    w.Width = ReadInteger(Size, QStringLiteral("Width"), defaults.Width);
    w.Height = ReadInteger(Size, QStringLiteral("Heighth"), defaults.Height);
    w.ToolBar = ReadBool(View, QStringLiteral("ToolBar"), defaults.ToolBar);
    w.StatusBar = ReadBool(View, QStringLiteral("StatusBar"), defaults.StatusBar);
    w.Flat = ReadBool(View, QStringLiteral("Flat"), defaults.Flat);
    return w;
}

void WriteFirstRunSet()
{
    const MainWindow defaults;
    Write(
        {
            { Version, QStringLiteral("Ver"), VersionText() },
            { Dir, Dir, DataDirectory() },
            { Location, QStringLiteral("Top"), QString::number(defaults.Top) },
            { Location, QStringLiteral("Left"), QString::number(defaults.Left) },
            { Size, QStringLiteral("Width"), QString::number(defaults.Width) },
            { Size, QStringLiteral("Heighth"), QString::number(defaults.Height) },
            { Start, QStringLiteral("Show"), QStringLiteral("0") },
            { Holiday, QStringLiteral("0"), Bool(true) },
            { Holiday, QStringLiteral("6"), Bool(true) },
            { View, QStringLiteral("ToolBar"), Bool(defaults.ToolBar) },
            { View, QStringLiteral("StatusBar"), Bool(defaults.StatusBar) },
            { View, QStringLiteral("Flat"), Bool(defaults.Flat) },
        },
        Stamping::None);
}

void WriteProgramEnd(const MainWindow& w)
{
    Write({
        { Version, QStringLiteral("Ver"), VersionText() },
        { Dir, Dir, DataDirectory() },
        { Location, QStringLiteral("Top"), QString::number(w.Top) },
        { Location, QStringLiteral("Left"), QString::number(w.Left) },
        { Size, QStringLiteral("Width"), QString::number(w.Width) },
        { Size, QStringLiteral("Heighth"), QString::number(w.Height) },
        { View, QStringLiteral("ToolBar"), Bool(w.ToolBar) },
        { View, QStringLiteral("StatusBar"), Bool(w.StatusBar) },
        { View, QStringLiteral("Flat"), Bool(w.Flat) },
    });
}

int StartCalendar() { return ReadInteger(Start, QStringLiteral("Show"), 0); }

void WriteStartCalendar(int calendar) { WriteInteger(Start, QStringLiteral("Show"), calendar); }

bool ToolBarFlat() { return ReadBool(View, QStringLiteral("Flat"), false); }

bool WeeklyDayOff(int weekday) { return ReadBool(Holiday, QString::number(weekday), false); }

std::array<bool, 7> WeeklyDaysOff() { return ReadDaysOff().Weekly; }

void WriteWeeklyDayOff(int weekday, bool dayOff) { WriteBool(Holiday, QString::number(weekday), dayOff); }

bool HolidaysAreDaysOff() { return ReadBool(Holiday, QStringLiteral("7"), false); }

void WriteHolidaysAreDaysOff(bool daysOff) { WriteBool(Holiday, QStringLiteral("7"), daysOff); }

bool HolidaysByCurrentLaw() { return ReadBool(Holiday, CurrentLaw, false); }

void WriteHolidaysByCurrentLaw(bool currentLaw) { WriteBool(Holiday, CurrentLaw, currentLaw); }

DaysOff ReadDaysOff()
{
    const QList<std::pair<QString, QString>> entries = SharedFile().ReadSection(Holiday);
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

bool CompactAtExit() { return ReadBool(End, QStringLiteral("Saiteki"), false); }

void WriteCompactAtExit(bool compact) { WriteBool(End, QStringLiteral("Saiteki"), compact); }

MonthWidths MonthColumnWidths() { return ReadWidths(QStringLiteral("MTW"), DefaultMonthWidths); }

void WriteMonthColumnWidths(const MonthWidths& widths) { WriteWidths(QStringLiteral("MTW"), widths); }

HolidayWidths HolidayColumnWidths() { return ReadWidths(QStringLiteral("HTW"), DefaultHolidayWidths); }

void WriteHolidayColumnWidths(const HolidayWidths& widths) { WriteWidths(QStringLiteral("HTW"), widths); }

std::optional<WindowBounds> ChartWindowBounds()
{
    // Key by key, this machine's own file before the shared one.
    QHash<QString, int> values;
    const auto take = [&values](const ProfileFile& file) {
        for (const auto& [key, value] : file.ReadSection(Chart)) {
            bool ok = false;
            const int number = value.trimmed().toInt(&ok);
            if (ok && !values.contains(key.toLower()))
                values.insert(key.toLower(), number);
        }
    };
    if (Moved())
        take(MachineFile());
    take(SharedFile());
    const auto top = values.find(QStringLiteral("top")), left = values.find(QStringLiteral("left")),
               width = values.find(QStringLiteral("width")), height = values.find(QStringLiteral("height"));
    if (top == values.end() || left == values.end() || width == values.end() || height == values.end())
        return std::nullopt;
    return WindowBounds { *top, *left, *width, *height };
}

void WriteChartWindowBounds(const WindowBounds& bounds)
{
    Write({
        { Chart, QStringLiteral("Top"), QString::number(bounds.Top) },
        { Chart, QStringLiteral("Left"), QString::number(bounds.Left) },
        { Chart, QStringLiteral("Width"), QString::number(bounds.Width) },
        { Chart, QStringLiteral("Height"), QString::number(bounds.Height) },
    });
}

} // namespace Settings
