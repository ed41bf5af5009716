// The CellData and CellKind lists of the combo grid, byte for byte: the
// monthly totals table and the print dialog's hidden grid as they are
// stored, what the grid writes back, and streams that are short or broken.
#include "widgets/CmbGridStream.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include "platform/FormStream.h"
#include "platform/ShiftJis.h"
#include "widgets/CmbGrid.h"

using namespace Qt::StringLiterals;

namespace {

// Values spelled out by hand, so that the expectations do not lean on the
// writer under test.
QByteArray Int8(int value) { return QByteArray(1, char(2)) + char(qint8(value)); }
QByteArray Int32Le(qint32 value)
{
    QByteArray bytes(4, Qt::Uninitialized);
    qToLittleEndian(value, bytes.data());
    return bytes;
}
QByteArray Bool(bool value) { return QByteArray(1, char(value ? 9 : 8)); }
QByteArray Short(const QByteArray& ascii) { return QByteArray(1, char(6)) + char(ascii.size()) + ascii; }
QByteArray Wide(const QString& text)
{
    QByteArray bytes = QByteArray(1, char(18)) + Int32Le(qint32(text.size()));
    for (QChar c : text)
        bytes += char(c.unicode() & 0xFF), bytes += char(c.unicode() >> 8);
    return bytes;
}
QByteArray Utf8(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return QByteArray(1, char(20)) + Int32Le(qint32(utf8.size())) + utf8;
}
const QByteArray Begin(1, char(1));
const QByteArray End(1, char(0));

bool IsAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() > 0x7F)
            return false;
    return true;
}

// The monthly totals table: headings in row 0, months and the total row in
// column 0.
const std::vector<ComboGridStream::CellText>& TotalsCells()
{
    static const std::vector<ComboGridStream::CellText> cells = [] {
        std::vector<ComboGridStream::CellText> c;
        const QStringList headings { u"月"_s, u"１日休暇"_s, u"AM休暇"_s, u"PM休暇"_s, u"合計"_s };
        for (int col = 0; col < 5; ++col)
            c.push_back({ col, 0, headings[col] });
        const QStringList months { u"４"_s, u"５"_s, u"６"_s, u"７"_s, u"８"_s, u"９"_s, u"10"_s, u"11"_s, u"12"_s,
            u"１"_s, u"２"_s, u"３"_s, u"合計"_s };
        for (int row = 1; row <= 13; ++row)
            c.push_back({ 0, row, months[row - 1] });
        return c;
    }();
    return cells;
}

// As the window stores it (every text as UTF-16), or as the grid writes it
// (ASCII as short strings, anything else as UTF-8).
QByteArray TotalsCellData(bool stored)
{
    QByteArray bytes = Begin;
    for (const auto& cell : TotalsCells())
        bytes += Int8(cell.Col) + Int8(cell.Row)
            + (stored                    ? Wide(cell.Text)
                    : IsAscii(cell.Text) ? Short(cell.Text.toLatin1())
                                         : Utf8(cell.Text));
    return bytes + End;
}

QByteArray Record(int kind, int fixedAlign, int align, const QList<QByteArray>& items, int dropDownWidth = 0,
    int margin = 2, int editLimit = 0, bool editable = true)
{
    QByteArray bytes = Int8(kind) + Int8(fixedAlign) + Int8(align) + Int8(int(items.size()));
    for (const QByteArray& item : items)
        bytes += item;
    return bytes + Int8(dropDownWidth) + Int8(margin) + Int8(editLimit) + Bool(editable);
}

QByteArray TotalsCellKind(const QByteArray& emptyText)
{
    QByteArray bytes = Begin + Record(0, 18, 18, { emptyText, emptyText });
    for (int col = 1; col <= 4; ++col)
        bytes += Record(0, 18, 20, { emptyText, emptyText });
    return bytes + End;
}

QByteArray PrintCellKind()
{
    QByteArray bytes = Begin;
    for (int col = 0; col < 10; ++col) {
        if (col == 0 || col == 4 || col == 5)
            bytes += Record(0, 17, 20, { Short({}), Short({}) });
        else
            bytes += Record(0, 17, 17, {});
    }
    return bytes + End;
}

class CmbGridStreamTest : public ::testing::Test {
protected:
    void TotalsGrid()
    {
        grid.SetColCount(5);
        grid.SetRowCount(14);
    }

    TComboGrid grid;
};

