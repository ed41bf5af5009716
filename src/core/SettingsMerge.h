#pragma once

// A sync client's conflict copy of the shared settings file, taken back in
// key by key.

#include <QString>
#include <QStringList>

// Merges the settings file at `copyPath` into the shared orbelund.ini. A key
// that both files hold with different values takes the value changed later,
// by the times in the files' [Written] sections (a key without one is older
// than any); at equal times, the value of the file written later (by
// modification time; at the same time the shared file's value stays). The
// time of each value taken comes with it. A key that only one of them holds
// is kept. While the data
// folder is shared with other machines, the copy's window places, widths
// and bars are another machine's and are left out. The shared file is
// replaced once, all or nothing, and not at all when nothing changes; the
// copy itself stays where it is.
//
// Returns what changed, as the options dialog and the menus name it
// ("休日設定（火）", "祝日も休日とする", "有給休暇の設定" ...), each once.
// A copy that cannot be read raises EInOutError naming it; a shared file
// that cannot be written raises EIniFileError and keeps every setting.
QStringList MergeSettingsCopy(const QString& copyPath);
