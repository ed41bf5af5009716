// One machine's program for the tests with a real sync client: it saves a
// new day every second for a while, as a person would, and merges the
// conflict copies the sync client leaves in its data folder every quarter
// of a second (of the interval), as the program's watcher of the folder would.
//
//   sync_worker <data directory> <machine id, 12 hex digits> <seconds> <year> [interval ms]
//
// The days are January 1st of <year> onwards, one per second (or one per
// interval), of kinds 1 to 10 in turn. Standard output gets a line per finished step:
//   "S yyyy-MM-dd kind"      a day saved
//   "M <copy> <n>: <dates>"  a copy merged and moved to backup/, with the
//                            dates the data file took from it
//   "E <what>: <message>"    a save or a merge that failed

#include <chrono>
#include <cstdio>
#include <thread>

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include "core/ConflictCopies.h"
#include "core/LeaveStore.h"
#include "platform/DataDirectory.h"
#include "platform/Errors.h"
#include "platform/MachineId.h"

namespace {

void Say(const QString& line)
{
    // The wall clock, as in the names of Syncthing's copies and its log.
    const QString time = QDateTime::currentDateTimeUtc().toString(QStringLiteral("HH:mm:ss.zzz"));
    std::fputs((line + u' ' + time + u'\n').toUtf8().constData(), stdout);
    std::fflush(stdout);
}

void Merge()
{
    try {
        for (const ConflictCopies::DataMerge& merge : ConflictCopies::MergeDataCopies()) {
            if (merge.Error.isEmpty()) {
                QString days;
                for (const LeaveStore::Merged& day : merge.Days)
                    days += QStringLiteral(" %1-%2-%3")
                                .arg(day.After.Year())
                                .arg(day.After.Month())
                                .arg(day.After.Day());
                Say(QStringLiteral("M %1 %2:%3").arg(merge.Copy.section(u'/', -1)).arg(merge.Days.size()).arg(days));
            } else
                Say(QStringLiteral("E merge %1: %2").arg(merge.Copy.section(u'/', -1), merge.Error));
        }
    } catch (const Exception& e) {
        Say(QStringLiteral("E merge: ") + e.Message());
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: sync_worker <dir> <machine id> <seconds> <year>\n");
        return 2;
    }
    SetDataDirectory(QString::fromLocal8Bit(argv[1]));
    const QByteArray idText = QByteArray::fromHex(argv[2]);
    MachineId id {};
    if (idText.size() != int(id.size()))
        return 2;
    std::copy(idText.begin(), idText.end(), id.begin());
    SetThisMachineId(id);
    const int seconds = std::atoi(argv[3]);
    const QDate first(std::atoi(argv[4]), 1, 1);
    const std::chrono::milliseconds interval(argc == 6 ? std::atoi(argv[5]) : 1000);
    const auto tick = interval / 4;

    const auto start = std::chrono::steady_clock::now();
    for (int step = 0; start + step * tick < start + std::chrono::seconds(seconds); ++step) {
        std::this_thread::sleep_until(start + step * tick);
        if (step % 4 == 0) {
            const int n = step / 4;
            const QDate date = first.addDays(n);
            const LeaveStore::DayEntry entry { date.year(), date.month(), date.day(), 1 + n % 10,
                QStringLiteral("m%1").arg(n) };
            try {
                LeaveStore::SaveEntries({ &entry, 1 });
                Say(QStringLiteral("S %1 %2").arg(date.toString(Qt::ISODate)).arg(entry.Kind));
            } catch (const Exception& e) {
                Say(QStringLiteral("E save %1: %2").arg(date.toString(Qt::ISODate), e.Message()));
            }
        }
        Merge();
    }
    return 0;
}
