#include "app/MainForm.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QFrame>
#include <QKeySequence>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

#include "app/About.h"
#include "app/DataFolderForm.h"
#include "app/HelpWindow.h"
#include "app/Eopf.h"
#include "app/ToolImages.h"
#include "core/LeaveStore.h"
#include "core/Settings.h"
#include "platform/Application.h"
#include "platform/DataDirectory.h"
#include "platform/FixedDialog.h"
#include "platform/Dates.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Shell.h"
#include "reports/ChartWindowOpener.h"
#include "reports/CsvExport.h"
#include "reports/IcsExport.h"
#include "reports/ImportPreview.h"
#include "reports/PaidLeaveField.h"
#include "reports/PaidLeaveWindow.h"
#include "reports/SelCalF.h"
#include "reports/TotalsRequest.h"
#include "reports/priansf.h"
#include "views/CalendarWindow.h"
#include "views/Hcalf.h"
#include "views/Inputf.h"
#include "views/DaySaves.h"
#include "views/Mcalf.h"
#include "views/Rangef.h"
#include "views/RestoreForm.h"
#include "views/ProgramEvents.h"
#include "views/NoticeDetails.h"

TMainform* Mainform = nullptr;

namespace {

QAction* AddItem(QMenu* menu, const QString& name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QAction* AddSeparator(QMenu* menu, const QString& name)
{
    QAction* action = menu->addSeparator();
    action->setObjectName(name);
    return action;
}

QMenu* AddMenu(QMenuBar* bar, const QString& name, const QString& caption)
{
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

QMenu* AddSubmenu(QMenu* parent, const QString& name, const QString& caption)
{
    QMenu* menu = parent->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

// A command whose check mark shows state kept elsewhere (the open calendar):
// choosing it must not flip the mark by itself.
QAction* Marked(QAction* action)
{
    action->setCheckable(true);
    QObject::connect(action, &QAction::triggered, action, [action](bool checked) { action->setChecked(!checked); });
    return action;
}

} // namespace

namespace MainWindowPlacement {

QRect FitOnScreens(int left, int top, int width, int height, const QList<QRect>& screens)
{
    const Settings::MainWindow firstRun;
    // 64 bits: a saved left of 2147483647 plus any width must not wrap.
    qint64 l = left, t = top, w = std::max(width, 1), h = std::max(height, 1);
    QList<QRect> areas = screens;
    if (areas.isEmpty())
        areas << QRect(0, 0, 1024, 768); // no screen reported: a common one
    auto overlap = [&](const QRect& area) {
        const qint64 across = std::min(l + w, qint64(area.left()) + area.width()) - std::max(l, qint64(area.left()));
        const qint64 down = std::min(t + h, qint64(area.top()) + area.height()) - std::max(t, qint64(area.top()));
        return across > 0 && down > 0 ? across * down : 0;
    };
    qsizetype best = -1;
    qint64 bestOverlap = 0;
    for (qsizetype i = 0; i < areas.size(); ++i) {
        if (const qint64 o = overlap(areas[i]); o > bestOverlap) {
            best = i;
            bestOverlap = o;
        }
    }
    if (best < 0) {
        // On no screen (one since detached, or a hand-edited file).
        l = firstRun.Left;
        t = firstRun.Top;
        best = 0;
        for (qsizetype i = 0; i < areas.size(); ++i)
            if (areas[i].contains(firstRun.Left, firstRun.Top)) {
                best = i;
                break;
            }
    }
    const QRect& area = areas[best];
    w = std::clamp<qint64>(w, 1, std::max(area.width(), 1));
    h = std::clamp<qint64>(h, 1, std::max(area.height(), 1));
    l = std::clamp<qint64>(l, area.left(), area.left() + std::max<qint64>(area.width() - w, 0));
    t = std::clamp<qint64>(t, area.top(), area.top() + std::max<qint64>(area.height() - h, 0));
    return QRect(int(l), int(t), int(w), int(h));
}

QRect ClientArea(const QRect& outer, const QMargins& frame)
{
    return QRect(outer.left() + frame.left(), outer.top() + frame.top(),
        std::max(outer.width() - frame.left() - frame.right(), 1),
        std::max(outer.height() - frame.top() - frame.bottom(), 1));
}

} // namespace MainWindowPlacement

TMainform::TMainform(QWidget* parent)
    : QMainWindow(parent)
{
    Mainform = this;
    MainFrame = this;
    setupUi();
    connectHandlers();
}

TMainform::~TMainform()
{
    Application::Guard([this] { FormDestroy(); });
    if (Mainform == this)
        Mainform = nullptr;
    if (MainFrame == this)
        MainFrame = nullptr;
}

void TMainform::setupUi()
{
    setObjectName(QStringLiteral("Mainform"));
    setWindowTitle(QStringLiteral("Valdemor"));

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("ClientArea"));
    mdiArea_->setBackground(palette().brush(QPalette::Dark)); // the button-shadow colour
    mdiArea_->viewport()->setMouseTracking(true);
    mdiArea_->viewport()->installEventFilter(this);
    setCentralWidget(mdiArea_);

    setupMenus();
    setupToolBar();
    setupStatusBar();

    slots_[int(CalendarKind::Year)].mark = Y1;
    slots_[int(CalendarKind::Month)].mark = M1;
    slots_[int(CalendarKind::Holiday)].mark = H2;

    setGeometry(10, 10, 640, 480);
}

void TMainform::setupMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    File1 = AddMenu(bar, QStringLiteral("File1"), QStringLiteral("ファイル(&F)"));
    I1 = AddItem(File1, QStringLiteral("I1"), QStringLiteral("入力(&N)..."));
    Range1 = AddItem(File1, QStringLiteral("Range1"), QStringLiteral("期間入力(&R)..."));
    Restore1 = AddItem(File1, QStringLiteral("Restore1"), QStringLiteral("バックアップから復元(&B)..."));
    N3 = AddSeparator(File1, QStringLiteral("N3"));
    Print1 = AddItem(File1, QStringLiteral("Print1"), QStringLiteral("印刷(&P)..."));
    N4 = AddSeparator(File1, QStringLiteral("N4"));
    CSVO1 = AddItem(File1, QStringLiteral("CSVO1"), QStringLiteral("CSVファイルへ出力(&O)..."));
    iCalendar1 = AddItem(File1, QStringLiteral("iCalendar1"), QStringLiteral("iCalendar形式で出力(&I)..."));
    CSVI1 = AddItem(File1, QStringLiteral("CSVI1"), QStringLiteral("CSVファイルから読み込み(&M)..."));
    N1 = AddSeparator(File1, QStringLiteral("N1"));
    L1 = AddItem(File1, QStringLiteral("L1"), QStringLiteral("最終更新日時表示(&L)..."));
    N6 = AddSeparator(File1, QStringLiteral("N6"));
    Exit1 = AddItem(File1, QStringLiteral("Exit1"), QStringLiteral("終了(&X)"));

    Edit2 = AddMenu(bar, QStringLiteral("Edit2"), QStringLiteral("編集(&E)"));
    Undo1 = AddItem(Edit2, QStringLiteral("Undo1"), QString());
    Undo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Redo1 = AddItem(Edit2, QStringLiteral("Redo1"), QString());
    Redo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    ShowHistory();

    Show1 = AddMenu(bar, QStringLiteral("Show1"), QStringLiteral("表示(&V)"));
    Y1 = Marked(AddItem(Show1, QStringLiteral("Y1"), QStringLiteral("年表示(&Y)")));
    M1 = Marked(AddItem(Show1, QStringLiteral("M1"), QStringLiteral("月表示(&M)")));
    H2 = Marked(AddItem(Show1, QStringLiteral("H2"), QStringLiteral("休日表示(&H)")));
    N5 = AddSeparator(Show1, QStringLiteral("N5"));
    T1 = AddItem(Show1, QStringLiteral("T1"), QStringLiteral("ツールバー(&T)"));
    T1->setCheckable(true);
    s2 = AddItem(Show1, QStringLiteral("s2"), QStringLiteral("ステイタスバー(&S)"));
    s2->setCheckable(true);

    C1 = AddMenu(bar, QStringLiteral("C1"), QStringLiteral("集計(&C)"));
    H1 = AddItem(C1, QStringLiteral("H1"), QStringLiteral("集計項目一覧(&S)..."));
    N7 = AddSeparator(C1, QStringLiteral("N7"));
    Y2 = AddItem(C1, QStringLiteral("Y2"), QStringLiteral("年度集計(&Y)..."));
    M2 = AddItem(C1, QStringLiteral("M2"), QStringLiteral("月別集計(&M)..."));
    B1 = AddItem(C1, QStringLiteral("B1"), QStringLiteral("有給休暇の残日数(&B)..."));
    G1 = AddItem(C1, QStringLiteral("G1"), QStringLiteral("グラフ(&G)..."));

    S1 = AddMenu(bar, QStringLiteral("S1"), QStringLiteral("設定(&S)"));
    O1 = AddItem(S1, QStringLiteral("O1"), QStringLiteral("オプション(&O)..."));
    DataFolder1 = AddItem(S1, QStringLiteral("DataFolder1"), QStringLiteral("データの保存先(&D)..."));
    W1 = AddSubmenu(S1, QStringLiteral("W1"), QStringLiteral("表の幅(&W)"));
    N8 = AddSubmenu(W1, QStringLiteral("N8"), QStringLiteral("月カレンダー(&M)"));
    D1 = AddItem(N8, QStringLiteral("D1"), QStringLiteral("初期の幅に戻す(&D)"));
    F1 = AddItem(N8, QStringLiteral("F1"), QStringLiteral("前回閉じた時の幅に戻す(&F)"));
    H3 = AddSubmenu(W1, QStringLiteral("H3"), QStringLiteral("休日カレンダー(&H)"));
    D2 = AddItem(H3, QStringLiteral("D2"), QStringLiteral("初期の幅に戻す(&D)"));
    F2 = AddItem(H3, QStringLiteral("F2"), QStringLiteral("前回閉じた時の幅に戻す(&F)"));
    // Enabled only while their calendar is open (connectHandlers).
    for (QAction* width : { D1, F1, D2, F2 })
        width->setEnabled(false);

    Help1 = AddMenu(bar, QStringLiteral("Help1"), QStringLiteral("ヘルプ(&H)"));
    Help2 = AddItem(Help1, QStringLiteral("Help2"), QStringLiteral("ヘルプ(&H)"));
    N2 = AddSeparator(Help1, QStringLiteral("N2"));
    About1 = AddItem(Help1, QStringLiteral("About1"), QStringLiteral("バージョン情報(&A)..."));
}

void TMainform::setupToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    // Button face, with an edge line at the top and at the bottom.
    ToolBar1->setStyleSheet(
        QStringLiteral("QToolBar#ToolBar1 { background: palette(button); border-top: 1px solid palette(dark);"
                       " border-bottom: 1px solid palette(dark); spacing: 0px; padding: 0px; }"));
    addToolBar(Qt::TopToolBarArea, ToolBar1);
    ToolBar1->setFixedHeight(29); // after docking, which resets the limits

