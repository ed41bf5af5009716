#pragma once

// Valdemor records leave days of an office worker in Japan and shows them on
// three calendars next to the national holidays.
//
// The program at a glance:
//   main.cpp       admits one running copy ("EX_Orbelund"), creates the
//                  long-lived windows in a fixed order, runs the event loop.
//   TMainform      (this file) the MDI frame: menus, tool bar, status line,
//                  the settings of the frame, and the operations that open
//                  one calendar at a time. The check marks of Y1, M1 and H2
//                  are the only record of which calendar is open; only
//                  views/OpenCalendar reads them.
//   core/          the data file Holiday.d00 (LeaveStore), the settings file
//                  orbelund.ini (Settings), dates, holidays, the day table
//                  and the fills that write the calendars' grids.
//   views/         the calendar windows (MDI children, created on demand,
//                  freed on close), the entry dialog and the chooser. They
//                  see this window only through TMainFrame. ProgramEvents
//                  announces a saved day, an opened or closed calendar and
//                  changed days off as signals.
//   reports/       totals, CSV export and printing.
//   widgets/, platform/  the grids and the toolkit services beneath them.
// Nothing is cached: every command reads the files afresh.

#include <functional>
#include <optional>

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QMargins>
#include <QPointer>
#include <QRect>

#include "views/MainFrame.h"
#include "views/OpenCalendar.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QStatusBar;
class QToolBar;
class QToolButton;
class QWidget;
class THelpWindow;

// Where the main window goes. The settings' Left, Top, Width and Height are
// the window's outer bounds, frame included, when read and when written, so
// that a start and an end under a window manager leave them as they were.
namespace MainWindowPlacement {

// The outer bounds for saved ones, on the screen (available areas, the
// primary first) they overlap most: never larger than that screen's area
// and wholly on it, so the title bar can always be reached. Bounds on no
// screen at all come back at the first-run place. Any int is safe here.
QRect FitOnScreens(int left, int top, int width, int height, const QList<QRect>& screens);

// The client area inside outer bounds, for a window manager's frame margins.
QRect ClientArea(const QRect& outer, const QMargins& frame);

} // namespace MainWindowPlacement

class TMainform final : public QMainWindow, public TMainFrame {
    Q_OBJECT

public:
    explicit TMainform(QWidget* parent = nullptr);
    ~TMainform() override;

    // Makes a calendar window of the given kind; the window sets its own
    // check mark when shown and clears it when closed. Installed by the
    // calendar windows' module.
    using CalendarFactory = std::function<QWidget*(TMainform&)>;
    void SetCalendarFactory(CalendarKind calendar, CalendarFactory factory);

    // Opens one calendar and closes the others: the new window is shown
    // before the old one closes; the calendar already open is left alone.
    void OpenYearCalendar();
    void OpenMonthCalendar();
    void OpenHolidayCalendar();

    void OpenHelpFile();
    // The print dialog for the open calendar (Print1, ToolButton7).
    void OpenPrintDialog();

    // The status line's one simple panel.
    void SetStatusText(const QString& text) override;
    QString StatusText() const override;
    void ShowNotice(const QString& text, const QString& details) override;

    QWidget& FrameWidget() override { return *this; }

    QMdiArea* MdiArea() const { return mdiArea_; }

    // Menus, in menu-bar order.
    QMenu* File1 = nullptr;
    QMenu* Edit2 = nullptr;
    QMenu* Show1 = nullptr;
    QMenu* C1 = nullptr;
    QMenu* S1 = nullptr;
    QMenu* Help1 = nullptr;
    QMenu* W1 = nullptr;
    QMenu* N8 = nullptr;
    QMenu* H3 = nullptr;

