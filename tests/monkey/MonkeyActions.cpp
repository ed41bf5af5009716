// The actions of the monkey: what a user can do in the windows that are open.
//
// Left out, because they reach outside the run's folder or end the run:
//   終了 (Exit1) ends the program, so it is never chosen;
//   the desktop's "open" of a file (the help file, the help window's browser
//   button) is answered by a stand-in that accepts and opens nothing;
//   the desktop notice of paid leave goes to a bus connection that does not
//   exist, so the program takes its own fallback, as without a desktop;
//   prints go to a PDF file in the run's folder, and the printer set-up is
//   answered without a dialog.
// A data folder typed into データの保存先 lies inside the run's folder, as the
// working directory is the run's folder and a move to a folder outside it is
// answered いいえ.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "Monkey.h"
#include "app/MainForm.h"
#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "platform/DesktopNotice.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

namespace {

QString Name(const QWidget& w)
{
    if (auto* sub = qobject_cast<const QMdiSubWindow*>(&w); sub && sub->widget())
        return Name(*sub->widget());
    return QString::fromLatin1(w.metaObject()->className())
        + (w.objectName().isEmpty() ? QString() : u'/' + w.objectName());
}

// The program's windows a user sees: the top-level windows and the calendars
// inside the main window, in an order that does not depend on addresses, so
// that a seed replays the same run.
QList<QWidget*> VisibleWindows()
{
    QList<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowType() != Qt::ToolTip && w->windowType() != Qt::Popup)
            windows << w;
    }
    std::stable_sort(windows.begin(), windows.end(), [](const QWidget* a, const QWidget* b) {
        return std::pair(Name(*a), a->winId()) < std::pair(Name(*b), b->winId());
    });
    if (Mainform) {
        for (QMdiSubWindow* sub : Mainform->MdiArea()->subWindowList()) {
            if (sub->isVisible())
                windows << sub;
        }
    }
    return windows;
}

struct KeyChoice {
    int key;
    Qt::KeyboardModifiers modifiers;
};

KeyChoice RandomKey(Chance& chance)
{
    static const int keys[] = { Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape,
        Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home,
        Qt::Key_End, Qt::Key_Space, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_F1, Qt::Key_F5 };
    switch (chance.Below(6)) {
    case 0:
        return { Qt::Key_A + chance.Below(26), Qt::NoModifier };
    case 1:
        return { Qt::Key_0 + chance.Below(10), Qt::NoModifier };
    case 2: // a mnemonic of a menu or a button
        return { Qt::Key_A + chance.Below(26), Qt::AltModifier };
    case 3: // undo, redo and the like
        return { Qt::Key_A + chance.Below(26), Qt::ControlModifier };
    default:
        return { keys[chance.Below(std::size(keys))], Qt::NoModifier };
    }
}

// Qt's calendar popup opens an editor for a typed date on a printable key,
// and leaks that editor's validator when the calendar is destroyed within
// the editor's 1.5-second delay: Qt's leak, not the program's, and one that
// the sanitizers would report at every such end. In a calendar the monkey
// presses a key that moves through it instead.
KeyChoice OutsideCalendars(KeyChoice key, const QWidget* target)
{
    const bool printable = key.key >= Qt::Key_Space && key.key <= Qt::Key_AsciiTilde;
    for (const QWidget* w = target; printable && w; w = w->parentWidget()) {
        if (qobject_cast<const QCalendarWidget*>(w))
            return { Qt::Key_Down, Qt::NoModifier };
    }
    return key;
}

QString KeyText(const KeyChoice& k) { return QKeySequence(k.modifiers | Qt::Key(k.key)).toString(); }

} // namespace

MonkeyRun& CurrentRun()
{
    static MonkeyRun run;
    return run;
}

bool MonkeyFolders::Holds(const QString& path) const
{
    const QString clean = QDir::cleanPath(QDir(root).absoluteFilePath(path));
    return clean == root || clean.startsWith(root + u'/');
}