    ToolButton1 = AddToolButton(QStringLiteral("ToolButton1"), 0, QStringLiteral("年度カレンダー"),
        QStringLiteral("年度カレンダーを表示します。"));
    ToolButton2 = AddToolButton(
        QStringLiteral("ToolButton2"), 1, QStringLiteral("月カレンダー"), QStringLiteral("月カレンダーを表示します。"));
    ToolButton3 = AddToolButton(QStringLiteral("ToolButton3"), 2, QStringLiteral("休日カレンダー"),
        QStringLiteral("休日カレンダーを表示します。"));
    AddToolSeparator(QStringLiteral("ToolButton4"), 28);
    ToolButton5 = AddToolButton(
        QStringLiteral("ToolButton5"), 3, QStringLiteral("集計項目一覧"), QStringLiteral("集計項目一覧を表示します。"));
    AddToolSeparator(QStringLiteral("ToolButton6"), 17);
    ToolButton7
        = AddToolButton(QStringLiteral("ToolButton7"), 4, QStringLiteral("印刷"), QStringLiteral("印刷をします。"));
    AddToolSeparator(QStringLiteral("ToolButton8"), 17);
    ToolButton9 = AddToolButton(QStringLiteral("ToolButton9"), 5, QStringLiteral("オプション"),
        QStringLiteral("オプション設定画面を開きます。"));
    AddToolSeparator(QStringLiteral("ToolButton10"), 17);
    ToolButton11 = AddToolButton(
        QStringLiteral("ToolButton11"), 6, QStringLiteral("ヘルプ"), QStringLiteral("ヘルプを開きます。"));
    SetToolBarFlat(false);
}

