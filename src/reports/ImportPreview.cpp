#include "reports/ImportPreview.h"

#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include "core/LeaveRecord.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/FixedDialog.h"
#include "views/DaySaves.h"
#include "views/Inputf.h"
#include "views/MainFrame.h"

TImportPreviewForm* ImportPreviewForm = nullptr;

namespace ImportPreview {

namespace {

QString DateText(const QDate& date) { return date.toString(QStringLiteral("yyyy/MM/dd")); }

// "１日休暇 夏の旅行": the kind as the entry dialog names it, then the memo.
QString EntryText(const LeaveStore::Entry& entry)
{
    const QString kind = LeaveKindLabel(entry.Kind);
    const QString memo = QString(entry.Memo).replace(u'\r', QString()).replace(u'\n', u' ');
    return memo.isEmpty() ? kind : kind + u' ' + memo;
}

} // namespace

Plan PlanFor(const CsvImport::Result& read)
{
    // Each date once, in the order of its first line, holding its last.
    std::vector<const CsvImport::Day*> days;
    QHash<QDate, size_t> index;
    index.reserve(qsizetype(read.Days.size()));
    for (const CsvImport::Day& day : read.Days) {
        const auto found = index.constFind(day.Date);
        if (found == index.cend()) {
            index.insert(day.Date, days.size());
            days.push_back(&day);
        } else {
            days[*found] = &day;
        }
    }
    std::vector<QDate> dates;
    dates.reserve(days.size());
    for (const CsvImport::Day* day : days)
        dates.push_back(day->Date);
    const std::vector<LeaveStore::Entry> stored = LeaveStore::FindEntries(dates);

    Plan plan;
    for (size_t i = 0; i < days.size(); ++i) {
        const CsvImport::Day& day = *days[i];
        const QDate& d = day.Date;
        if (stored[i].Kind == int(LeaveKind::Normal)) {
            plan.NewDays.push_back({ d.year(), d.month(), d.day(), day.Kind, day.Memo });
            continue;
        }
        // The memo as the data file would hold it: cut to 30 bytes of Shift-JIS.
        const QString memo = LeaveRecord::Make(d.year(), d.month(), d.day(), day.Kind, day.Memo).Memo();
        if (stored[i].Kind != day.Kind || stored[i].Memo != memo)
            plan.Changes.push_back({ d, stored[i], { day.Kind, memo } });
        else
            ++plan.SameDays;
    }
    return plan;
}

int Apply(const Plan& plan, bool overwrite)
{
    std::vector<LeaveStore::DayEntry> entries = plan.NewDays;
    if (overwrite) {
        for (const Change& change : plan.Changes) {
            const QDate& d = change.Date;
            entries.push_back({ d.year(), d.month(), d.day(), change.Read.Kind, change.Read.Memo });
        }
    }
    if (entries.empty())
        return 0;
    DaySaves::Save(QStringLiteral("CSV読み込み %1日").arg(entries.size()), entries);
    return int(entries.size());
}

void Run(QWidget* owner)
{
    const std::optional<QString> path = Dialogs::OpenDialog(owner,
        { QStringLiteral("CSV(カンマ区切り)(*.csv)|*.csv|テキストファイル(*.txt)|*.txt|すべてのファイル(*.*)|*"),
            QStringLiteral("CSVファイルから読み込み"), QStringLiteral("import") });
    if (path)
        OpenFile(owner, *path);
}

void OpenFile(QWidget* owner, const QString& path)
{
    CsvImport::Result read;
    try {
        read = path.endsWith(QStringLiteral(".d00"), Qt::CaseInsensitive) ? CsvImport::ReadDataFile(path)
                                                                          : CsvImport::ReadFile(path);
    } catch (const Exception& e) {
        Dialogs::MessageBox(owner, e.Message(), QStringLiteral("警告"), MsgIcon::Warning);
        return;
    }
    if (!ImportPreviewForm)
        new TImportPreviewForm(owner ? owner->window() : nullptr);
    ImportPreviewForm->Open(QFileInfo(path).fileName(), std::move(read));
}

} // namespace ImportPreview