TEST_F(CmbGridStreamTest, HandSpelledBytesMatchTheStreamLayout)
{
    // "月" is U+6708: tag 18, four length bytes, then 08 67.
    EXPECT_EQ(TotalsCellData(true).left(13),
        QByteArray::fromHex("01020002001201000000"
                            "0867"
                            "02"));
    EXPECT_EQ(Utf8(u"月"_s), QByteArray::fromHex("1403000000e69c88"));
}

TEST_F(CmbGridStreamTest, MonthlyTotalsStoredFormLoadsAndWritesBack)
{
    TotalsGrid();
    grid.LoadCellData(TotalsCellData(true));
    grid.LoadCellKind(TotalsCellKind(Wide({})));

    for (const auto& cell : TotalsCells())
        EXPECT_EQ(grid.Cells(cell.Col, cell.Row), cell.Text) << cell.Col << "," << cell.Row;
    EXPECT_EQ(grid.Cells(1, 1), QString());
    ASSERT_EQ(grid.ColumnKindCount(), 5);
    EXPECT_EQ(grid.ColumnFixedAlign(0), CellAlign(caCenter | caVCenter));
    EXPECT_EQ(grid.ColumnAlign(0), CellAlign(caCenter | caVCenter));
    for (int col = 1; col < 5; ++col) {
        EXPECT_EQ(grid.ColumnFixedAlign(col), CellAlign(caCenter | caVCenter));
        EXPECT_EQ(grid.ColumnAlign(col), CellAlign(caRight | caVCenter));
        const TCellKind& kind = grid.ColumnKind(col);
        EXPECT_EQ(kind.Kind(), ckEdit);
        ASSERT_EQ(kind.Items().Count(), 2);
        EXPECT_EQ(kind.Items().Strings(0), QString());
        EXPECT_EQ(kind.Items().Strings(1), QString());
        EXPECT_EQ(kind.DropDownWidth(), 0);
        EXPECT_EQ(kind.Margin(), 2);
        EXPECT_EQ(kind.EditLimit(), 0);
        EXPECT_TRUE(kind.Editable());
        // Stored kinds belong to no grid until one is made on demand.
        EXPECT_EQ(kind.Grid(), nullptr);
    }

    EXPECT_EQ(grid.CellDataBytes(), TotalsCellData(false));
    EXPECT_EQ(grid.CellKindBytes(), TotalsCellKind(Short({})));
}

TEST_F(CmbGridStreamTest, PrintDialogGridLoadsAndWritesBackUnchanged)
{
    grid.SetColCount(10);
    grid.SetFixedCols(0);
    grid.LoadCellData(Begin + End);
    grid.LoadCellKind(PrintCellKind());

    EXPECT_EQ(grid.ColumnAlign(0), CellAlign(caRight | caVCenter));
    EXPECT_EQ(grid.ColumnAlign(1), CellAlign(caLeft | caVCenter));
    EXPECT_EQ(grid.ColumnAlign(5), CellAlign(caRight | caVCenter));
    EXPECT_EQ(grid.ColumnAlign(9), DefaultCellAlign);
    EXPECT_EQ(grid.ColumnKind(6).Items().Count(), 0);
    EXPECT_EQ(grid.CellDataBytes(), Begin + End);
    EXPECT_EQ(grid.CellKindBytes(), PrintCellKind());
}

TEST_F(CmbGridStreamTest, EmptyGridWritesNoCellsAndDefaultKinds)
{
    QByteArray kinds = Begin;
    for (int col = 0; col < 5; ++col)
        kinds += Record(0, 17, 17, {});
    EXPECT_EQ(grid.CellDataBytes(), Begin + End);
    EXPECT_EQ(grid.CellKindBytes(), kinds + End);
}

TEST_F(CmbGridStreamTest, CellsAreWrittenRowByRow)
{
    grid.SetCells(0, 1, u"b"_s);
    grid.SetCells(1, 0, u"a"_s);
    EXPECT_EQ(grid.CellDataBytes(), Begin + Int8(1) + Int8(0) + Short("a") + Int8(0) + Int8(1) + Short("b") + End);
}

