#include "reports/CsvExport.h"

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMdiArea>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include "core/LeaveStore.h"
#include "platform/Files.h"
#include "platform/ShiftJis.h"
#include "reports/SaveStep.h"
#include "views/Hcalf.h"
#include "views/Mcalf.h"
#include "views/ViewsTestSupport.h"

namespace {

QByteArray Sjis(const QString& text) { return ShiftJis::FromUnicode(text); }

QList<QByteArray> Lines(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    EXPECT_TRUE(lines.last().isEmpty()) << "the last line ends with its line break";
    lines.removeLast();
    for (QByteArray& line : lines) {
        EXPECT_TRUE(line.endsWith('\r')) << line.constData();
        line.chop(1);
    }
    return lines;
}

// A record as another program may have written it: memo bytes as given.
void AppendForeignRecord(int year, int month, int day, int kind, const QByteArray& memo)
{
    LeaveRecord record = LeaveRecord::Make(year, month, day, kind, QString());
    record.Data()[23] = uint8_t(memo.size());
    std::memcpy(record.Data() + 24, memo.constData(), size_t(memo.size()));
    QFile file(LeaveStore::FilePath());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(reinterpret_cast<const char*>(record.Data()), LeaveRecord::Size);
}

QStringList Entries(const QString& directory)
{
    return QDir(directory).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Writes beyond `bytes` fail with EFBIG while the object lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_ {};
    void (*oldHandler_)(int) = nullptr;
};

const QString Overwrite = QStringLiteral("同名のファイルが存在します。上書きしてもよろしいですか？");

} // namespace

class CsvExportTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    FixedToday today { QDate(2010, 1, 15) };
    QTemporaryDir out;

    QString OutFile(const QString& name) const { return out.path() + u'/' + name; }
    // Runs the command with the dialog answering `path` and `filter`.
    void Export(TMainform& main, const QString& path, int filter = 2)
    {
        dialogs.saveAnswers.push_back(SaveDialogAnswer { path, filter });
        main.CSVO1->trigger();
    }
    static QByteArray Read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

TEST_F(CsvExportTest, FiscalYearCalendarGivesThirteenLinesOfThirtyTwoFields)
{
    LeaveStore::SaveEntry(2009, 4, 1, 1, QString());
    ProgramWindows program(data);
    Export(program.Main(), OutFile(QStringLiteral("year")));

    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    const SaveDialogRequest& request = dialogs.saveRequests.front();
    EXPECT_EQ(request.fileName, QStringLiteral("年度カレンダー(2009年度).csv"));
    EXPECT_EQ(request.title, QString());
    EXPECT_EQ(request.filterIndex, 2);
    EXPECT_EQ(request.filter, QStringLiteral("すべてのファイル(*.*)|*.*|CSV(カンマ区切り)(*.csv)|*.csv"));
    EXPECT_TRUE(dialogs.messages.empty());

    const QList<QByteArray> lines = Lines(Read(OutFile(QStringLiteral("year.csv"))));
    ASSERT_EQ(lines.size(), 13);
    for (const QByteArray& line : lines)
        EXPECT_EQ(line.count(','), 31) << line.constData();
    QByteArray heading;
    for (int day = 1; day <= 31; ++day)
        heading += ',' + QByteArray::number(day);
    EXPECT_EQ(lines[0], heading);
    EXPECT_TRUE(lines[1].startsWith("4," + Sjis(QStringLiteral("全")) + ',')) << lines[1].constData();
    // February 2010 has 28 days.
    EXPECT_TRUE(lines[11].startsWith("2,")) << lines[11].constData();
    EXPECT_TRUE(lines[11].endsWith(Sjis(QStringLiteral("／,／,／"))));
}

