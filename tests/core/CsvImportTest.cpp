#include "core/CsvImport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "platform/ShiftJis.h"

namespace {

struct Expected {
    int line;
    QDate date;
    int kind;
    QString memo;
};

void ExpectDays(const CsvImport::Result& result, const std::vector<Expected>& expected)
{
    ASSERT_EQ(result.Days.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const CsvImport::Day& day = result.Days[i];
        EXPECT_EQ(day.Line, expected[i].line) << i;
        EXPECT_EQ(day.Date, expected[i].date) << i;
        EXPECT_EQ(day.Kind, expected[i].kind) << i;
        EXPECT_EQ(day.Memo, expected[i].memo) << i;
    }
}

QStringList ProblemTexts(const CsvImport::Result& result)
{
    QStringList texts;
    for (const CsvImport::Problem& problem : result.Problems)
        texts << problem.Text();
    return texts;
}

// A sheet in every date and kind form, with its bad lines; the same text
// is read from Shift-JIS, UTF-8 and UTF-8 with its mark, with CR LF or LF.
const QString Sheet = QStringLiteral("年月日,休暇,備考\n"
                                     "2026/8/12,全,夏の旅行\n"
                                     "2026-08-13,１日休暇,\n"
                                     "2026年8月14日,1日休暇\n"
                                     "2026/13/1,全,\n"
                                     "\n"
                                     "2026/8/17,GW,\"会議,資料\"\"A\"\"\"\n"
                                     "2026/2/30,夏,\n"
                                     "2026/8/18,,メモ\n"
                                     "2026/8/19,休み,\n"
                                     "2026/8/20,am休暇,\"一行目\n二行目\"\n"
                                     "八月二十一日,全,\n"
                                     "2026/8/24,ＡＭ,\n");

const std::vector<Expected> SheetDays {
    { 2, QDate(2026, 8, 12), 1, QStringLiteral("夏の旅行") },
    { 3, QDate(2026, 8, 13), 1, QString() },
    { 4, QDate(2026, 8, 14), 1, QString() },
    { 7, QDate(2026, 8, 17), 7, QStringLiteral("会議,資料\"A\"") },
    { 11, QDate(2026, 8, 20), 2, QStringLiteral("一行目\n二行目") },
    { 14, QDate(2026, 8, 24), 2, QString() },
};

const QStringList SheetProblems {
    QStringLiteral("5行目: 日付が読めません"),
    QStringLiteral("8行目: 日付が読めません"),
    QStringLiteral("9行目: 休暇の種類がありません"),
    QStringLiteral("10行目: 休暇の種類が読めません"),
    QStringLiteral("13行目: 日付が読めません"),
};

} // namespace

TEST(CsvImportTest, ReadsASheetInEveryFormAndEncodingAndReportsBadLinesByNumber)
{
    QString crlf = Sheet;
    crlf.replace(u'\n', QStringLiteral("\r\n"));
    const std::pair<const char*, QByteArray> files[] = {
        { "Shift-JIS, LF", ShiftJis::FromUnicode(Sheet) },
        { "UTF-8, CR LF", crlf.toUtf8() },
        { "UTF-8 with BOM, LF", "\xEF\xBB\xBF" + Sheet.toUtf8() },
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const CsvImport::Result result = CsvImport::Parse(bytes);
        std::vector<Expected> days = SheetDays;
        if (bytes.contains('\r'))
            days[4].memo = QStringLiteral("一行目\r\n二行目");
        ExpectDays(result, days);
        EXPECT_EQ(ProblemTexts(result), SheetProblems);
    }
}

// The program's own holiday list, heading and all, and a sheet without a
// heading: the first data line is not taken for one.
TEST(CsvImportTest, ReadsTheHolidayListAndSheetsWithoutHeading)
{
    const QByteArray list = ShiftJis::FromUnicode(QStringLiteral("回,年月日,曜日,休暇,備考\r\n"
                                                                 "1,2026/04/29,水,全,\r\n"
                                                                 "2,2026/05/01,金,出, 出社 \r\n"));
    ExpectDays(CsvImport::Parse(list),
        { { 2, QDate(2026, 4, 29), 1, QString() }, { 3, QDate(2026, 5, 1), 10, QStringLiteral(" 出社 ") } });
    EXPECT_TRUE(
        CsvImport::Parse(ShiftJis::FromUnicode(QStringLiteral("回,年月日,曜日,休暇,備考\r\n,,,,\r\n"))).Days.empty());

    ExpectDays(CsvImport::Parse("2026/8/12,PM\n"), { { 1, QDate(2026, 8, 12), 3, QString() } });
    ExpectDays(CsvImport::Parse("3,2026/08/12,x,AM,memo\n"), { { 1, QDate(2026, 8, 12), 2, QStringLiteral("memo") } });
}

// A quote left open costs its own line only; the lines after it are read.
TEST(CsvImportTest, AnUnclosedQuoteCostsOneLine)
{
    const CsvImport::Result result = CsvImport::Parse("2026/8/12,全,\"open\n2026/8/13,夏,\n2026/8/14,冬,\n");
    ExpectDays(result, { { 2, QDate(2026, 8, 13), 5, QString() }, { 3, QDate(2026, 8, 14), 6, QString() } });
    EXPECT_EQ(ProblemTexts(result), QStringList { QStringLiteral("1行目: 引用符が閉じていません") });

    // A closed field with a line break before the open quote: its break
    // is counted once, when its second line is read again (found by fuzzing).
    const CsvImport::Result broken = CsvImport::Parse("\"a\rb\",\"x\r\n2026/8/12,全\r\n");
    ExpectDays(broken, { { 3, QDate(2026, 8, 12), 1, QString() } });
}

