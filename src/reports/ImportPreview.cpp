#include "reports/ImportPreview.h"

#include <algorithm>

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

// Past MaxListedRows rows, one row counts the rest.
template <typename Row> void FillRows(QTreeWidget& list, size_t count, const Row& row)
{
    list.clear();
    const size_t shown = std::min(count, size_t(MaxListedRows));
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(shown) + 1);
    for (size_t i = 0; i < shown; ++i)
        items << row(i);
    if (count > shown)
        items << new QTreeWidgetItem(QStringList { QStringLiteral("ほか %1日").arg(count - shown) });
    list.addTopLevelItems(items);
}

} // namespace

bool IsFarYear(int year) { return year < 1950 || year > 2100; }

QString StatusText(int added, int overwritten)
{
    if (overwritten == 0)
        return QStringLiteral("CSVファイルから%1日を追加しました。").arg(added);
    return QStringLiteral("CSVファイルから%1日を追加し、%2日を上書きしました。").arg(added).arg(overwritten);
}

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
        int year = 0, month = 0, dayOfMonth = 0;
        day.Date.getDate(&year, &month, &dayOfMonth);
        if (stored[i].Kind == int(LeaveKind::Normal)) {
            plan.NewDays.push_back({ year, month, dayOfMonth, day.Kind, day.Memo });
            continue;
        }
        // The memo as the data file would hold it: cut to 30 bytes of Shift-JIS.
        const QString memo = LeaveRecord::Make(year, month, dayOfMonth, day.Kind, day.Memo).Memo();
        if (stored[i].Kind != day.Kind || stored[i].Memo != memo)
            plan.Changes.push_back({ day.Date, stored[i], { day.Kind, memo } });
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
    setFixedSize(504, 548);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 8, 472, 104);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(16, 116, 472, 144);
    ListView1->setRootIsDecorated(false);
    ListView1->setHeaderLabels({ QStringLiteral("日付"), QStringLiteral("今の内容"), QStringLiteral("読み込む内容") });
    ListView1->setColumnWidth(0, 90);
    ListView1->setColumnWidth(1, 180);
    ListView1->setAccessibleName(QStringLiteral("登録済みと違う日"));

    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(16, 268, 472, 16);

    ListView2 = new QTreeWidget(this);
    ListView2->setObjectName(QStringLiteral("ListView2"));
    ListView2->setGeometry(16, 288, 472, 88);
    ListView2->setRootIsDecorated(false);
    ListView2->setHeaderLabels({ QStringLiteral("日付"), QStringLiteral("読み込む内容") });
    ListView2->setColumnWidth(0, 90);
    ListView2->setAccessibleName(QStringLiteral("1950年より前か2100年より後の日"));
    Label3->setBuddy(ListView2);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(16, 384, 472, 16);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(16, 404, 472, 88);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setAccessibleName(QStringLiteral("読めなかった行"));
    Label2->setBuddy(ListBox1);

    Button1 = new QPushButton(QStringLiteral("新しい日だけ追加(&A)"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(118, 500, 140, 33);
    Button2 = new QPushButton(QStringLiteral("既存の日も上書き(&O)"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(266, 500, 140, 33);
    Button3 = new QPushButton(QStringLiteral("キャンセル"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(414, 500, 74, 33);
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
    // How the years not written in full were read: the first day of each way.
    const auto firstOf = [&](bool CsvImport::Day::*way) {
        return std::find_if(read_.Days.begin(), read_.Days.end(), [&](const CsvImport::Day& day) { return day.*way; });
    };
    if (const auto day = firstOf(&CsvImport::Day::TwoDigitYear); day != read_.Days.end())
        counts += QStringLiteral("\n年が2桁の日付は%1年などとして読みました").arg(day->Date.year());
    if (const auto day = firstOf(&CsvImport::Day::YearFromWeekday); day != read_.Days.end())
        counts += QStringLiteral("\n年のない日付は曜日から%1年として読みました").arg(day->Date.year());
    Label1->setText(counts);

    ImportPreview::FillRows(*ListView1, plan.Changes.size(), [&](size_t i) {
        const ImportPreview::Change& change = plan.Changes[i];
        return new QTreeWidgetItem(QStringList { ImportPreview::DateText(change.Date),
            ImportPreview::EntryText(change.Stored), ImportPreview::EntryText(change.Read) });
    });

    // The days a person rarely means, new or changed, so that none is added
    // unseen: the earliest MaxListedRows of them in date order, and their count.
    using FarDay = std::pair<QDate, LeaveStore::Entry>;
    const auto earlier = [](const FarDay& a, const FarDay& b) { return a.first < b.first; };
    std::vector<FarDay> far; // a heap of the earliest, the latest of them on top
    size_t farCount = 0;
    const auto addFar = [&](const QDate& date, const LeaveStore::Entry& entry) {
        ++farCount;
        if (far.size() == size_t(ImportPreview::MaxListedRows)) {
            if (!(date < far.front().first))
                return;
            std::pop_heap(far.begin(), far.end(), earlier);
            far.pop_back();
        }
        far.push_back({ date, entry });
        std::push_heap(far.begin(), far.end(), earlier);
    };
    for (const LeaveStore::DayEntry& day : plan.NewDays)
        if (ImportPreview::IsFarYear(day.Year))
            addFar(QDate(day.Year, day.Month, day.Day), { day.Kind, day.Memo });
    for (const ImportPreview::Change& change : plan.Changes)
        if (ImportPreview::IsFarYear(change.Date.year()))
            addFar(change.Date, change.Read);
    std::sort_heap(far.begin(), far.end(), earlier);
    Label3->setText(QStringLiteral("1950年より前か2100年より後の日: %1日").arg(farCount));
    ImportPreview::FillRows(*ListView2, farCount, [&](size_t i) {
        return new QTreeWidgetItem(
            QStringList { ImportPreview::DateText(far[i].first), ImportPreview::EntryText(far[i].second) });
    });

    Label2->setText(QStringLiteral("読めなかった行: %1行").arg(read_.ProblemCount()));
    QStringList problems;
    problems.reserve(qsizetype(read_.Problems.size()) + 1);
    for (const CsvImport::Problem& problem : read_.Problems)
        problems << problem.Text();
    if (read_.MoreProblems > 0)
        problems << QStringLiteral("ほか %1行").arg(read_.MoreProblems);
    ListBox1->clear();
    ListBox1->addItems(problems);

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
    const ImportPreview::Plan plan = ImportPreview::PlanFor(read_);
    const int written = ImportPreview::Apply(plan, overwrite);
    close();
    read_ = {};
    if (MainFrame) {
        const int added = int(plan.NewDays.size());
        MainFrame->SetStatusText(ImportPreview::StatusText(added, written - added));
    }
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
