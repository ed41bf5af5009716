#include "platform/Dialogs.h"

#include <algorithm>
#include <map>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStringList>
#include <QTimer>

#include "platform/FixedDialog.h"
#include "platform/Printer.h"

namespace {

// A window manager's title bar, with its buttons and bold type, cuts a
// caption that is wider than the box ("Valdemor" over a short error). Qt
// sizes a message box to its text and fixes it there, whatever its minimum
// width, so a spacer across its layout asks for the room instead.
void MakeRoomForCaption(QDialog& box)
{
    const int width = TitleBarWidthFor(box.windowTitle());
    if (qobject_cast<QMessageBox*>(&box) == nullptr) {
        box.setMinimumWidth(std::max(box.minimumWidth(), width));
        return;
    }
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const QMargins margins = grid->contentsMargins();
        grid->addItem(new QSpacerItem(width - margins.left() - margins.right(), 0, QSizePolicy::Fixed),
            grid->rowCount(), 0, 1, grid->columnCount());
    }
}

// A modal box comes up above every window of the program, the dialogs that
// stay on top included (one hidden behind them would leave the program
// looking frozen), wide enough for its caption, and takes the keyboard focus
// once it is up; once it is answered, its owner has the focus again.
int RunInFront(QDialog& box)
{
    MakeRoomForCaption(box);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    QTimer::singleShot(0, &box, [&box] {
        box.raise();
        box.activateWindow();
    });
    const int result = box.exec();
    // The keyboard goes back to the window the box was asked from, so that
    // the user carries on there: a window manager passes the activation to
    // a window of its own choice, and openbox passes over tool windows such
    // as the entry dialog, whose input would then take no keys.
    if (QWidget* owner = box.parentWidget(); owner != nullptr && owner->isVisible()) {
        owner->raise();
        owner->activateWindow();
    }
    return result;
}

QWidget* OwnerOr(QWidget* owner) { return owner ? owner->window() : Dialogs::TopWindow(); }

QStringList FilterList(const QString& filter)
{
    // "description|pattern|..." becomes Qt's "description (pattern)" entries.
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        result << parts[i] + QStringLiteral(" (") + parts[i + 1].split(u';').join(u' ') + u')';
    return result;
}

class QtDialogs final : public DialogHandler {
public:
    MsgAnswer MessageBox(
        QWidget* owner, const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons) override
    {
        const std::unique_ptr<QMessageBox> box = Dialogs::MakeMessageBox(owner, text, caption, icon, buttons);
        return Dialogs::AnswerOf(RunInFront(*box), buttons);
    }

    std::optional<QString> InputBox(
        QWidget* owner, const QString& caption, const QString& prompt, const QString& text) override
    {
        QInputDialog box(OwnerOr(owner));
        box.setWindowTitle(caption);
        box.setLabelText(prompt);
        box.setTextValue(text);
        if (RunInFront(box) != QDialog::Accepted)
            return std::nullopt;
        return box.textValue();
    }