TEST_F(CsvExportTest, MonthCalendarGivesThirtyTwoLinesOfFourFields)
{
    LeaveStore::SaveEntry(2010, 1, 5, 1, QStringLiteral("通院"));
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");
    Export(program.Main(), OutFile(QStringLiteral("month.csv")));
    EXPECT_EQ(dialogs.saveRequests.back().fileName, QStringLiteral("月カレンダー(2010年1月).csv"));

    QList<QByteArray> lines = Lines(Read(OutFile(QStringLiteral("month.csv"))));
    ASSERT_EQ(lines.size(), 32);
    EXPECT_EQ(lines[0], Sjis(QStringLiteral("日,曜日,休暇,備考")));
    EXPECT_EQ(lines[1], Sjis(QStringLiteral("1,金,,")));
    EXPECT_EQ(lines[5], Sjis(QStringLiteral("5,火,全,通院")));
    EXPECT_EQ(lines[31], Sjis(QStringLiteral("31,日,,")));

    // November has 30 days: its last line is three commas.
    MCalForm->ShowMonth(2);
    MCalForm->ShowMonth(2);
    ASSERT_EQ(MCalForm->Button2->text(), QStringLiteral("2009年11月"));
    Export(program.Main(), OutFile(QStringLiteral("november.csv")));
    lines = Lines(Read(OutFile(QStringLiteral("november.csv"))));
    ASSERT_EQ(lines.size(), 32);
    EXPECT_EQ(lines[30], Sjis(QStringLiteral("30,月,,")));
    EXPECT_EQ(lines[31], ",,,");
}

// A spreadsheet's reader (Python's csv module, which shares nothing with
// the program) finds in every field what the calendar's cell shows: a memo
// with commas, double quotes or a line break stays one field.
TEST_F(CsvExportTest, ACsvReaderFindsEveryCellOfTheCalendar)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    LeaveStore::SaveEntry(2010, 1, 5, 1, QStringLiteral("会議,資料\"A\""));
    LeaveStore::SaveEntry(2010, 1, 6, 2, QStringLiteral("一行目\r\n二行目"));
    LeaveStore::SaveEntry(2010, 1, 7, 3, QStringLiteral("\""));
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");

    const auto readBack = [&](const QString& path) {
        QProcess process;
        process.start(python,
            { QStringLiteral("-c"),
                QStringLiteral("import csv, json, sys\n"
                               "with open(sys.argv[1], encoding='cp932', newline='') as f:\n"
                               "    print(json.dumps(list(csv.reader(f))))\n"),
                path });
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
        return QJsonDocument::fromJson(process.readAllStandardOutput()).array();
    };
    const auto expectCells = [&](const TStrColGrid& grid, int columns, const QString& name) {
        Export(program.Main(), OutFile(name));
        const QJsonArray rows = readBack(OutFile(name));
        ASSERT_EQ(rows.size(), grid.RowCount()) << name.toStdString();
        for (int row = 0; row < grid.RowCount(); ++row) {
            QStringList cells;
            for (int col = 0; col < columns; ++col)
                cells << grid.Cells(col, row);
            EXPECT_EQ(rows[row].toVariant().toStringList(), cells) << name.toStdString() << " row " << row;
        }
    };
    expectCells(*MCalForm->StrColGrid1, 4, QStringLiteral("month.csv"));
    ASSERT_EQ(MCalForm->StrColGrid1->Cells(3, 5), QStringLiteral("会議,資料\"A\""));
    program.Main().OpenHolidayCalendar();
    expectCells(*HCalForm->StrColGrid1, 5, QStringLiteral("list.csv"));
    ASSERT_EQ(HCalForm->StrColGrid1->Cells(4, 2), QStringLiteral("一行目\r\n二行目"));
}

TEST_F(CsvExportTest, HolidayCalendarWithoutEntriesGivesHeadingAndOneBlankRow)
{
    ProgramWindows program(data, "[Start]\r\nShow=2\r\n");
    Export(program.Main(), OutFile(QStringLiteral("list.csv")));
    EXPECT_EQ(dialogs.saveRequests.back().fileName, QStringLiteral("休日カレンダー(2009年度).csv"));
    EXPECT_EQ(Read(OutFile(QStringLiteral("list.csv"))), Sjis(QStringLiteral("回,年月日,曜日,休暇,備考\r\n,,,,\r\n")));
}

// Bytes that do not survive a way through Unicode: NEC-selected IBM and NEC
// row 13 characters (which come back as their IBM or JIS twins), a byte that
// is no character, and a lead byte cut off at the end.
TEST_F(CsvExportTest, MemoBytesOfAnotherProgramAreWrittenAsStored)
{
    const QByteArray memo("\xED\x40\x87\x90\xFA\x4A\xEE\xF9 a,b\x80\x82");
    AppendForeignRecord(2010, 1, 7, 1, "old");
    AppendForeignRecord(2010, 1, 7, 1, memo); // the later record of the day counts
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");
    Export(program.Main(), OutFile(QStringLiteral("month.csv")));
    // It holds a comma and is quoted.
    EXPECT_EQ(
        Lines(Read(OutFile(QStringLiteral("month.csv"))))[7], "7," + Sjis(QStringLiteral("木,全,")) + '"' + memo + '"');

    program.Main().OpenHolidayCalendar();
    Export(program.Main(), OutFile(QStringLiteral("list.csv")));
    EXPECT_EQ(Lines(Read(OutFile(QStringLiteral("list.csv"))))[1],
        Sjis(QStringLiteral("1,2010/01/07,木,全,")) + '"' + memo + '"');
}

