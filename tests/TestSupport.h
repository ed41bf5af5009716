#pragma once

// Helpers shared by the tests: a temporary data directory, a fixed today and
// scripted answers to the program's modal dialogs.

#include <deque>
#include <optional>

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
        return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
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

    bool PrinterSetup(QWidget*, QPrinter&) override
    {
        if (printerSetupAnswers.empty())
            return false;
        const bool a = printerSetupAnswers.front();
        printerSetupAnswers.pop_front();
        return a;
    }
};
