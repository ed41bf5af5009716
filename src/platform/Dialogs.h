#pragma once

// The modal questions the program asks: message boxes, the one-line input
// box, the open, save and folder dialogs and the printer set-up. All of them pass through one
// DialogHandler, so tests answer them without a window ever waiting.

#include <memory>
#include <optional>

#include <QString>
#include <Qt>

class QMessageBox;
class QWidget;
class TPrinter;

enum class MsgIcon { None, Warning, Information, Question, Error };
// Every question keeps what is there when the user just presses Enter: its
// default button is いいえ. A question whose はい replaces or removes data (a
// data file, a day's leave, a backup, a file of the user's) is asked with
// ReplaceOrKeep: はい, いいえ and キャンセル, いいえ the default and Esc
// キャンセル; its text says what would be lost.
enum class MsgButtons { Ok, YesNo, ReplaceOrKeep };
enum class MsgAnswer { Ok, Yes, No, Cancel };

// A dialog asked with a `kind` (".csv", ".pdf", "import" ...) opens in the
// folder where the user last chose a file of that kind in this run.
struct SaveDialogRequest {
    QString filter; // "description|pattern|description|pattern"
    int filterIndex = 1; // counted from 1
    QString fileName; // put in the last folder of the kind, if there was one
    QString title; // empty: the system's own title
    QString kind;
};

struct OpenDialogRequest {
    QString filter; // "description|pattern|description|pattern"
    QString title; // empty: the system's own title
    QString kind;
    QString folder; // where it opens: the last folder of the kind; empty: the system's choice
};

struct SaveDialogAnswer {
    QString path;
    int filterIndex = 1;
};

class DialogHandler {
public:
    virtual ~DialogHandler() = default;
    virtual MsgAnswer MessageBox(
        QWidget* owner, const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons)
        = 0;
    virtual std::optional<QString> InputBox(
        QWidget* owner, const QString& caption, const QString& prompt, const QString& text)
        = 0;
    virtual std::optional<SaveDialogAnswer> SaveDialog(QWidget* owner, const SaveDialogRequest& request) = 0;
    // The path of an existing file the user chose; nothing when cancelled.
    virtual std::optional<QString> OpenDialog(QWidget* owner, const OpenDialogRequest& request) = 0;
    // The folder the user chose, starting from `start`; nothing when cancelled.
    virtual std::optional<QString> FolderDialog(QWidget* owner, const QString& title, const QString& start) = 0;
    // True when the user confirmed; the printer then carries the choices.
    virtual bool PrinterSetup(QWidget* owner, TPrinter& printer) = 0;
};

namespace Dialogs {

MsgAnswer MessageBox(QWidget* owner, const QString& text, const QString& caption, MsgIcon icon = MsgIcon::None,
    MsgButtons buttons = MsgButtons::Ok);
std::optional<QString> InputBox(QWidget* owner, const QString& caption, const QString& prompt, const QString& text);
std::optional<SaveDialogAnswer> SaveDialog(QWidget* owner, const SaveDialogRequest& request);
std::optional<QString> OpenDialog(QWidget* owner, const OpenDialogRequest& request);
std::optional<QString> FolderDialog(QWidget* owner, const QString& title, const QString& start);
bool PrinterSetup(QWidget* owner, TPrinter& printer);

// The box the real dialogs show for a message: its icon, buttons and default
// button as the program asks every question (the monkey runs the same box).
std::unique_ptr<QMessageBox> MakeMessageBox(
    QWidget* owner, const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons);
// What the user answered with the result of that box's exec().
MsgAnswer AnswerOf(int result, MsgButtons buttons);

// The window of the program that is in front: the modal box, else a visible
// dialog that stays on top (the active one first), else the active window,
// else (no window of the program active) the program's main window. The
// owner of a box that no window asks for.
QWidget* TopWindow();

// Replaces the real dialogs (tests); nullptr brings them back. The handler is
// not owned.
void SetHandler(DialogHandler* handler);

} // namespace Dialogs