void TMainform::setupStatusBar()
{
    StatusBar1 = statusBar();
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(19);
    StatusBar1->setSizeGripEnabled(false);
    // One simple panel. A label of our own, so that menu hovers (which set
    // Qt's temporary status message) never touch the text.
    statusPanel_ = new QLabel(StatusBar1);
    statusPanel_->setObjectName(QStringLiteral("SimplePanel"));
    StatusBar1->addWidget(statusPanel_, 1);
    // Beside a notice that has more to tell. It takes no focus: a notice
    // comes while the user types elsewhere.
    noticeDetails_ = new QToolButton(StatusBar1);
    noticeDetails_->setObjectName(QStringLiteral("NoticeDetailsButton"));
    noticeDetails_->setText(QStringLiteral("詳細"));
    noticeDetails_->setFocusPolicy(Qt::NoFocus);
    noticeDetails_->setAutoRaise(true);
    noticeDetails_->hide();
    StatusBar1->addWidget(noticeDetails_);
    connect(noticeDetails_, &QToolButton::clicked, this,
        [this] { ShowNoticeDetails(this, QStringLiteral("詳細 - %1").arg(statusPanel_->text()), noticeText_); });
    StatusBar1->addPermanentWidget(new TPaidLeaveField(StatusBar1));
}

