#pragma once

// The modal questions the program asks: message boxes, the one-line input
// box, the open, save and folder dialogs and the printer set-up. All of them pass through one
// DialogHandler, so tests answer them without a window ever waiting.

#include <optional>

#include <QString>
#include <Qt>

class QWidget;
class TPrinter;

enum class MsgIcon { None, Warning, Information, Question, Error };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

struct SaveDialogRequest {
    QString filter; // "description|pattern|description|pattern"
    int filterIndex = 1; // counted from 1
    QString fileName;
    QString title; // empty: the system's own title
};

struct OpenDialogRequest {
    QString filter; // "description|pattern|description|pattern"
    QString title; // empty: the system's own title
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

// The window of the program that is in front: the modal box, else a visible
// dialog that stays on top (the active one first), else the active window.
// The owner of a box that no window asks for.
QWidget* TopWindow();

// Replaces the real dialogs (tests); nullptr brings them back. The handler is
// not owned.
void SetHandler(DialogHandler* handler);

} // namespace Dialogs