TEST_F(CsvExportTest, WithNoCalendarOpenTheFileIsCreatedEmpty)
{
    ProgramWindows program(data);
    program.Main().MdiArea()->closeAllSubWindows();
    ASSERT_FALSE(program.Main().Y1->isChecked());
    Export(program.Main(), OutFile(QStringLiteral("none")));
    EXPECT_EQ(dialogs.saveRequests.back().fileName, QStringLiteral("カレンダー.csv"));
    ASSERT_TRUE(QFileInfo::exists(OutFile(QStringLiteral("none.csv"))));
    EXPECT_EQ(Read(OutFile(QStringLiteral("none.csv"))), QByteArray());
}

TEST_F(CsvExportTest, TheTypedFilterAddsItsExtensionToANameWithoutOne)
{
    struct Case {
        QString path;
        int filter;
        QString extension, expected;
    };
    const Case cases[] = {
        { QStringLiteral("/d/name"), 2, QStringLiteral(".csv"), QStringLiteral("/d/name.csv") },
        { QStringLiteral("/d/name"), 1, QStringLiteral(".csv"), QStringLiteral("/d/name") },
        { QStringLiteral("/d/name.txt"), 2, QStringLiteral(".csv"), QStringLiteral("/d/name.txt") },
        { QStringLiteral("/d/name."), 2, QStringLiteral(".csv"), QStringLiteral("/d/name.") },
        { QStringLiteral("/d.old/name"), 2, QStringLiteral(".csv"), QStringLiteral("/d.old/name.csv") },
        { QStringLiteral("/d/name"), 2, QStringLiteral(".ics"), QStringLiteral("/d/name.ics") },
        { QStringLiteral("/d/name"), 1, QStringLiteral(".ics"), QStringLiteral("/d/name") },
    };
    for (const Case& c : cases)
        EXPECT_EQ(SaveStep::WithExtension(c.path, c.filter, c.extension), c.expected)
            << c.path.toStdString() << " filter " << c.filter;

    // The command: the all-files filter writes the name as typed.
    ProgramWindows program(data);
    Export(program.Main(), OutFile(QStringLiteral("plain")), 1);
    EXPECT_TRUE(QFileInfo::exists(OutFile(QStringLiteral("plain"))));
    EXPECT_FALSE(QFileInfo::exists(OutFile(QStringLiteral("plain.csv"))));
}

TEST_F(CsvExportTest, AnExistingFileIsReplacedOnlyAfterYes)
{
    const QString path = OutFile(QStringLiteral("old.csv"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep me\r\n");
    }
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0640), 0);
    ProgramWindows program(data, "[Start]\r\nShow=2\r\n");

    Export(program.Main(), path); // answered No
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, Overwrite);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("確認"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Warning);
    EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::ReplaceOrKeep);
    EXPECT_EQ(Read(path), "keep me\r\n");

    dialogs.saveAnswers.push_back(std::nullopt); // cancelled: nothing asked, nothing written
    program.Main().CSVO1->trigger();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(Read(path), "keep me\r\n");

    dialogs.answers.push_back(MsgAnswer::Yes);
    Export(program.Main(), path);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, Overwrite);
    EXPECT_EQ(Read(path), Sjis(QStringLiteral("回,年月日,曜日,休暇,備考\r\n,,,,\r\n")));
    struct stat replaced;
    ASSERT_EQ(stat(QFile::encodeName(path).constData(), &replaced), 0);
    EXPECT_EQ(replaced.st_mode & 07777, 0640u) << "the replaced file keeps its mode";
    EXPECT_EQ(Entries(out.path()), QStringList { QStringLiteral("old.csv") });
}