    std::optional<SaveDialogAnswer> SaveDialog(QWidget* owner, const SaveDialogRequest& request) override
    {
        const QStringList filters = FilterList(request.filter);
        QFileDialog dialog(OwnerOr(owner), request.title);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // The program asks its own overwrite question after the extension
        // rule; the dialog asking too would ask twice, and about another name.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setNameFilters(filters);
        if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
            dialog.selectNameFilter(filters[request.filterIndex - 1]);
        dialog.selectFile(request.fileName);
        if (RunInFront(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return SaveDialogAnswer { dialog.selectedFiles().first(),
            int(filters.indexOf(dialog.selectedNameFilter())) + 1 };
    }

    std::optional<QString> OpenDialog(QWidget* owner, const OpenDialogRequest& request) override
    {
        QFileDialog dialog(OwnerOr(owner), request.title);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters(FilterList(request.filter));
        if (!request.folder.isEmpty())
            dialog.setDirectory(request.folder);
        if (RunInFront(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().first();
    }

    std::optional<QString> FolderDialog(QWidget* owner, const QString& title, const QString& start) override
    {
        QFileDialog dialog(OwnerOr(owner), title, start);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        if (RunInFront(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().first();
    }

    bool PrinterSetup(QWidget* owner, TPrinter& printer) override
    {
        const std::unique_ptr<QDialog> dialog = printer.SetUpDialog(OwnerOr(owner));
        return RunInFront(*dialog) == QDialog::Accepted;
    }
};

QtDialogs realDialogs;
DialogHandler* current = &realDialogs;

} // namespace

namespace Dialogs {

MsgAnswer MessageBox(QWidget* owner, const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons)
{
    return current->MessageBox(owner, text, caption, icon, buttons);
}

std::optional<QString> InputBox(QWidget* owner, const QString& caption, const QString& prompt, const QString& text)
{
    return current->InputBox(owner, caption, prompt, text);
}

namespace {

// The folder of the last file chosen of each kind, for this run.
std::map<QString, QString>& LastFolders()
{
    static std::map<QString, QString> folders;
    return folders;
}

QString LastFolder(const QString& kind)
{
    const auto found = LastFolders().find(kind);
    return kind.isEmpty() || found == LastFolders().end() || !QFileInfo(found->second).isDir() ? QString()
                                                                                               : found->second;
}

void Remember(const QString& kind, const QString& path)
{
    if (!kind.isEmpty() && !path.isEmpty())
        LastFolders()[kind] = QFileInfo(path).absolutePath();
}

} // namespace

std::optional<SaveDialogAnswer> SaveDialog(QWidget* owner, const SaveDialogRequest& request)
{
    SaveDialogRequest asked = request;
    if (const QString folder = LastFolder(request.kind); !folder.isEmpty())
        asked.fileName = QDir(folder).filePath(QFileInfo(request.fileName).fileName());
    std::optional<SaveDialogAnswer> answer = current->SaveDialog(owner, asked);
    if (answer)
        Remember(request.kind, answer->path);
    return answer;
}

std::optional<QString> OpenDialog(QWidget* owner, const OpenDialogRequest& request)
{
    OpenDialogRequest asked = request;
    if (const QString folder = LastFolder(request.kind); !folder.isEmpty())
        asked.folder = folder;
    std::optional<QString> path = current->OpenDialog(owner, asked);
    if (path)
        Remember(request.kind, *path);
    return path;
}

std::optional<QString> FolderDialog(QWidget* owner, const QString& title, const QString& start)
{
    return current->FolderDialog(owner, title, start);
}

bool PrinterSetup(QWidget* owner, TPrinter& printer) { return current->PrinterSetup(owner, printer); }

std::unique_ptr<QMessageBox> MakeMessageBox(
    QWidget* owner, const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons)
{
    auto box = std::make_unique<QMessageBox>(OwnerOr(owner));
    box->setWindowTitle(caption);
    box->setText(text);
    switch (icon) {
    case MsgIcon::None:
        box->setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Warning:
        box->setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Information:
        box->setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Question:
        box->setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Error:
        box->setIcon(QMessageBox::Critical);
        break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        box->setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::YesNo:
        // Qt would make はい the default; Enter keeps what is there instead.
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::No);
        box->setEscapeButton(QMessageBox::No);
        break;
    case MsgButtons::ReplaceOrKeep:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box->setDefaultButton(QMessageBox::No);
        box->setEscapeButton(QMessageBox::Cancel);
        break;
    }
    return box;
}

MsgAnswer AnswerOf(int result, MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgAnswer::Ok;
    case MsgButtons::YesNo:
        return result == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
    case MsgButtons::ReplaceOrKeep:
        return result == QMessageBox::Yes ? MsgAnswer::Yes
            : result == QMessageBox::No   ? MsgAnswer::No
                                          : MsgAnswer::Cancel;
    }
    return MsgAnswer::Cancel;
}

QWidget* TopWindow()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    // A dialog that stays on top is above the active window even while it
    // is not active itself (it was just shown, say).
    QWidget* onTop = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint)
            && !window->windowFlags().testFlag(Qt::ToolTip) && (!onTop || window->isActiveWindow()))
            onTop = window;
    }
    if (onTop)
        return onTop;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    // No window of the program is active (the desktop has not yet given the
    // activation back after a closed dialog, or the user works elsewhere):
    // the program's own window, so that a box does not come up in the middle
    // of the screen, away from it.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowType() == Qt::Window && window->parentWidget() == nullptr)
            return window;
    }
    return nullptr;
}

void SetHandler(DialogHandler* handler) { current = handler ? handler : &realDialogs; }

} // namespace Dialogs
