#include "platform/Errors.h"

#include <cerrno>

#include <QDir>
#include <QFileInfo>

#include "platform/Files.h"

Exception::Exception(const QString& message)
    : message_(message)
    , utf8_(message.toUtf8())
{
}

EInOutError::EInOutError(const QString& message, int errorCode)
    : EInOutError(message, errorCode, message)
{
}

EInOutError::EInOutError(const QString& message, int errorCode, const QString& reason)
    : Exception(message)
    , errorCode_(errorCode)
    , reason_(reason)
{
}

namespace {

// The numbers the data file's errors have always carried.
int CodeOf(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return 2;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EISDIR:
        return 5;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return 101;
    default:
        return error;
    }
}

bool FolderMissing(const QString& path) { return !QFileInfo(QFileInfo(path).absolutePath()).isDir(); }

} // namespace

QString FileErrorReason(int error, const QString& path, FileTask task)
{
    const bool writing
        = task == FileTask::Write || task == FileTask::Save || task == FileTask::Copy || task == FileTask::Move;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return !path.isEmpty() && FolderMissing(path) ? QStringLiteral("フォルダーがありません")
                                                      : QStringLiteral("ファイルがありません");
    case EACCES:
    case EPERM:
        if (writing && !path.isEmpty() && Files::IsReadOnly(path))
            return QStringLiteral("書き込めません（読み取り専用です）");
        return QStringLiteral("アクセスが拒否されました");
    case EROFS:
        return QStringLiteral("書き込めません（読み取り専用です）");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクがいっぱいです");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます");
    case EISDIR:
        return QStringLiteral("同じ名前のフォルダーがあります");
    case ETXTBSY:
    case EBUSY:
        return QStringLiteral("ほかのプログラムが使用中です");
    case EAGAIN:
        return QStringLiteral("一時的に使用できません");
    case EIO:
        return QStringLiteral("装置の入出力エラーです");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます");
    case ELOOP:
        return QStringLiteral("シンボリックリンクが循環しています");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます");
    case EEXIST:
        return QStringLiteral("同じ名前のファイルがすでにあります");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("装置がないか、読み手のいないパイプです");
    case EPIPE:
        return QStringLiteral("書き込み先が閉じられました");
    case EINVAL:
        return QStringLiteral("ファイル名か操作が正しくありません");
    case EXDEV:
        return QStringLiteral("別のドライブには移せません");
    case ESTALE:
        return QStringLiteral("ネットワーク上のファイルが無効になりました");
    case ENOMEM:
        return QStringLiteral("メモリーが足りません");
    default:
        return QStringLiteral("システムエラーが発生しました（エラー番号 %1）").arg(error);
    }
}

QString FileErrorMessage(FileTask task, const QString& path, const QString& reason)
{
    QString doing;
    switch (task) {
    case FileTask::Read:
        doing = QStringLiteral("ファイルを読み込めませんでした");
        break;
    case FileTask::Write:
        doing = QStringLiteral("ファイルに書き込めませんでした");
        break;
    case FileTask::Save:
        doing = QStringLiteral("ファイルを保存できませんでした");
        break;
    case FileTask::Copy:
        doing = QStringLiteral("ファイルをコピーできませんでした");
        break;
    case FileTask::Move:
        doing = QStringLiteral("ファイルを移動できませんでした");
        break;
    case FileTask::Lock:
        doing = QStringLiteral("ロックファイルを開けませんでした");
        break;
    }
    return QStringLiteral("%1。\nファイル: %2\n理由: %3").arg(doing, QDir::toNativeSeparators(path), reason);
}

void RaiseFileError(FileTask task, const QString& path, int error)
{
    const QString reason = FileErrorReason(error, path, task);
    throw EInOutError(FileErrorMessage(task, path, reason), CodeOf(error), reason);
}

void RaiseInOutError(int error)
{
    const QString reason = FileErrorReason(error);
    throw EInOutError(reason, CodeOf(error), reason);
}