    // Commands (the calendars' marks and width commands are TMainFrame's).
    QAction* I1 = nullptr;
    QAction* Range1 = nullptr; // 期間入力
    QAction* Restore1 = nullptr; // バックアップから復元
    QAction* N3 = nullptr;
    QAction* Print1 = nullptr;
    QAction* N4 = nullptr;
    QAction* CSVO1 = nullptr;
    QAction* iCalendar1 = nullptr;
    QAction* CSVI1 = nullptr; // CSVファイルから読み込み
    QAction* N1 = nullptr;
    QAction* L1 = nullptr;
    QAction* N6 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* Undo1 = nullptr; // 元に戻す, Ctrl+Z
    QAction* Redo1 = nullptr; // やり直し, Ctrl+Y
    QAction* N5 = nullptr;
    QAction* T1 = nullptr;
    QAction* s2 = nullptr;
    QAction* H1 = nullptr;
    QAction* N7 = nullptr;
    QAction* Y2 = nullptr;
    QAction* M2 = nullptr;
    QAction* B1 = nullptr; // paid leave left
    QAction* G1 = nullptr; // charts
    QAction* O1 = nullptr;
    QAction* DataFolder1 = nullptr; // データの保存先
    QAction* Help2 = nullptr;
    QAction* N2 = nullptr;
    QAction* About1 = nullptr;

    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton1 = nullptr;
    QToolButton* ToolButton2 = nullptr;
    QToolButton* ToolButton3 = nullptr;
    QToolButton* ToolButton5 = nullptr;
    QToolButton* ToolButton7 = nullptr;
    QToolButton* ToolButton9 = nullptr;
    QToolButton* ToolButton11 = nullptr;
    QStatusBar* StatusBar1 = nullptr;

    // The file filter of the CSV export's save dialog, set by FormShow.
    QString SaveDialog1Filter;

    // Whether the tool bar is drawn flat (the buttons raise only under the mouse).
    bool ToolBarFlat() const { return flat_; }
    void SetToolBarFlat(bool flat);

    // The available areas of the screens the window is fitted on; empty
    // means the real screens (tests give larger ones than the offscreen
    // platform's).
    static void SetScreenAreas(const QList<QRect>& areas);

    void FormShow();
    void FormDestroy();
    void T1Click();
    void s2Click();
    void L1Click();
    void Exit1Click();
    void I1Click();
    // 期間入力: the period dialog from the day selected in the open calendar,
    // or from today.
    void Range1Click();
    void CSVO1Click();
    void iCalendar1Click();
    void D1Click();
    void F1Click();
    void D2Click();
    void F2Click();
    void O1Click();
    void About1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setupUi();
    void setupMenus(); // in menu-bar order
    void setupToolBar();
    void setupStatusBar();
    void connectHandlers();
    // The undo and redo commands as the history stands.
    void ShowHistory();
    QToolButton* AddToolButton(const QString& name, int image, const QString& hint, const QString& status);
    void AddToolSeparator(const QString& name, int width);

    struct CalendarSlot {
        QAction* mark = nullptr;
        CalendarFactory factory;
        QPointer<QMdiSubWindow> window;
    };
    QPointer<THelpWindow> help_; // made when the guide is first opened
    CalendarSlot& Slot(CalendarKind calendar);
    void OpenCalendar(CalendarKind calendar);

    // Places the window at outer bounds with the frame margins known now.
    void Place(const QRect& outer);
    // A window manager reports its frame only once the window is on the
    // screen: the bounds asked for at the first show are kept until then.
    void PlaceOnceFramed();

    QMdiArea* mdiArea_ = nullptr;
    QLabel* statusPanel_ = nullptr;
    QToolButton* noticeDetails_ = nullptr; // 詳細 of the notice in statusPanel_
    QString noticeText_; // what 詳細 shows
    QHash<QObject*, QString> statusTexts_;
    CalendarSlot slots_[3];
    std::optional<QRect> unframedPlace_; // outer bounds waiting for the frame
    std::optional<QRect> closedBounds_; // outer bounds when the window closed
    bool shown_ = false;
    bool flat_ = false;
    bool destroyed_ = false;
};

extern TMainform* Mainform;
