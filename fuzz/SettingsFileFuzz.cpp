// The settings file as it may come from a disk or another editor: any
// bytes. Every key of the program's settings is read (each reader alone and
// the whole-section readers must agree), then one key, chosen by the end of
// the input, is written. The written key must read back, and every other
// key of every section must read as before.

#include <fuzzer/FuzzedDataProvider.h>

#include <map>

#include <QFile>
#include <QStringList>

#include "FuzzSupport.h"
#include "core/Settings.h"
#include "platform/ProfileFile.h"
#include "platform/ShiftJis.h"

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

// Every section name the file may hold, as the settings file reads them.
QStringList SectionNames(const QByteArray& bytes)
{
    QStringList names { QStringLiteral("Version"), QStringLiteral("Dir"), QStringLiteral("Location"),
        QStringLiteral("Size"), QStringLiteral("Start"), QStringLiteral("View"), QStringLiteral("Holiday"),
        QStringLiteral("End") };
    QString text = ShiftJis::ToUnicode(bytes);
    text.replace(u'\r', u'\n');
    for (const QString& line : text.split(u'\n')) {
        const QString trimmed = line.trimmed();
        const qsizetype close = trimmed.indexOf(u']');
        if (trimmed.startsWith(u'[') && close > 0)
            names << trimmed.mid(1, close - 1).trimmed();
    }
    return names;
}

// Section -> key (upper case) -> the values of that key, in file order.
using Snapshot = std::map<QString, std::map<QString, QStringList>>;

Snapshot Take(const ProfileFile& file, const QStringList& sections)
{
    Snapshot snapshot;
    for (const QString& section : sections) {
        auto& keys = snapshot[section.toUpper()];
        for (const auto& [key, value] : file.ReadSection(section))
            keys[key.toUpper()] << value;
    }
    return snapshot;
}

void ReadEveryKey()
{
    const Settings::MainWindow window = Settings::ReadMainWindow();
    const Settings::DaysOff daysOff = Settings::ReadDaysOff();
    const std::array<bool, 7> weekly = Settings::WeeklyDaysOff();
    for (int day = 0; day < 7; ++day) {
        FUZZ_CHECK(Settings::WeeklyDayOff(day) == weekly[size_t(day)]);
        FUZZ_CHECK(daysOff.Weekly[size_t(day)] == weekly[size_t(day)]);
    }
    FUZZ_CHECK(daysOff.NationalHolidays == Settings::HolidaysAreDaysOff());
    FUZZ_CHECK(daysOff.CurrentLaw == Settings::HolidaysByCurrentLaw());
    FUZZ_CHECK(window.Flat == Settings::ToolBarFlat());
    (void)Settings::StartCalendar();
    (void)Settings::CompactAtExit();
    (void)Settings::MonthColumnWidths();
    (void)Settings::HolidayColumnWidths();
}

struct Key {
    const char16_t* section;
    const char16_t* key;
};

constexpr Key Keys[] = { { u"Start", u"Show" }, { u"End", u"Saiteki" }, { u"View", u"Flat" }, { u"Holiday", u"0" },
    { u"Holiday", u"3" }, { u"Holiday", u"7" }, { u"Holiday", u"CurrentLaw" }, { u"Size", u"MTW2" },
    { u"Size", u"HTW4" }, { u"Location", u"Top" }, { u"Size", u"Heighth" }, { u"Version", u"Ver" } };

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Fuzz::UseTemporaryDataDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const Key& chosen = Keys[in.ConsumeIntegralInRange<size_t>(0, std::size(Keys) - 1)];
    const int value = in.ConsumeIntegral<int>();
    const std::string rest = in.ConsumeRemainingBytesAsString();
    const QByteArray original(rest.data(), qsizetype(rest.size()));

    WriteFile(Settings::FilePath(), original);
    ReadEveryKey();

    ProfileFile file = Settings::SharedFile();
    const QString section = QString::fromUtf16(chosen.section);
    const QString key = QString::fromUtf16(chosen.key);
    const QStringList sections = SectionNames(original);
    Snapshot before = Take(file, sections);

    file.WriteInteger(section, key, value);
    FUZZ_CHECK(file.ReadInteger(section, key, value == 0 ? 1 : 0) == value);
    ReadEveryKey();

    // Nothing but the written key changed: its first value in the section
    // may be new, or it was added.
    Snapshot after = Take(file, sections);
    before[section.toUpper()].erase(key.toUpper());
    after[section.toUpper()].erase(key.toUpper());
    FUZZ_CHECK(before == after);
    return 0;
}
