#pragma once

// The exceptions of the program. Every failure is one of these; a command that
// raises one ends, and the main loop shows the message in the standard error
// box (Application::HandleException). Messages are UTF-8.

#include <exception>

#include <QByteArray>
#include <QString>

class Exception : public std::exception {
public:
    explicit Exception(const QString& message);
    const QString& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// File I/O failures. The message is the Japanese sentence the user sees:
// what was being done, the file and the system's reason (FileErrorMessage);
// a failure raised without a file says the reason alone. ErrorCode() is
// the number the data file's errors have always carried (2 not found,
// 5 access denied, 100 read beyond the end, 101 disk full) or the system's
// error number.
class EInOutError : public Exception {
public:
    EInOutError(const QString& message, int errorCode);
    EInOutError(const QString& message, int errorCode, const QString& reason);
    int ErrorCode() const noexcept { return errorCode_; }
    // The system's reason alone ("ディスクがいっぱいです"), for a message
    // that names the file and the task in words of its own.
    const QString& Reason() const noexcept { return reason_; }

private:
    int errorCode_;
    QString reason_;
};

// What the program was doing with a file when the system refused.
enum class FileTask { Read, Write, Save, Copy, Move, Lock };

// The system's reason for a C library error number, in words the user
// reads: "書き込めません（読み取り専用です）", "フォルダーがありません",
// "ディスクがいっぱいです", "アクセスが拒否されました" ... Given the file,
// a refusal to write a file that is read-only and a missing folder are told
// apart from a plain refusal and a missing file.
QString FileErrorReason(int error, const QString& path = QString(), FileTask task = FileTask::Read);

// "<task>できませんでした。\nファイル: <path>\n理由: <reason>"
QString FileErrorMessage(FileTask task, const QString& path, const QString& reason);

// Raises the error of a failed file operation, naming the task and the file.
[[noreturn]] void RaiseFileError(FileTask task, const QString& path, int error);
// The same without a file: the message is the reason alone.
[[noreturn]] void RaiseInOutError(int error);

// A text that is not a number, and similar conversions.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A date that does not exist ("Invalid argument to date encode").
class EDateError : public EConvertError {
public:
    using EConvertError::EConvertError;
};

// Bad positions, negative sizes, inverted ranges in the grid components.
class ERangeError : public Exception {
public:
    using Exception::Exception;
};

// Other refusals of the grid components and the settings file.
class EGeneralError : public Exception {
public:
    using Exception::Exception;
};

// An operation not allowed in the current state (e.g. printing twice at once).
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// An index outside a list.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// A settings file write that the system refused: "<path> に書き込めません".
class EIniFileError : public Exception {
public:
    using Exception::Exception;
};