// The program's one dialog seam: every message box, input box, open and save
// dialog and the printer set-up. A message box is sometimes run for real, as
// a modal box with its own event loop, which the steps then answer with keys
// and clicks; everything else is answered at once.
class MonkeyActions::Dialogs final : public DialogHandler {
public:
    Dialogs(Chance& chance, const MonkeyFolders& folders)
        : chance_(chance)
        , folders_(folders)
    {
        ::Dialogs::SetHandler(this);
    }
    ~Dialogs() override { ::Dialogs::SetHandler(nullptr); }

    MsgAnswer MessageBox(
        QWidget* owner, const QString& text, const QString& caption, MsgIcon, MsgButtons buttons) override
    {
        MsgAnswer answer;
        if (buttons != MsgButtons::Ok && realBoxes && chance_.OneIn(4)) {
            answer = EnterOn(owner, text, caption, buttons);
        } else if (realBoxes && chance_.OneIn(3)) {
            const std::unique_ptr<QMessageBox> box
                = ::Dialogs::MakeMessageBox(owner, text, caption, MsgIcon::None, buttons);
            answer = ::Dialogs::AnswerOf(box->exec(), buttons);
        } else if (buttons == MsgButtons::Ok) {
            answer = MsgAnswer::Ok;
        } else {
            answer = chance_.OneIn(2)                              ? MsgAnswer::Yes
                : buttons == MsgButtons::YesNo || chance_.OneIn(2) ? MsgAnswer::No
                                                                   : MsgAnswer::Cancel;
        }
        // The questions before a write name the folder or file written.
        if (answer == MsgAnswer::Yes && !PathsInside(text))
            answer = MsgAnswer::No;
        return answer;
    }
    std::optional<QString> InputBox(QWidget*, const QString&, const QString&, const QString& text) override
    {
        switch (chance_.Below(4)) {
        case 0:
            return std::nullopt;
        case 1:
            return text;
        case 2:
            return QString::number(2015 + chance_.Below(15));
        default:
            return QStringLiteral("x") + QString::number(chance_.Below(100));
        }
    }
    std::optional<SaveDialogAnswer> SaveDialog(QWidget*, const SaveDialogRequest& request) override
    {
        if (chance_.OneIn(4))
            return std::nullopt;
        // Few names, so that a later save meets an existing file.
        const QStringList filter = request.filter.split(u'|');
        const int index = std::clamp(request.filterIndex, 1, std::max<int>(1, filter.size() / 2));
        QString pattern = filter.value(2 * index - 1, QStringLiteral("*.txt")).split(u';').first();
        const QString name = QStringLiteral("file") + QString::number(chance_.Below(3));
        return SaveDialogAnswer { folders_.Out() + pattern.replace(u'*', name), index };
    }
    std::optional<QString> OpenDialog(QWidget*, const OpenDialogRequest&) override
    {
        // The files the program wrote in this run (its CSV exports among them).
        const QStringList files = QDir(folders_.Out()).entryList(QDir::Files, QDir::Name);
        if (files.isEmpty() || chance_.OneIn(4))
            return std::nullopt;
        return folders_.Out() + files[chance_.Below(files.size())];
    }
    std::optional<QString> FolderDialog(QWidget*, const QString&, const QString&) override
    {
        if (chance_.OneIn(3))
            return std::nullopt;
        return folders_.root + QStringLiteral("/folder") + QString::number(chance_.Below(3));
    }
    bool PrinterSetup(QWidget*, TPrinter&) override { return chance_.OneIn(2); }