QToolButton* TMainform::AddToolButton(const QString& name, int image, const QString& hint, const QString& status)
{
    auto* button = new QToolButton(ToolBar1);
    button->setObjectName(name);
    button->setIcon(QIcon(ToolImages::Image(image)));
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setAccessibleDescription(status);
    button->setFixedSize(23, 22);
    button->setFocusPolicy(Qt::NoFocus);
    button->setMouseTracking(true);
    button->installEventFilter(this);
    statusTexts_.insert(button, status);
    ToolBar1->addWidget(button);
    return button;
}

void TMainform::AddToolSeparator(const QString& name, int width)
{
    // A gap of the given width with the separator line in its middle.
    auto* separator = new QFrame(ToolBar1);
    separator->setObjectName(name);
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setFixedSize(width, 22);
    separator->setContentsMargins((width - 2) / 2, 2, (width - 2) / 2, 2);
    ToolBar1->addWidget(separator);
}

void TMainform::connectHandlers()
{ // The width commands serve the calendar they name, while it is open.
    connect(&ProgramEvents(), &TProgramEvents::calendarOpened, this, [this](CalendarKind kind) {
        for (QAction* width : { D1, F1 })
            width->setEnabled(kind == CalendarKind::Month);
        for (QAction* width : { D2, F2 })
            width->setEnabled(kind == CalendarKind::Holiday);
    });
    connect(&ProgramEvents(), &TProgramEvents::calendarClosed, this, [this](CalendarKind kind) {
        if (kind == CalendarKind::Month)
            for (QAction* width : { D1, F1 })
                width->setEnabled(false);
        if (kind == CalendarKind::Holiday)
            for (QAction* width : { D2, F2 })
                width->setEnabled(false);
    });

    connect(&ProgramEvents(), &TProgramEvents::historyChanged, this, [this] { ShowHistory(); });

    auto guarded = [](auto handler) { return [handler] { Application::Guard(handler); }; };
    connect(I1, &QAction::triggered, this, guarded([this] { I1Click(); }));
    connect(Range1, &QAction::triggered, this, guarded([this] { Range1Click(); }));
    connect(Restore1, &QAction::triggered, this, guarded([] { RestoreForm->Open(); }));
    connect(Undo1, &QAction::triggered, this, guarded([] { DaySaves::Undo(); }));
    connect(Redo1, &QAction::triggered, this, guarded([] { DaySaves::Redo(); }));
    connect(CSVO1, &QAction::triggered, this, guarded([this] { CSVO1Click(); }));
    connect(iCalendar1, &QAction::triggered, this, guarded([this] { iCalendar1Click(); }));
    connect(CSVI1, &QAction::triggered, this, guarded([this] { ImportPreview::Run(this); }));
    connect(D1, &QAction::triggered, this, guarded([this] { D1Click(); }));
    connect(F1, &QAction::triggered, this, guarded([this] { F1Click(); }));
    connect(D2, &QAction::triggered, this, guarded([this] { D2Click(); }));
    connect(F2, &QAction::triggered, this, guarded([this] { F2Click(); }));
    connect(L1, &QAction::triggered, this, guarded([this] { L1Click(); }));
    connect(Print1, &QAction::triggered, this, guarded([this] { OpenPrintDialog(); }));
    connect(ToolButton7, &QToolButton::clicked, this, guarded([this] { OpenPrintDialog(); }));
    connect(Exit1, &QAction::triggered, this, guarded([this] { Exit1Click(); }));
    connect(Y1, &QAction::triggered, this, guarded([this] { OpenYearCalendar(); }));
    connect(M1, &QAction::triggered, this, guarded([this] { OpenMonthCalendar(); }));
    connect(H2, &QAction::triggered, this, guarded([this] { OpenHolidayCalendar(); }));
    // Qt has already flipped the mark; the handler flips the bar.
    connect(T1, &QAction::triggered, this, [this] { ToolBar1->setVisible(ToolBar1->isHidden()); });
    connect(s2, &QAction::triggered, this, [this] { StatusBar1->setVisible(StatusBar1->isHidden()); });
    connect(Y2, &QAction::triggered, this, guarded([] { RequestYearTotals(); }));
    connect(M2, &QAction::triggered, this, guarded([] { RequestMonthlyTotals(); }));
    connect(B1, &QAction::triggered, this, guarded([] { PaidLeaveForm->ShowBalance(); }));
    connect(G1, &QAction::triggered, this, guarded([this] { OpenChartWindow(this); }));
    connect(H1, &QAction::triggered, this, guarded([] { SelCalform->OpenTotalsSelection(); }));
    connect(ToolButton5, &QToolButton::clicked, this, guarded([] { SelCalform->OpenTotalsSelection(); }));
    connect(Help2, &QAction::triggered, this, guarded([this] { OpenHelpFile(); }));
    connect(ToolButton1, &QToolButton::clicked, this, guarded([this] { OpenYearCalendar(); }));
    connect(ToolButton2, &QToolButton::clicked, this, guarded([this] { OpenMonthCalendar(); }));
    connect(ToolButton3, &QToolButton::clicked, this, guarded([this] { OpenHolidayCalendar(); }));
    connect(ToolButton11, &QToolButton::clicked, this, guarded([this] { OpenHelpFile(); }));
    connect(O1, &QAction::triggered, this, guarded([this] { O1Click(); }));
    connect(DataFolder1, &QAction::triggered, this, guarded([] { DataFolderForm->Open(); }));
    connect(ToolButton9, &QToolButton::clicked, this, guarded([this] { O1Click(); }));
    connect(About1, &QAction::triggered, this, guarded([this] { About1Click(); }));
}