TImportPreviewForm::TImportPreviewForm(QWidget* parent)
    : QWidget(parent, FixedToolDialogFlags)
{
    ImportPreviewForm = this;
    setupUi();
    connect(Button1, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button2Click(); }); });
    connect(Button3, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button3Click(); }); });
}

TImportPreviewForm::~TImportPreviewForm()
{
    if (ImportPreviewForm == this)
        ImportPreviewForm = nullptr;
}

void TImportPreviewForm::setupUi()
{
    setObjectName(QStringLiteral("ImportPreviewForm"));
    setWindowTitle(QStringLiteral("CSVファイルから読み込み"));
    setFixedSize(504, 420);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 8, 472, 64);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(16, 76, 472, 160);
    ListView1->setRootIsDecorated(false);
    ListView1->setHeaderLabels({ QStringLiteral("日付"), QStringLiteral("今の内容"), QStringLiteral("読み込む内容") });
    ListView1->setColumnWidth(0, 90);
    ListView1->setColumnWidth(1, 180);
    ListView1->setAccessibleName(QStringLiteral("登録済みと違う日"));

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(16, 244, 472, 16);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(16, 264, 472, 96);
    ListBox1->setAccessibleName(QStringLiteral("読めなかった行"));
    Label2->setBuddy(ListBox1);

    Button1 = new QPushButton(QStringLiteral("新しい日だけ追加(&A)"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(118, 372, 140, 33);
    Button2 = new QPushButton(QStringLiteral("既存の日も上書き(&O)"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(266, 372, 140, 33);
    Button3 = new QPushButton(QStringLiteral("キャンセル"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(414, 372, 74, 33);
    SetUpDialogKeys(*this);
}

void TImportPreviewForm::Open(const QString& name, CsvImport::Result read)
{
    read_ = std::move(read);
    const ImportPreview::Plan plan = ImportPreview::PlanFor(read_);
    QString counts = QStringLiteral("%1\n新しい日: %2日\n登録済みと違う日: %3日")
                         .arg(name)
                         .arg(plan.NewDays.size())
                         .arg(plan.Changes.size());
    if (plan.SameDays > 0)
        counts += QStringLiteral("\n登録済みと同じ日: %1日").arg(plan.SameDays);
    Label1->setText(counts);

    ListView1->clear();
    for (const ImportPreview::Change& change : plan.Changes) {
        auto* item = new QTreeWidgetItem(ListView1);
        item->setText(0, ImportPreview::DateText(change.Date));
        item->setText(1, ImportPreview::EntryText(change.Stored));
        item->setText(2, ImportPreview::EntryText(change.Read));
    }
    Label2->setText(QStringLiteral("読めなかった行: %1行").arg(read_.Problems.size()));
    ListBox1->clear();
    for (const CsvImport::Problem& problem : read_.Problems)
        ListBox1->addItem(problem.Text());

    Button1->setEnabled(!plan.NewDays.empty());
    Button2->setEnabled(!plan.NewDays.empty() || !plan.Changes.empty());
    CentreOnMainWindow(*this);
    show();
    raise();
    activateWindow();
    QPushButton* first = Button1->isEnabled() ? Button1 : Button2->isEnabled() ? Button2 : Button3;
    first->setFocus(Qt::OtherFocusReason);
}

void TImportPreviewForm::import(bool overwrite)
{
    // What is stored may have changed since the preview was made.
    const int written = ImportPreview::Apply(ImportPreview::PlanFor(read_), overwrite);
    close();
    read_ = {};
    if (MainFrame)
        MainFrame->SetStatusText(QStringLiteral("CSVファイルから%1日を読み込みました。").arg(written));
}

void TImportPreviewForm::Button1Click() { import(false); }

void TImportPreviewForm::Button2Click() { import(true); }

void TImportPreviewForm::Button3Click()
{
    close();
    read_ = {};
}

void TImportPreviewForm::keyPressEvent(QKeyEvent* event)
{
    if (!ClickForEnterOrEsc(*event, *Button1, *Button3))
        QWidget::keyPressEvent(event);
}