    bool realBoxes = true;

private:
    // Enter on a question as it comes up, as a hurried user answers it,
    // must keep what is there: every question's default answer is one that
    // replaces nothing. A step that ran first (a Shift+Tab onto はい) makes
    // it a choice, not a hurried Enter.
    static MsgAnswer EnterOn(QWidget* owner, const QString& text, const QString& caption, MsgButtons buttons)
    {
        const std::unique_ptr<QMessageBox> box
            = ::Dialogs::MakeMessageBox(owner, text, caption, MsgIcon::None, buttons);
        // As the box comes up, Enter presses its default button.
        if (const QAbstractButton* yes = box->button(QMessageBox::Yes); yes && box->defaultButton() == yes)
            MonkeyFail(QStringLiteral("はい is the default of \"%1\"").arg(text));
        const int asked = CurrentRun().step;
        bool hurried = false;
        QTimer::singleShot(0, box.get(), [&box, &hurried, asked] {
            hurried = CurrentRun().step == asked;
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus && focus->window() == box.get() ? focus : box.get(), Qt::Key_Return);
        });
        const MsgAnswer answer = ::Dialogs::AnswerOf(box->exec(), buttons);
        if (hurried && answer == MsgAnswer::Yes)
            MonkeyFail(QStringLiteral("Enter answered はい to \"%1\"").arg(text));
        return answer;
    }

    bool PathsInside(const QString& text) const
    {
        static const QRegularExpression absolute(QStringLiteral("/[^\\s、。「」]*"));
        for (auto it = absolute.globalMatch(text); it.hasNext();) {
            if (!folders_.Holds(it.next().captured()))
                return false;
        }
        return true;
    }

    Chance& chance_;
    const MonkeyFolders& folders_;
};

MonkeyActions::MonkeyActions(Chance& chance, const MonkeyFolders& folders, const SavedDays& saved)
    : chance_(chance)
    , folders_(folders)
    , saved_(saved)
    , answers_(chance.Below(1 << 30))
    , dialogs_(new Dialogs(answers_, folders))
{
    Shell::SetOpener([](const QString&, const QString&) { return true; });
    DesktopNotice::SetConnectionName(QStringLiteral("valdemor-monkey-no-bus"));
}

MonkeyActions::~MonkeyActions()
{
    Shell::SetOpener({});
    DesktopNotice::SetConnectionName({});
    delete dialogs_;
}

void MonkeyActions::AnswerAtOnce() { dialogs_->realBoxes = false; }

void MonkeyActions::Visit(const QWidget& window) { visited_.insert(Name(window)); }

MonkeyAction MonkeyActions::Next()
{
    // A modal box or an open menu takes every key and click until it goes.
    if (QWidget* modal
        = QApplication::activePopupWidget() ? QApplication::activePopupWidget() : QApplication::activeModalWidget())
        return ActOnModal(*modal);
    const int roll = chance_.Below(100);
    if (roll < 22)
        return TriggerMenuItem();
    if (roll < 30)
        return ClickToolButton();
    if (roll < 36)
        return CloseWindow();
    if (roll < 41)
        return ActivateWindow();
    if (roll < 42)
        return ChangeFileElsewhere();
    QWidget* window = PickWindow();
    if (!window)
        return TriggerMenuItem();
    if (roll < 72)
        return PressKey(*window);
    return ClickAt(*window, roll >= 92);
}

MonkeyAction MonkeyActions::ActOnModal(QWidget& modal)
{
    if (chance_.OneIn(2))
        return PressKey(modal);
    return ClickAt(modal, false);
}

QWidget* MonkeyActions::PickWindow()
{
    // Mostly where the keyboard is; sometimes any window, as a click there
    // would make it the active one.
    QWidget* active = QApplication::activeWindow();
    if (active && active->isVisible() && !chance_.OneIn(4))
        return active;
    const QList<QWidget*> windows = VisibleWindows();
    return windows.isEmpty() ? nullptr : windows[chance_.Below(windows.size())];
}

MonkeyAction MonkeyActions::TriggerMenuItem()
{
    QList<QAction*> items;
    std::function<void(QMenu*)> collect = [&](QMenu* menu) {
        for (QAction* a : menu->actions()) {
            if (a->menu())
                collect(a->menu());
            else if (a->isEnabled() && a->isVisible() && !a->isSeparator() && a != Mainform->Exit1)
                items << a;
        }
    };
    for (QAction* top : Mainform->menuBar()->actions()) {
        if (top->menu())
            collect(top->menu());
    }
    QAction* item = items[chance_.Below(items.size())];
    Visit(*Mainform);
    return { QStringLiteral("menu ") + item->text(), [item] { item->trigger(); } };
}

MonkeyAction MonkeyActions::ClickToolButton()
{
    QList<QToolButton*> buttons;
    for (QToolButton* b : Mainform->ToolBar1->findChildren<QToolButton*>()) {
        if (b->isVisible() && b->isEnabled() && !b->objectName().isEmpty())
            buttons << b;
    }
    if (buttons.isEmpty())
        return TriggerMenuItem();
    QToolButton* button = buttons[chance_.Below(buttons.size())];
    Visit(*Mainform);
    return { QStringLiteral("tool button ") + button->objectName(),
        [button] { QTest::mouseClick(button, Qt::LeftButton); } };
}