void TMainform::SetToolBarFlat(bool flat)
{
    flat_ = flat;
    for (QToolButton* button : ToolBar1->findChildren<QToolButton*>())
        button->setAutoRaise(flat);
}

void TMainform::SetStatusText(const QString& text)
{
    statusPanel_->setText(text);
    noticeDetails_->hide();
}

void TMainform::ShowNotice(const QString& text, const QString& details)
{
    SetStatusText(text);
    noticeText_ = details;
    noticeDetails_->setVisible(!details.isEmpty());
}

QString TMainform::StatusText() const { return statusPanel_->text(); }

void TMainform::SetCalendarFactory(CalendarKind calendar, CalendarFactory factory)
{
    Slot(calendar).factory = std::move(factory);
}

TMainform::CalendarSlot& TMainform::Slot(CalendarKind calendar) { return slots_[int(calendar)]; }

void TMainform::OpenYearCalendar() { OpenCalendar(CalendarKind::Year); }

void TMainform::OpenMonthCalendar() { OpenCalendar(CalendarKind::Month); }

void TMainform::OpenHolidayCalendar() { OpenCalendar(CalendarKind::Holiday); }

void TMainform::OpenCalendar(CalendarKind calendar)
{
    CalendarSlot& wanted = Slot(calendar);
    if (!wanted.mark->isChecked() && wanted.factory) {
        QWidget* window = wanted.factory(*this);
        QMdiSubWindow* sub = mdiArea_->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        wanted.window = sub;
        window->show();
    }
    // Only after the new window is up do the others go, so the frame is
    // never empty in between.
    for (CalendarSlot& other : slots_) {
        if (&other != &wanted && other.mark->isChecked() && other.window)
            other.window->close();
    }
}