TEST_F(CsvExportTest, AFileThatCannotBeWrittenShowsTheErrorBox)
{
    ProgramWindows program(data);
    // A directory of that name: no overwrite question, the write is refused.
    ASSERT_TRUE(QDir(out.path()).mkdir(QStringLiteral("folder.csv")));
    Export(program.Main(), OutFile(QStringLiteral("folder.csv")));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
        QStringLiteral("ファイルを保存できませんでした。\nファイル: %1\n理由: 同じ名前のフォルダーがあります")
            .arg(OutFile(QStringLiteral("folder.csv"))));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Valdemor"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_TRUE(QFileInfo(OutFile(QStringLiteral("folder.csv"))).isDir());

    // A device is written in place, never replaced.
    dialogs.messages.clear();
    dialogs.answers.push_back(MsgAnswer::Yes);
    Export(program.Main(), QStringLiteral("/dev/full"), 1);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, Overwrite);
    EXPECT_EQ(dialogs.messages[1].text,
        QStringLiteral("ファイルを保存できませんでした。\nファイル: /dev/full\n理由: ディスクがいっぱいです"));
    struct stat device;
    ASSERT_EQ(stat("/dev/full", &device), 0);
    EXPECT_TRUE(S_ISCHR(device.st_mode));
}

TEST_F(CsvExportTest, AFailedWriteKeepsTheOldFileWholeAndLeavesNoPartialNewFile)
{
    ProgramWindows program(data);
    const QString old = OutFile(QStringLiteral("old.csv"));
    {
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("the export of last year\r\n");
    }
    dialogs.answers.push_back(MsgAnswer::Yes);
    {
        const FileSizeLimit limit(100); // the fiscal-year file is far larger
        Export(program.Main(), old);
        Export(program.Main(), OutFile(QStringLiteral("new.csv")));
    }
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[0].text, Overwrite);
    EXPECT_TRUE(dialogs.messages[1].text.endsWith(old + QStringLiteral("\n理由: ファイルが大きすぎます")));
    EXPECT_TRUE(dialogs.messages[2].text.endsWith(QStringLiteral("new.csv\n理由: ファイルが大きすぎます")));
    EXPECT_EQ(Read(old), "the export of last year\r\n");
    EXPECT_EQ(Entries(out.path()), QStringList { QStringLiteral("old.csv") });
}

// A file the user made read-only is refused even after the overwrite
// question, and keeps its bytes; a missing folder and a full disk are named
// as such, with the file.
TEST_F(CsvExportTest, AReadOnlyFileAMissingFolderAndAFullDiskAreRefusedByName)
{
    ProgramWindows program(data);
    const QString locked = OutFile(QStringLiteral("locked.csv"));
    {
        QFile f(locked);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep me\r\n");
    }
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    dialogs.answers.push_back(MsgAnswer::Yes);
    Export(program.Main(), locked);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text,
        QStringLiteral("ファイルを保存できませんでした。\nファイル: %1\n理由: 書き込めません（読み取り専用です）")
            .arg(locked));
    EXPECT_EQ(Read(locked), "keep me\r\n");

    const QString missing = OutFile(QStringLiteral("gone/year.csv"));
    Export(program.Main(), missing);
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[2].text,
        QStringLiteral("ファイルを保存できませんでした。\nファイル: %1\n理由: フォルダーがありません").arg(missing));

    const QString full = OutFile(QStringLiteral("full.csv"));
    Files::Faults::FailNth(1);
    Export(program.Main(), full);
    Files::Faults::FailNth(0);
    ASSERT_EQ(dialogs.messages.size(), 4u);
    EXPECT_EQ(dialogs.messages[3].text,
        QStringLiteral("ファイルを保存できませんでした。\nファイル: %1\n理由: ディスクがいっぱいです").arg(full));
    EXPECT_EQ(Entries(out.path()), QStringList { QStringLiteral("locked.csv") });
}

// The real dialog, as the user sees it: the CSV filter chosen, the proposed
// name, and no overwrite question of its own (the program asks its own,
// about the name with its extension).
TEST(CsvExportDialog, TheSaveDialogLeavesTheOverwriteQuestionToTheProgram)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_EQ(dialog->nameFilters().indexOf(dialog->selectedNameFilter()), 1);
        dialog->reject();
    });
    SaveDialogRequest request;
    request.filter = QStringLiteral("すべてのファイル(*.*)|*.*|CSV(カンマ区切り)(*.csv)|*.csv");
    request.filterIndex = 2;
    request.fileName = QStringLiteral("カレンダー.csv");
    EXPECT_FALSE(Dialogs::SaveDialog(nullptr, request).has_value());
    EXPECT_TRUE(seen);
}