MonkeyAction MonkeyActions::PressKey(QWidget& window)
{
    QWidget* focus = QApplication::focusWidget();
    QWidget* target
        = focus && (focus->window() == window.window() || QApplication::activePopupWidget()) ? focus : &window;
    const KeyChoice key = OutsideCalendars(RandomKey(chance_), target);
    Visit(*target->window());
    return { QStringLiteral("key %1 to %2").arg(KeyText(key), Name(*target)),
        [target, key] { QTest::keyClick(target, Qt::Key(key.key), key.modifiers); } };
}

MonkeyAction MonkeyActions::ClickAt(QWidget& window, bool twice)
{
    if (window.width() <= 0 || window.height() <= 0)
        return { QStringLiteral("nothing to click"), [] {} };
    const QPoint at(chance_.Below(window.width()), chance_.Below(window.height()));
    QWidget* child = window.childAt(at);
    QWidget* target = child ? child : &window;
    const QPoint local = target->mapFrom(&window, at);
    const QString text = QStringLiteral("%1 at %2,%3 of %4")
                             .arg(twice ? QStringLiteral("double click") : QStringLiteral("click"))
                             .arg(at.x())
                             .arg(at.y())
                             .arg(Name(*target));
    Visit(window);
    return { text, [target, local, twice] {
                if (twice)
                    QTest::mouseDClick(target, Qt::LeftButton, Qt::NoModifier, local);
                else
                    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, local);
            } };
}

MonkeyAction MonkeyActions::CloseWindow()
{
    QList<QWidget*> windows = VisibleWindows();
    windows.removeAll(Mainform);
    if (windows.isEmpty())
        return TriggerMenuItem();
    QWidget* window = windows[chance_.Below(windows.size())];
    Visit(*window);
    return { QStringLiteral("close ") + Name(*window), [window] { window->close(); } };
}

MonkeyAction MonkeyActions::ActivateWindow()
{
    const QList<QWidget*> windows = VisibleWindows();
    QWidget* window = windows[chance_.Below(windows.size())];
    Visit(*window);
    return { QStringLiteral("activate ") + Name(*window), [window] {
                if (auto* sub = qobject_cast<QMdiSubWindow*>(window))
                    Mainform->MdiArea()->setActiveSubWindow(sub);
                else
                    window->activateWindow();
                window->raise();
            } };
}

// Another program (a sync client) changes one day of the data file in place;
// never a day this run saved, whose record the end check holds the file to.
MonkeyAction MonkeyActions::ChangeFileElsewhere()
{
    const qint64 count = QFileInfo(LeaveStore::FilePath()).size() / LeaveRecord::Size;
    if (count == 0)
        return TriggerMenuItem();
    const qint64 index = chance_.Below(static_cast<int>(std::min<qint64>(count, INT_MAX)));
    const int kind = 1 + chance_.Below(LeaveKindCount - 1);
    return { QStringLiteral("another program changes record %1 to kind %2").arg(index).arg(kind), [this, index, kind] {
                QFile file(LeaveStore::FilePath());
                if (!file.open(QIODevice::ReadWrite) || !file.seek(index * LeaveRecord::Size))
                    return;
                LeaveRecord record;
                if (file.read(reinterpret_cast<char*>(record.Data()), LeaveRecord::Size) != LeaveRecord::Size
                    || saved_.Holds(QDate(record.Year(), record.Month(), record.Day())))
                    return;
                const LeaveRecord changed
                    = LeaveRecord::Make(record.Year(), record.Month(), record.Day(), kind, QStringLiteral("外部"));
                file.seek(index * LeaveRecord::Size);
                file.write(reinterpret_cast<const char*>(changed.Data()), LeaveRecord::Size);
            } };
}

bool MonkeyActions::SettleModal()
{
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
        return false;
    }
    if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        box->reject();
        return false;
    }
    return true;
}