void TMainform::OpenHelpFile()
{
    const QString path = DataDirectory() + QStringLiteral("orbelund.chm");
    if (Files::Exists(path)) {
        Shell::Open(path, DataDirectory());
        return;
    }
    // An installed program has no help file of that kind; its Japanese user
    // guide opens in the program's own help window, which needs no browser.
    if (const QString guide = InstalledUserGuide(); !guide.isEmpty()) {
        if (!help_)
            help_ = new THelpWindow(this);
        help_->ShowGuide(guide);
        return;
    }
    Dialogs::MessageBox(this, QStringLiteral("orbelund.chmファイルが見つかりません！"), QStringLiteral("警告"),
        MsgIcon::Warning, MsgButtons::Ok);
}

void TMainform::OpenPrintDialog()
{
    if (priansform)
        priansform->OpenPrintDialog();
}

void TMainform::T1Click() { T1->trigger(); }

void TMainform::s2Click() { s2->trigger(); }

void TMainform::L1Click()
{
    QString text = QStringLiteral("データがありません。");
    if (const auto time = LeaveStore::LastModified()) {
        const QDate d = time->date();
        const QTime t = time->time();
        text = QStringLiteral("最終更新日時は、%1年%2月%3日 %4時%5分 です。")
                   .arg(d.year(), 4, 10, QLatin1Char('0'))
                   .arg(d.month())
                   .arg(d.day())
                   .arg(t.hour())
                   .arg(t.minute());
    }
    Dialogs::MessageBox(this, text, QStringLiteral("最終更新日時表示"), MsgIcon::None, MsgButtons::Ok);
}

void TMainform::Exit1Click() { close(); }

void TMainform::I1Click()
{
    const QDate today = Dates::Today();
    if (InputForm)
        InputForm->OpenEntryDialog(today.year(), today.month(), today.day());
}

void TMainform::Range1Click()
{
    // From a calendar, the period starts at the day selected there.
    QDate day = Dates::Today();
    if (const auto open = TheOpenCalendar())
        day = open->Window->SelectedDay().value_or(day);
    if (RangeForm)
        RangeForm->OpenRangeDialog(day);
}

void TMainform::ShowHistory()
{
    // The commands name the step they take: "元に戻す: 2026/08/12～08/16 夏休み".
    const auto caption = [](const QString& command, const QString& step, const QString& mnemonic) {
        return step.isEmpty() ? command + mnemonic : command + QStringLiteral(": ") + step + mnemonic;
    };
    Undo1->setText(caption(QStringLiteral("元に戻す"), History.UndoName(), QStringLiteral("(&U)")));
    Undo1->setEnabled(History.CanUndo());
    Redo1->setText(caption(QStringLiteral("やり直し"), History.RedoName(), QStringLiteral("(&R)")));
    Redo1->setEnabled(History.CanRedo());
}

void TMainform::CSVO1Click() { CsvExport::Export(this, SaveDialog1Filter); }

void TMainform::iCalendar1Click() { IcsExport::Export(this); }

// The width commands change the open calendar's grid only; the widths reach
// the settings when that calendar goes.
void TMainform::D1Click()
{
    if (IsOpen(CalendarKind::Month))
        MCalForm->SetColumnWidths(Settings::DefaultMonthWidths);
}

void TMainform::F1Click()
{
    if (IsOpen(CalendarKind::Month))
        MCalForm->SetColumnWidths(Settings::MonthColumnWidths());
}

void TMainform::D2Click()
{
    if (IsOpen(CalendarKind::Holiday))
        HCalForm->SetColumnWidths(Settings::DefaultHolidayWidths);
}

