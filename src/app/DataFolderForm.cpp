#include "app/DataFolderForm.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/Backups.h"
#include "core/DataFolderMove.h"
#include "core/LeaveStore.h"
#include "platform/Application.h"
#include "platform/DataDirectory.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/FixedDialog.h"
#include "views/Inputf.h"
#include "views/MainFrame.h"
#include "views/ProgramEvents.h"

LongLivedWindow<TDataFolderForm> DataFolderForm;

namespace {
QString Shown(const QString& folder) { return QDir::toNativeSeparators(folder); }

// What the data file at `path` holds, in a few words: the days with leave
// and the latest of them.
QString Holds(const QString& path)
{
    if (!Files::Exists(path))
        return QStringLiteral("データファイルなし");
    const Backups::Summary summary = Backups::Summarize(path, true);
    if (summary.Damaged)
        return QStringLiteral("データファイルを読み取れません");
    if (summary.Days == 0)
        return QStringLiteral("休暇の記録なし");
    return QStringLiteral("%1日（最終 %2）")
        .arg(summary.Days)
        .arg(summary.Latest.toString(QStringLiteral("yyyy/MM/dd")));
}

// Asks which data to keep where `folder` holds files of the program's
// already. Enter keeps the folder's.
MsgAnswer AskWhichToKeep(QWidget* owner, const QString& folder, const QStringList& existing)
{
    const QString data = QFileInfo(LeaveStore::FilePath()).fileName();
    const QString there = QDir::cleanPath(folder) + u'/' + data;
    return Dialogs::MessageBox(owner,
        QStringLiteral("%1 には既に %2 があります。\n\n"
                       "　今のデータ: %3\n"
                       "　フォルダーのデータ: %4\n\n"
                       "フォルダーのファイルを今のデータで置き換えますか？\n"
                       "「はい」: 置き換えます。フォルダーのファイルは先にそのフォルダーの backup にコピーします。\n"
                       "「いいえ」: フォルダーのデータをそのまま使います。今のデータはそのフォルダーの backup "
                       "にコピーします。\n"
                       "「キャンセル」: 保存先を変えません。")
            .arg(Shown(folder), existing.join(QStringLiteral("、")), Holds(LeaveStore::FilePath()), Holds(there)),
        QStringLiteral("確認"), MsgIcon::Warning, MsgButtons::ReplaceOrKeep);
}
} // namespace

TDataFolderForm::TDataFolderForm(QWidget* parent)
    : QWidget(parent, FixedToolDialogFlags)
{
    DataFolderForm = this;
    setupUi();
    connect(Button1, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button2Click(); }); });
    connect(Button3, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button3Click(); }); });
}

TDataFolderForm::~TDataFolderForm()
{
    if (DataFolderForm.Existing() == this)
        DataFolderForm = nullptr;
}

void TDataFolderForm::setupUi()
{
    setObjectName(QStringLiteral("DataFolderForm"));
    setWindowTitle(QStringLiteral("データの保存先"));
    setFixedSize(440, 170);

    Label1 = new QLabel(QStringLiteral("現在の保存先:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 12, 408, 16);
    Current = new QLabel(this);
    Current->setObjectName(QStringLiteral("Current"));
    Current->setGeometry(16, 32, 408, 16);
    Current->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Label2 = new QLabel(QStringLiteral("新しい保存先(&F):"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(16, 60, 408, 16);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(16, 80, 312, 24);
    Edit1->setAccessibleName(QStringLiteral("新しい保存先"));
    Label2->setBuddy(Edit1);
    Button3 = new QPushButton(QStringLiteral("参照(&B)..."), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(336, 78, 88, 28);

    Button1 = new QPushButton(QStringLiteral("移動(&M)"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(248, 124, 81, 33);
    Button2 = new QPushButton(QStringLiteral("キャンセル"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(343, 124, 81, 33);
    SetUpDialogKeys(*this);
}

void TDataFolderForm::Open()
{
    Current->setText(Shown(DataDirectory()));
    Current->setToolTip(Shown(DataDirectory()));
    Edit1->setText(Shown(DataDirectory()));
    CentreOnMainWindow(*this);
    show();
    raise();
    activateWindow();
    Edit1->setFocus(Qt::OtherFocusReason);
    Edit1->selectAll();
}

void TDataFolderForm::Button1Click()
{
    const QString folder = QDir::fromNativeSeparators(Edit1->text().trimmed());
    if (folder.isEmpty() || QDir::cleanPath(folder) == QDir::cleanPath(DataDirectory())) {
        close();
        return;
    }
    if (Dialogs::MessageBox(this,
            QStringLiteral("データファイルと設定ファイルを %1 にコピーし、以後このフォルダーを使います。\n"
                           "よろしいですか？")
                .arg(Shown(folder)),
            QStringLiteral("確認"), MsgIcon::Question, MsgButtons::YesNo)
        != MsgAnswer::Yes)
        return;
    bool replace = false;
    const QStringList existing = DataFolderMove::Existing(folder);
    if (!existing.isEmpty()) {
        const MsgAnswer answer = AskWhichToKeep(this, folder, existing);
        if (answer == MsgAnswer::Cancel)
            return;
        replace = answer == MsgAnswer::Yes;
    }
    const QString before = DataDirectory();
    QString warning;
    try {
        warning = DataFolderMove::Move(folder, replace);
    } catch (const EInOutError& e) {
        Dialogs::MessageBox(this,
            QStringLiteral("%1 に移動できませんでした（%2）。\nデータの保存先は %3 のままです。")
                .arg(Shown(folder), e.Reason().isEmpty() ? e.Message() : e.Reason(), Shown(before)),
            QStringLiteral("警告"), MsgIcon::Warning);
        return;
    }
    close();
    // The undo steps belong to the file of the old folder; the settings of
    // the new one may differ too.
    if (MainFrame) {
        MainFrame->History.Clear();
        MainFrame->SetStatusText(
            QStringLiteral("データの保存先を %1 に変更しました。").arg(Shown(DataDirectory())) + warning);
    }
    emit ProgramEvents().historyChanged();
    emit ProgramEvents().daysOffChanged();
    emit ProgramEvents().paidLeaveSettingsChanged();
    emit ProgramEvents().dataReplaced();
}

void TDataFolderForm::Button2Click() { close(); }

void TDataFolderForm::Button3Click()
{
    const std::optional<QString> chosen
        = Dialogs::FolderDialog(this, QStringLiteral("データの保存先"), QDir::fromNativeSeparators(Edit1->text()));
    if (chosen && !chosen->isEmpty())
        Edit1->setText(Shown(*chosen));
}

void TDataFolderForm::keyPressEvent(QKeyEvent* event)
{
    if (!ClickForEnterOrEsc(*event, *Button1, *Button2))
        QWidget::keyPressEvent(event);
}
