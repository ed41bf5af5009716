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

// File I/O failures: "File not found", "File access denied", "Disk full",
// "Read beyond end of file", "I/O error %d".
class EInOutError : public Exception {
public:
    EInOutError(const QString& message, int errorCode);
    int ErrorCode() const noexcept { return errorCode_; }

private:
    int errorCode_;
};

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