void TMainform::F2Click()
{
    if (IsOpen(CalendarKind::Holiday))
        HCalForm->SetColumnWidths(Settings::HolidayColumnWidths());
}

void TMainform::O1Click()
{
    if (OpForm)
        OpForm->Open();
}

void TMainform::About1Click()
{
    if (AboutBox)
        AboutBox->Open();
}

void TMainform::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        Application::Guard([this] { FormShow(); });
    }
}

void TMainform::FormShow()
{
    Settings::MainWindow settings;
    if (Settings::Exists())
        settings = Settings::ReadMainWindow();
    else
        Settings::WriteFirstRunSet();

    SetToolBarFlat(settings.Flat);
    T1->setChecked(settings.ToolBar);
    s2->setChecked(settings.StatusBar);
    ToolBar1->setVisible(settings.ToolBar);
    StatusBar1->setVisible(settings.StatusBar);
    Y1->setChecked(false);
    M1->setChecked(false);
    H2->setChecked(false);
    Place(
        MainWindowPlacement::FitOnScreens(settings.Left, settings.Top, settings.Width, settings.Height, ScreenAreas()));

    LeaveStore::CheckOnStartup();

    switch (Settings::StartCalendar()) {
    case 1:
        OpenMonthCalendar();
        break;
    case 2:
        OpenHolidayCalendar();
        break;
    default:
        OpenYearCalendar();
        break;
    }

    SaveDialog1Filter = QStringLiteral("すべてのファイル(*.*)|*.*|CSV(カンマ区切り)(*.csv)|*.csv");
}

void TMainform::FormDestroy()
{
    if (destroyed_)
        return;
    destroyed_ = true;
    Settings::MainWindow window;
    // The outer bounds, frame included; the frame may be gone by now.
    const QRect outer = closedBounds_ ? *closedBounds_ : frameGeometry();
    window.Top = outer.top();
    window.Left = outer.left();
    window.Width = outer.width();
    window.Height = outer.height();
    // isHidden(): the window itself is closed by now, so only the bars' own
    // state counts.
    window.ToolBar = !ToolBar1->isHidden();
    window.StatusBar = !StatusBar1->isHidden();
    window.Flat = flat_;
    Settings::WriteProgramEnd(window);
    if (Settings::CompactAtExit())
        LeaveStore::Compact();
}

void TMainform::SetScreenAreas(const QList<QRect>& areas) { ::SetScreenAreas(areas); }

void TMainform::Place(const QRect& outer)
{
    const QWindow* window = windowHandle();
    const QMargins frame = window ? window->frameMargins() : QMargins();
    if (!frame.isNull() || !window) {
        unframedPlace_.reset();
        setGeometry(MainWindowPlacement::ClientArea(outer, frame));
        return;
    }
    // Not framed yet: the window manager is asked to put the frame's corner
    // at the place, and the client gets the outer size until the frame's
    // size is known. The widget is told the same place first, or its first
    // showing would move the window back to where the widget thinks it is.
    unframedPlace_ = outer;
    setGeometry(outer);
    windowHandle()->setFramePosition(outer.topLeft());
}

void TMainform::PlaceOnceFramed()
{
    if (unframedPlace_ && windowHandle() && !windowHandle()->frameMargins().isNull())
        Place(*unframedPlace_);
}

void TMainform::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    PlaceOnceFramed();
}

void TMainform::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    PlaceOnceFramed();
}

void TMainform::closeEvent(QCloseEvent* event)
{
    closedBounds_ = frameGeometry();
    QMainWindow::closeEvent(event);
}

void TMainform::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Brought back from the task bar or by Alt+Tab while a message box
    // waits, this window would take the keys the box is waiting for.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this) {
            if (modal->isMinimized())
                modal->showNormal();
            modal->raise();
            modal->activateWindow();
        }
}

bool TMainform::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        if (watched == mdiArea_->viewport())
            SetStatusText(QString()); // FormMouseMove
        else if (const auto text = statusTexts_.constFind(watched); text != statusTexts_.cend())
            SetStatusText(*text);
    }
    return QMainWindow::eventFilter(watched, event);
}