TEST(CsvImportTest, RefusesWhatIsNotTextAndFilesOverTenMegabytes)
{
    const QString notText = QStringLiteral("このファイルはテキストファイルではないため、読み込めません。");
    for (const QByteArray& bytes :
        { QByteArray("2026/8/12,AM\n\0", 14), QByteArray("2026/8/12,\x82\n"), QByteArray("\xEF\xBB\xBF\x82\xA0") }) {
        try {
            CsvImport::Parse(bytes);
            ADD_FAILURE() << bytes.toHex().constData();
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), notText);
        }
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(CsvImport::MaxFileBytes));
    file.close();
    EXPECT_THROW(CsvImport::ReadFile(path), EConvertError); // 10 MB of NUL bytes: read, and not text
    ASSERT_TRUE(file.resize(CsvImport::MaxFileBytes + 1));
    try {
        CsvImport::ReadFile(path);
        ADD_FAILURE();
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("ファイルが大きすぎるため、読み込めません（10 MBまで）。"));
    }
}

// Years as sheets write them: two digits as spreadsheets read them, the
// Japanese eras within their own days only, and no year of three or five
// digits or none at all.
TEST(CsvImportTest, ReadsTwoDigitAndEraYearsWithinTheirEras)
{
    struct Case {
        const char* text;
        QDate date; // none: not read
        bool twoDigitYear = false;
    };
    const Case cases[] = {
        { "26/09/01", QDate(2026, 9, 1), true },
        { "00/1/1", QDate(2000, 1, 1), true },
        { "29年12月31日", QDate(2029, 12, 31), true },
        { "30/1/1", QDate(1930, 1, 1), true },
        { "99/12/31", QDate(1999, 12, 31), true },
        { "2026.9.1", QDate(2026, 9, 1) },
        { "0026/09/01", QDate(26, 9, 1) },
        { "令和8年9月1日", QDate(2026, 9, 1) },
        { "R8.9.1", QDate(2026, 9, 1) },
        { "R08/09/01", QDate(2026, 9, 1) },
        { "r8-9-1", QDate(2026, 9, 1) },
        { "令和元年5月1日", QDate(2019, 5, 1) },
        { "平成31年4月30日", QDate(2019, 4, 30) },
        { "H1.1.8", QDate(1989, 1, 8) },
        { "S64.1.7", QDate(1989, 1, 7) },
        { "昭和元年12月25日", QDate(1926, 12, 25) },
        { "大正元年7月30日", QDate(1912, 7, 30) },
        { "M45.7.30", QDate(1912, 7, 30) },
        { "平成31年5月1日", QDate() },
        { "令和1年4月30日", QDate() },
        { "S64.1.8", QDate() },
        { "R0.5.1", QDate() },
        { "X8.9.1", QDate() },
        { "20260/8/12", QDate() },
        { "126/8/12", QDate() },
        { "0000/1/1", QDate() },
        { "26/02/29", QDate() },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const CsvImport::Result result
            = CsvImport::Parse(QStringLiteral("年月日,休暇\n%1,全\n").arg(QString::fromUtf8(c.text)).toUtf8());
        if (c.date.isValid()) {
            ASSERT_EQ(result.Days.size(), 1u);
            EXPECT_EQ(result.Days[0].Date, c.date);
            EXPECT_EQ(result.Days[0].TwoDigitYear, c.twoDigitYear);
        } else {
            EXPECT_TRUE(result.Days.empty());
            EXPECT_EQ(ProblemTexts(result), QStringList { QStringLiteral("2行目: 日付が読めません") });
        }
    }
    EXPECT_EQ(ProblemTexts(CsvImport::Parse(ShiftJis::FromUnicode(QStringLiteral("8月12日,全\n")))),
        QStringList { QStringLiteral("1行目: 日付に年がありません") });
}

// Dates without a year whose weekdays fit no year (11/2 and 11/3 both a
// Monday), or that name no weekday, stay unreadable, listed in line order.
TEST(CsvImportTest, YearlessDatesWhoseWeekdaysFitNoYearAreNotRead)
{
    const CsvImport::Result result = CsvImport::Parse(
        QStringLiteral("年月日,休暇,備考,曜日\n11月2日,全,,月\n2026/11/4,AM,\n11月3日,全,,月曜日\n11月5日,全,,\n")
            .toUtf8());
    ExpectDays(result, { { 3, QDate(2026, 11, 4), 2, QString() } });
    const QString noYear = QStringLiteral("行目: 日付に年がなく、曜日に合う年がありません");
    EXPECT_EQ(ProblemTexts(result),
        QStringList({ u'2' + noYear, u'4' + noYear, QStringLiteral("5行目: 日付に年がなく、曜日もありません") }));
}

// A junk file keeps its first thousand unreadable lines and counts the rest.
TEST(CsvImportTest, KeepsTheFirstThousandProblemsAndCountsTheRest)
{
    QByteArray junk;
    for (int i = 0; i < 2500; ++i)
        junk += "x1\n";
    const CsvImport::Result result = CsvImport::Parse(junk);
    ASSERT_EQ(result.Problems.size(), size_t(CsvImport::MaxListedProblems));
    EXPECT_EQ(result.Problems.back().Line, CsvImport::MaxListedProblems);
    EXPECT_EQ(result.MoreProblems, 1500);
    EXPECT_EQ(result.ProblemCount(), 2500);
}
