#include "views/RestoreForm.h"

#include <QDateTime>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/FixedDialog.h"
#include "platform/MachineId.h"
#include "views/Inputf.h"
#include "views/MainFrame.h"
#include "views/ProgramEvents.h"

LongLivedWindow<TRestoreForm> RestoreForm;

namespace {

QString DateText(const QDate& date) { return date.toString(QStringLiteral("yyyy/MM/dd")); }

// The backup's date, with its time when it was taken before a restore, and
// the start of the other machine's id when another machine made it.
QString StampText(const Backups::Backup& backup)
{
    QString text = DateText(backup.Day);
    if (backup.Stamp.size() > 8) {
        const QTime time = QTime::fromString(backup.Stamp.mid(9), QStringLiteral("HHmmss"));
        text += u' ' + time.toString(QStringLiteral("HH:mm:ss"));
    }
    if (!backup.Machine.isEmpty() && backup.Machine != MachineIdText(ThisMachineId()))
        text += QStringLiteral("（ほかのPC %1）").arg(backup.Machine.left(4));
    return text;
}

} // namespace

TRestoreForm::TRestoreForm(QWidget* parent)
    : QWidget(parent, FixedToolDialogFlags)
{
    RestoreForm = this;
    setupUi();
    connect(Button1, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button2Click(); }); });
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this,
        [this] { Button1->setEnabled(!ListView1->selectedItems().isEmpty()); });
    connect(
        ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { Application::Guard([this] { Button1Click(); }); });
}

TRestoreForm::~TRestoreForm()
{
    if (RestoreForm.Existing() == this)
        RestoreForm = nullptr;
}

void TRestoreForm::setupUi()
{
    setObjectName(QStringLiteral("RestoreForm"));
    setWindowTitle(QStringLiteral("バックアップから復元"));
    setFixedSize(424, 300);

    Label1 = new QLabel(QStringLiteral("復元するバックアップを選んでください。"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 8, 392, 16);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(16, 32, 392, 208);
    ListView1->setRootIsDecorated(false);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setHeaderLabels(
        { QStringLiteral("日付"), QStringLiteral("休暇のある日数"), QStringLiteral("最後の休暇日") });
    ListView1->setColumnWidth(0, 150);
    ListView1->setColumnWidth(1, 100);
    ListView1->setAccessibleName(QStringLiteral("バックアップ"));
    Label1->setBuddy(ListView1);

    Button1 = new QPushButton(QStringLiteral("復元(&R)"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(232, 252, 81, 33);
    Button2 = new QPushButton(QStringLiteral("閉じる"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(327, 252, 81, 33);
    SetUpDialogKeys(*this);
}

void TRestoreForm::fill()
{
    ListView1->clear();
    backups_ = Backups::List();
    for (const Backups::Backup& backup : backups_) {
        auto* item = new QTreeWidgetItem(ListView1);
        item->setText(0, StampText(backup));
        if (backup.NotACopy) {
            // Something else under a backup's name is never opened. The note
            // is wider than a column: it runs across the row.
            item->setText(0, StampText(backup) + QStringLiteral("　（バックアップではありません）"));
            ListView1->setFirstColumnSpanned(ListView1->indexOfTopLevelItem(item), QModelIndex(), true);
            item->setFlags(Qt::NoItemFlags);
            continue;
        }
        const Backups::Summary summary = Backups::Summarize(backup.DataPath);
        if (summary.Damaged) {
            item->setText(1, QStringLiteral("（壊れています）"));
            item->setFlags(Qt::NoItemFlags);
            continue;
        }
        item->setText(1, QStringLiteral("%1日").arg(summary.Days));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(2, summary.Latest.isValid() ? DateText(summary.Latest) : QStringLiteral("－"));
    }
    Label1->setText(backups_.empty() ? QStringLiteral("バックアップはまだありません。")
                                     : QStringLiteral("復元するバックアップを選んでください。"));
    // The newest backup that can be chosen is selected.
    for (int row = 0; row < ListView1->topLevelItemCount(); ++row) {
        if (QTreeWidgetItem* item = ListView1->topLevelItem(row); item->flags() & Qt::ItemIsSelectable) {
            ListView1->setCurrentItem(item);
            break;
        }
    }
    Button1->setEnabled(!ListView1->selectedItems().isEmpty());
}

void TRestoreForm::Open()
{
    fill();
    CentreOnMainWindow(*this);
    show();
    raise();
    activateWindow();
    ListView1->setFocus(Qt::OtherFocusReason);
}

void TRestoreForm::Button1Click()
{
    const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
    if (selected.isEmpty())
        return;
    const Backups::Backup backup = backups_.at(size_t(ListView1->indexOfTopLevelItem(selected.front())));
    const QString when = StampText(backup);
    if (Dialogs::MessageBox(this,
            QStringLiteral("データを %1 のバックアップの内容に置き換えます。\n今のデータは先にバックアップされます。\n"
                           "よろしいですか？")
                .arg(when),
            QStringLiteral("確認"), MsgIcon::Question, MsgButtons::ReplaceOrKeep)
        != MsgAnswer::Yes)
        return;
    Backups::Restore(backup);
    close();
    if (MainFrame) {
        MainFrame->History.Clear();
        MainFrame->SetStatusText(QStringLiteral("%1 のバックアップから復元しました。").arg(when));
    }
    emit ProgramEvents().historyChanged();
    emit ProgramEvents().dataReplaced();
}

void TRestoreForm::Button2Click() { close(); }

void TRestoreForm::keyPressEvent(QKeyEvent* event)
{
    if (!ClickForEnterOrEsc(*event, *Button1, *Button2))
        QWidget::keyPressEvent(event);
}
