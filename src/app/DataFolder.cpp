#include "app/DataFolder.h"

#include <QDir>
#include <QFileInfo>

#include "core/DataFolderMove.h"
#include "core/LeaveStore.h"
#include "core/Settings.h"
#include "platform/Application.h"
#include "platform/DataDirectory.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/RecordFile.h"

namespace {

QString Shown(const QString& folder) { return QDir::toNativeSeparators(folder); }

// The words of the I/O error for an error number ("Disk full", ...).
QString Reason(int error)
{
    try {
        RaiseInOutError(error);
    } catch (const EInOutError& e) {
        return e.Message();
    }
}

void TakeOverProgramFolderData()
{
    const QString program = ProgramDirectory();
    const QString data = DataDirectory();
    const QString dataFile = QFileInfo(LeaveStore::FilePath()).fileName();
    const QString settingsFile = QFileInfo(Settings::FilePath()).fileName();
    // A folder the user chose holds the data as the move left it.
    if (data == program || Files::Exists(DataPointerPath()) || !Files::Exists(program + dataFile)
        || Files::Exists(data + dataFile))
        return;

    // The settings first: the data file in the user's folder is what tells
    // the next start that the data was taken over.
    int error = 0;
    bool settingsCopied = false;
    if (Files::Exists(program + settingsFile) && !Files::Exists(data + settingsFile)) {
        error = Files::CopyNew(program + settingsFile, data + settingsFile);
        settingsCopied = error == 0;
    }
    if (error == 0)
        error = Files::CopyNew(program + dataFile, data + dataFile);

    if (error != 0) {
        // An empty calendar in place of the user's records would look like
        // lost data: show them from where they are, even if they cannot be
        // changed there.
        SetDataDirectory(program);
        Dialogs::MessageBox(nullptr,
            QStringLiteral("%1 のデータファイルを %2 にコピーできませんでした（%3）。\n"
                           "%1 のデータを表示しますが、このフォルダーに書き込めない間は変更を保存できません。")
                .arg(Shown(program), Shown(data), Reason(error)),
            QStringLiteral("警告"), MsgIcon::Warning);
        return;
    }
    Dialogs::MessageBox(nullptr,
        QStringLiteral("%1 の%2を %3 にコピーしました。以後のデータはこのフォルダーに保存されます。")
            .arg(Shown(program),
                settingsCopied ? QStringLiteral("データファイルと設定ファイル") : QStringLiteral("データファイル"),
                Shown(data)),
        Application::Title(), MsgIcon::Information);
}

// A chosen folder that is not there now (a network drive not mounted, a
// sync folder removed), or a pointer that names none, is not followed; the
// user must know that the calendar shows the data of the default folder
// instead, and why.
void WarnOfPointerNotFollowed()
{
    const QString problem = DataPointerProblem();
    if (problem.isEmpty())
        return;
    Dialogs::MessageBox(nullptr,
        QStringLiteral("%1 に書かれたデータの保存先を使えません（%2）。\n%3 のデータを表示します。")
            .arg(Shown(DataPointerPath()), problem, Shown(DataDirectory())),
        QStringLiteral("警告"), MsgIcon::Warning);
}

} // namespace

void PrepareDataFolder()
{
    WarnOfPointerNotFollowed();
    TakeOverProgramFolderData();
    DataFolderMove::CleanUpInterruptedMove();
    DataFolderMove::RemoveLeftovers(DataDirectory());
}
