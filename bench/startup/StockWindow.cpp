// A plain Qt main window with the frame of Valdemor's main window and
// nothing of its own: the same menus and commands, a tool bar of seven
// buttons, a status bar, and an MDI child holding a 32 × 13 table of
// day numbers, the size of the fiscal-year calendar. bench/startup-compare
// measures the program's start-up against this one's.

#include <QApplication>
#include <QColor>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QIcon>
#include <QPixmap>
#include <QTableWidget>
#include <QToolBar>

namespace {

void AddMenu(QMenuBar* bar, const QString& caption, const QStringList& items)
{
    QMenu* menu = bar->addMenu(caption);
    for (const QString& item : items) {
        if (item.isEmpty())
            menu->addSeparator();
        else
            menu->addAction(item);
    }
}

void AddMenus(QMenuBar* bar)
{
    AddMenu(bar, QStringLiteral("ファイル(&F)"),
        { QStringLiteral("入力(&N)..."), QStringLiteral("期間入力(&R)..."),
            QStringLiteral("バックアップから復元(&B)..."), {}, QStringLiteral("印刷(&P)..."), {},
            QStringLiteral("CSVファイルへ出力(&O)..."), QStringLiteral("iCalendar形式で出力(&I)..."),
            QStringLiteral("CSVファイルから読み込み(&M)..."), {}, QStringLiteral("最終更新日時表示(&L)..."), {},
            QStringLiteral("終了(&X)") });
    AddMenu(bar, QStringLiteral("編集(&E)"), { QStringLiteral("元に戻す(&U)"), QStringLiteral("やり直し(&R)") });
    AddMenu(bar, QStringLiteral("表示(&V)"),
        { QStringLiteral("年表示(&Y)"), QStringLiteral("月表示(&M)"), QStringLiteral("休日表示(&H)"), {},
            QStringLiteral("ツールバー(&T)"), QStringLiteral("ステイタスバー(&S)") });
    AddMenu(bar, QStringLiteral("集計(&C)"),
        { QStringLiteral("集計項目一覧(&S)..."), {}, QStringLiteral("年度集計(&Y)..."),
            QStringLiteral("月別集計(&M)..."), QStringLiteral("有給休暇の残日数(&B)..."),
            QStringLiteral("グラフ(&G)...") });
    AddMenu(bar, QStringLiteral("設定(&S)"),
        { QStringLiteral("オプション(&O)..."), QStringLiteral("データの保存先(&D)..."), QStringLiteral("表の幅(&W)") });
    AddMenu(bar, QStringLiteral("ヘルプ(&H)"),
        { QStringLiteral("ヘルプ(&H)"), {}, QStringLiteral("バージョン情報(&A)...") });
}

void AddToolBar(QMainWindow& window)
{
    QToolBar* bar = window.addToolBar(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setIconSize(QSize(16, 16));
    const QString names[] = { QStringLiteral("年度カレンダー"), QStringLiteral("月カレンダー"),
        QStringLiteral("休日カレンダー"), QStringLiteral("集計項目一覧"), QStringLiteral("印刷"),
        QStringLiteral("オプション"), QStringLiteral("ヘルプ") };
    for (int i = 0; i < 7; ++i) {
        if (i >= 3)
            bar->addSeparator();
        // A program's own images: plain pixmaps, no icon theme.
        QPixmap image(16, 16);
        image.fill(QColor::fromHsv(i * 50, 160, 200));
        bar->addAction(QIcon(image), names[i]);
    }
}

QTableWidget* DayTable()
{
    auto* table = new QTableWidget(32, 13);
    for (int row = 0; row < 32; ++row)
        for (int column = 0; column < 13; ++column) {
            // Month names across the top (April first), day numbers below.
            const QString text = row > 0 ? QString::number(row)
                : column > 0             ? QStringLiteral("%1月").arg((column + 2) % 12 + 1)
                                         : QString();
            table->setItem(row, column, new QTableWidgetItem(text));
        }
    return table;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Stock window"));
    AddMenus(window.menuBar());
    AddToolBar(window);
    window.statusBar()->showMessage(QStringLiteral(" "));
    auto* area = new QMdiArea;
    window.setCentralWidget(area);
    QMdiSubWindow* child = area->addSubWindow(DayTable());
    child->setWindowTitle(QStringLiteral("年度カレンダー"));
    child->resize(600, 360);
    window.setGeometry(10, 10, 640, 480);
    window.show();
    child->show();
    return app.exec();
}