TEST_F(CmbGridStreamTest, CheckItemsCarryTheirMarksAndWideValuesTheirSize)
{
    grid.SetColCount(1);
    grid.SetFixedCols(0);
    TCellKind& kind = grid.ColumnKind(0);
    kind.SetKind(ckCheck);
    kind.Items().Add(u"A"_s, 0);
    kind.Items().Add(u"B"_s, 1);
    kind.SetDropDownWidth(200);
    kind.SetEditLimit(100000);
    kind.SetMargin(-3);
    kind.SetEditable(false);
    const QByteArray expected = Begin + Int8(3) + Int8(17) + Int8(17) + Int8(2) + Short("A") + Int8(0) + Short("B")
        + Int8(1) + QByteArray::fromHex("03c800") + Int8(-3) + QByteArray::fromHex("04a0860100") + Bool(false) + End;
    const QByteArray written = grid.CellKindBytes();
    EXPECT_EQ(written, expected);

    TComboGrid copy;
    copy.LoadCellKind(written);
    const TCellKind& read = copy.ColumnKind(0);
    EXPECT_EQ(read.Kind(), ckCheck);
    EXPECT_EQ(read.Items(), kind.Items());
    EXPECT_EQ(read.DropDownWidth(), 200);
    EXPECT_EQ(read.EditLimit(), 100000);
    EXPECT_EQ(read.Margin(), -3);
    EXPECT_FALSE(read.Editable());
}

TEST_F(CmbGridStreamTest, EveryTextFormIsReadAndOtherCellsKeepTheirTexts)
{
    grid.SetCells(2, 2, u"keep"_s);
    grid.SetCells(1, 1, u"old"_s);
    const QByteArray data = Begin + Int8(1) + Int8(1) + Short(ShiftJis::FromUnicode(u"全休"_s)) + Int8(2) + Int8(1)
        + QByteArray::fromHex("0c02000000") + "AM" + Int8(3) + Int8(1) + Wide(u"夏"_s) + Int8(4) + Int8(1)
        + Utf8(u"冬"_s) + End;
    grid.LoadCellData(data);
    EXPECT_EQ(grid.Cells(1, 1), u"全休"_s);
    EXPECT_EQ(grid.Cells(2, 1), u"AM"_s);
    EXPECT_EQ(grid.Cells(3, 1), u"夏"_s);
    EXPECT_EQ(grid.Cells(4, 1), u"冬"_s);
    EXPECT_EQ(grid.Cells(2, 2), u"keep"_s);
}

TEST_F(CmbGridStreamTest, FewerRecordsLeaveDefaultsAndMoreWaitForTheirColumns)
{
    grid.ColumnKind(3).SetAlign(caBottom);
    grid.LoadCellKind(Begin + Record(1, 18, 20, { Short("x") }) + Record(0, 17, 36, {}) + End);
    EXPECT_EQ(grid.ColumnKindCount(), 2);
    EXPECT_EQ(grid.ColumnKind(0).Kind(), ckCombo);
    // Reading replaced the kind column 3 had; it gets a fresh default.
    EXPECT_EQ(grid.ColumnAlign(3), DefaultCellAlign);
    EXPECT_EQ(grid.ColumnKind(4).Grid(), &grid);
    EXPECT_EQ(grid.CellKindBytes().size(), 1 + 18 + 15 * 4 + 1);

    grid.SetColCount(2);
    grid.LoadCellKind(Begin + Record(0, 17, 17, {}) + Record(0, 17, 17, {}) + Record(0, 8, 36, {}) + End);
    EXPECT_EQ(grid.ColumnKindCount(), 3);
    EXPECT_EQ(grid.CellKindBytes().size(), 1 + 15 * 2 + 1);
    grid.SetColCount(3);
    EXPECT_EQ(grid.ColumnAlign(2), CellAlign(caRight | caBottom));
    EXPECT_EQ(grid.ColumnFixedAlign(2), CellAlign(caTop));
}

struct BrokenCase {
    const char* name;
    QByteArray cellData; // empty: the case is about CellKind
    QByteArray cellKind;
};

