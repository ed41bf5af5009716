#pragma once

// Helpers shared by the tests: a temporary data directory, a fixed today and
// scripted answers to the program's modal dialogs.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <deque>
#include <functional>
#include <optional>

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDate>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include "platform/DataDirectory.h"
#include "platform/Dates.h"
#include "platform/Dialogs.h"

// Points the program's files at a fresh temporary directory for the life of
// the object.
class TempDataDirectory {
public:
    TempDataDirectory() { SetDataDirectory(dir_.path()); }
    ~TempDataDirectory() { SetDataDirectory(QString()); }
    QString Path() const { return DataDirectory(); }
    QString File(const QString& name) const { return DataDirectory() + name; }
    QByteArray Bytes(const QString& name) const
    {
        QFile f(File(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void Write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(File(name));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(bytes);
    }

private:
    QTemporaryDir dir_;
};

// Runs `body` as an ordinary user and gives its result: a superuser ignores
// file permissions, so a test of a file that may not be read or written runs
// it in a child process as "nobody". Nothing when that is impossible (the
// caller skips). The body must not use GoogleTest's checks; it returns a code.
inline std::optional<int> RunUnprivileged(const std::function<int()>& body)
{
    if (::geteuid() != 0)
        return body();
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody)
        return std::nullopt;
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    constexpr int CannotDrop = 125;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        int code = CannotDrop;
        if (::setgroups(0, nullptr) == 0 && ::setgid(gid) == 0 && ::setuid(uid) == 0) {
            try {
                code = body();
            } catch (...) {
                code = 124;
            }
        }
        ::_exit(code);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    if (!WIFEXITED(status))
        return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    if (WEXITSTATUS(status) == CannotDrop)
        return std::nullopt;
    return WEXITSTATUS(status);
}

// A data file's bytes with the write time and writer of every whole record
// (bytes 2 to 15) set to zero, for comparing records by what they hold; a
// part record at the end is left as it is.
inline QByteArray WithoutStamps(QByteArray bytes)
{
    constexpr qsizetype RecordSize = 64, From = 2, To = 16;
    for (qsizetype at = 0; at + RecordSize <= bytes.size(); at += RecordSize)
        std::fill(bytes.begin() + at + From, bytes.begin() + at + To, '\0');
    return bytes;
}

class FixedToday {
public:
    explicit FixedToday(const QDate& date) { Dates::SetToday(date); }
    ~FixedToday() { Dates::SetToday(std::nullopt); }
};

// Records every modal question and answers from queues (default: OK / No /
// cancelled). Installed for the life of the object.
class ScriptedDialogs final : public DialogHandler {
public:
    struct Message {
        QString text, caption;
        MsgIcon icon;
        MsgButtons buttons;
    };

    ScriptedDialogs() { Dialogs::SetHandler(this); }
    ~ScriptedDialogs() override { Dialogs::SetHandler(nullptr); }

    std::deque<Message> messages;
    std::deque<MsgAnswer> answers;
    std::deque<std::optional<QString>> inputAnswers;
    struct Input {
        QString caption, prompt, text;
    };
    std::deque<Input> inputRequests;
    std::deque<std::optional<SaveDialogAnswer>> saveAnswers;
    std::deque<SaveDialogRequest> saveRequests;
    std::deque<std::optional<QString>> openAnswers;
    std::deque<OpenDialogRequest> openRequests;
    std::deque<std::optional<QString>> folderAnswers;
    std::deque<bool> printerSetupAnswers;

    MsgAnswer MessageBox(
        QWidget*, const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons) override
    {
        messages.push_back({ text, caption, icon, buttons });
        if (!answers.empty()) {
            const MsgAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        // What Enter answers.
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
    }
    std::optional<QString> InputBox(
        QWidget*, const QString& caption, const QString& prompt, const QString& text) override
    {
        inputRequests.push_back({ caption, prompt, text });
        return Take(inputAnswers);
    }
    std::optional<SaveDialogAnswer> SaveDialog(QWidget*, const SaveDialogRequest& request) override
    {
        saveRequests.push_back(request);
        return Take(saveAnswers);
    }
    std::optional<QString> OpenDialog(QWidget*, const OpenDialogRequest& request) override
    {
        openRequests.push_back(request);
        return Take(openAnswers);
    }
    std::optional<QString> FolderDialog(QWidget*, const QString&, const QString&) override
    {
        return Take(folderAnswers);
    }
    // The next scripted answer; "cancelled" when none is left.
    template <class T> static std::optional<T> Take(std::deque<std::optional<T>>& answers)
    {
        std::optional<T> answer;
        if (!answers.empty()) {
            answer.swap(answers.front());
            answers.pop_front();
        }
        return answer;
    }

    bool PrinterSetup(QWidget*, TPrinter&) override
    {
        if (printerSetupAnswers.empty())
            return false;
        const bool a = printerSetupAnswers.front();
        printerSetupAnswers.pop_front();
        return a;
    }
};