std::vector<BrokenCase> BrokenCases()
{
    const QByteArray good = Record(0, 17, 17, {});
    return {
        { "KindBeyondCheck", {}, Begin + Record(4, 17, 17, {}) + End },
        { "AlignBeyondEightBits", {},
            Begin + Int8(0) + Int8(17) + QByteArray::fromHex("030001") + Int8(0) + Int8(0) + Int8(2) + Int8(0)
                + Bool(true) + End },
        { "NegativeAlign", {}, Begin + Record(0, -1, 17, {}) + End },
        { "MarginBeyondEightBits", {},
            Begin + Int8(0) + Int8(17) + Int8(17) + Int8(0) + Int8(0) + QByteArray::fromHex("03c800") + Int8(0)
                + Bool(true) + End },
        { "NegativeItemCount", {},
            Begin + Int8(0) + Int8(17) + Int8(17) + Int8(-1) + Int8(0) + Int8(2) + Int8(0) + Bool(true) + End },
        { "HugeItemCount", {},
            Begin + Int8(0) + Int8(17) + Int8(17) + QByteArray::fromHex("04ffffff7f") + Short("a") + End },
        { "TextWhereANumberBelongs", {}, Begin + Short("0") + good.mid(2) + End },
        { "NumberWhereEditableBelongs", {}, Begin + good.chopped(1) + Int8(1) + End },
        { "CheckItemWithoutMark", {},
            Begin + Int8(3) + Int8(17) + Int8(17) + Int8(1) + Short("a") + Int8(0) + Int8(2) + Int8(0) + Bool(true)
                + End },
        { "NoListBegin", {}, good + End },
        { "TrailingBytes", {}, Begin + good + End + Int8(0) },
        { "CellOutsideTheColumns", Begin + Int8(5) + Int8(0) + Short("x") + End, {} },
        { "CellOutsideTheRows", Begin + Int8(0) + Int8(5) + Short("x") + End, {} },
        { "NegativeCellPosition", Begin + Int8(-1) + Int8(0) + Short("x") + End, {} },
        { "CellWithoutText", Begin + Int8(1) + Int8(1) + Int8(2) + End, {} },
        { "CellTextLengthBeyondTheStream", Begin + Int8(1) + Int8(1) + QByteArray::fromHex("1264000000") + "ab" + End,
            {} },
        { "CellDataTrailingBytes", Begin + End + End, {} },
    };
}

void PrintTo(const BrokenCase& c, std::ostream* os) { *os << c.name; }

class CmbGridBrokenStreamTest : public ::testing::TestWithParam<BrokenCase> { };

// A broken list raises a read error and leaves cells and kinds as they were.
TEST_P(CmbGridBrokenStreamTest, RaisesAndChangesNothing)
{
    TComboGrid grid;
    grid.SetCells(1, 1, u"before"_s);
    grid.ColumnKind(0).SetAlign(caRight);
    const QByteArray cells = grid.CellDataBytes();
    const QByteArray kinds = grid.CellKindBytes();
    const BrokenCase& c = GetParam();
    if (!c.cellData.isEmpty()) {
        EXPECT_THROW(grid.LoadCellData(c.cellData), EReadError);
    } else {
        EXPECT_THROW(grid.LoadCellKind(c.cellKind), EReadError);
    }
    EXPECT_EQ(grid.CellDataBytes(), cells);
    EXPECT_EQ(grid.CellKindBytes(), kinds);
}

INSTANTIATE_TEST_SUITE_P(Cases, CmbGridBrokenStreamTest, ::testing::ValuesIn(BrokenCases()),
    [](const ::testing::TestParamInfo<BrokenCase>& info) { return std::string(info.param.name); });

// Every prefix of the stored monthly totals lists is a short stream.
TEST(CmbGridTruncatedStreamTest, EveryShortenedListRaisesAndChangesNothing)
{
    const QByteArray data = TotalsCellData(true);
    const QByteArray kinds = TotalsCellKind(Wide({}));
    TComboGrid grid;
    grid.SetColCount(5);
    grid.SetRowCount(14);
    const QByteArray cellsBefore = grid.CellDataBytes();
    const QByteArray kindsBefore = grid.CellKindBytes();
    for (qsizetype length = 0; length < data.size(); ++length)
        EXPECT_THROW(grid.LoadCellData(data.left(length)), EReadError) << length;
    for (qsizetype length = 0; length < kinds.size(); ++length)
        EXPECT_THROW(grid.LoadCellKind(kinds.left(length)), EReadError) << length;
    EXPECT_EQ(grid.CellDataBytes(), cellsBefore);
    EXPECT_EQ(grid.CellKindBytes(), kindsBefore);
}

TEST_F(CmbGridStreamTest, PropertiesFollowEachOtherInAFormStream)
{
    TotalsGrid();
    grid.LoadCellData(TotalsCellData(true));
    grid.LoadCellKind(TotalsCellKind(Wide({})));
    TWriter writer;
    grid.WriteProperties(writer);

    TComboGrid copy;
    copy.SetColCount(5);
    copy.SetRowCount(14);
    TReader reader(writer.Data());
    EXPECT_EQ(reader.ReadPropName(), u"CellData"_s);
    EXPECT_TRUE(copy.ReadProperty(u"CellData"_s, reader));
    EXPECT_EQ(reader.ReadPropName(), u"CellKind"_s);
    EXPECT_TRUE(copy.ReadProperty(u"CellKind"_s, reader));
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_FALSE(copy.ReadProperty(u"Other"_s, reader));
    EXPECT_EQ(copy.CellDataBytes(), grid.CellDataBytes());
    EXPECT_EQ(copy.CellKindBytes(), grid.CellKindBytes());
}

} // namespace
