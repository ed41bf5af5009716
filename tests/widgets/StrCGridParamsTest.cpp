#include "widgets/StrCGridParams.h"

#include <random>

#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "platform/FormStream.h"
#include "widgets/StrCGrid.h"

namespace {

template <typename E, typename F> QString MessageOf(F&& f)
{
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    return QStringLiteral("<no error>");
}

class StrCGridParamsTest : public ::testing::Test {
protected:
    TStrColGrid grid;
    TSCGCellParams& params = grid.CellParams();
    TSCGCellFonts& fonts = grid.Fonts();
};

TEST_F(StrCGridParamsTest, NewItemsAreNamedByCountWithPaddedDisplayName)
{
    TSCGCellParam* first = params.Add();
    EXPECT_EQ(first->Name(), QStringLiteral("パラメータ1"));
    EXPECT_EQ(first->DisplayName(), QStringLiteral("パラメータ1 (  0,  0)-(  0,  0)"));
    params.Add();
    params.Delete(0);
    // The count is used, so a name may repeat after a deletion.
    EXPECT_EQ(params.Add()->Name(), QStringLiteral("パラメータ2"));

    TSCGCellParam* item = params.Items(0);
    item->SetCol(12);
    item->SetRow(3);
    item->SetColMax(123);
    item->SetRowMax(7);
    EXPECT_EQ(item->DisplayName(), QStringLiteral("パラメータ2 ( 12,  3)-(123,  7)"));

    TSCGCellFont* font = fonts.Add();
    EXPECT_EQ(font->Name(), QStringLiteral("フォント1"));
    EXPECT_EQ(
        font->DisplayName(), QStringLiteral("フォント1( %1, %2 )").arg(grid.Font().Name()).arg(grid.Font().Size()));

    // Names are shown as they are, also when they look like placeholders.
    item->SetName(QStringLiteral("50%2"));
    EXPECT_EQ(item->DisplayName(), QStringLiteral("50%2 ( 12,  3)-(123,  7)"));
    font->SetName(QStringLiteral("x%1"));
    EXPECT_EQ(font->DisplayName(),
        QStringLiteral("x%1( ") + grid.Font().Name() + QStringLiteral(", %1 )").arg(grid.Font().Size()));
}

TEST_F(StrCGridParamsTest, NewItemHasItsInitialValues)
{
    grid.SetOptions(goVertLine | goEditing);
    const TSCGCellParam* item = params.Add();
    EXPECT_EQ(item->Alignment(), taLeftJustify);
    EXPECT_EQ(item->CaptionType(), ctCellText);
    EXPECT_EQ(item->CellColor(), clWindow);
    EXPECT_EQ(item->FontColor(), clWindowText);
    EXPECT_EQ(item->FontWidth(), 1);
    EXPECT_EQ(item->ImeMode(), imDontCare);
    EXPECT_EQ(item->Layout(), tlTop);
    EXPECT_FALSE(item->RangeEnabled());
    // A snapshot of the grid's options when the item was made.
    EXPECT_EQ(item->Options(), goVertLine | goEditing);
    grid.SetOptions(goHorzLine);
    EXPECT_EQ(item->Options(), goVertLine | goEditing);
}

TEST_F(StrCGridParamsTest, InvertedRangeIsRefusedAndUndone)
{
    TSCGCellParam* item = params.Add();
    item->SetColMax(3);
    item->SetCol(3);
    item->SetRangeEnabled(true);
    EXPECT_EQ(MessageOf<ERangeError>([&] { item->SetCol(4); }), QStringLiteral("範囲が不正です"));
    EXPECT_EQ(item->Col(), 3);
    EXPECT_EQ(MessageOf<ERangeError>([&] { item->SetColMax(2); }), QStringLiteral("範囲が不正です"));
    EXPECT_EQ(item->ColMax(), 3);
    item->SetRowMax(5);
    EXPECT_EQ(MessageOf<ERangeError>([&] { item->SetRow(6); }), QStringLiteral("範囲が不正です"));
    EXPECT_EQ(item->Row(), 0);
    EXPECT_EQ(MessageOf<ERangeError>([&] { item->SetRowMax(-1); }), QStringLiteral("範囲が不正です"));
    EXPECT_EQ(item->RowMax(), 5);

    item->SetRangeEnabled(false);
    item->SetCol(4);
    EXPECT_EQ(item->Col(), 4);
    EXPECT_EQ(MessageOf<ERangeError>([&] { item->SetRangeEnabled(true); }), QStringLiteral("範囲が不正です"));
    EXPECT_FALSE(item->RangeEnabled());
}

TEST_F(StrCGridParamsTest, NegativePositionsAndWidthsNameTheItem)
{
    TSCGCellParam* item = params.Add();
    item->SetCol(2);
    EXPECT_EQ(MessageOf<ERangeError>([&] { item->SetCol(-1); }),
        QStringLiteral("パラメータ1 (  2,  0)-(  0,  0).Col の値が 0 を下まわりました"));
    EXPECT_EQ(MessageOf<ERangeError>([&] { item->SetRow(-1); }),
        QStringLiteral("パラメータ1 (  2,  0)-(  0,  0).Row の値が 0 を下まわりました"));
    EXPECT_EQ(MessageOf<ERangeError>([&] { item->SetFontWidth(-1); }),
        QStringLiteral("パラメータ1 (  2,  0)-(  0,  0).FontWidth の値が範囲を超えました"));
    EXPECT_EQ(item->Col(), 2);
    EXPECT_EQ(item->FontWidth(), 1);
    item->SetFontWidth(0);
    EXPECT_EQ(item->FontWidth(), 0);
}

TEST_F(StrCGridParamsTest, FontNamesAreCheckedFollowedAndCleared)
{
    TSCGCellFont* big = fonts.Add();
    big->SetName(QStringLiteral("Big"));
    TSCGCellParam* a = params.Add();
    TSCGCellParam* b = params.Add();
    a->SetFontName(QStringLiteral("Big"));
    EXPECT_EQ(a->FontName(), QStringLiteral("Big"));
    // Exact comparison: another letter case is another (unknown) font.
    b->SetFontName(QStringLiteral("big"));
    EXPECT_EQ(b->FontName(), QString());
    EXPECT_EQ(MessageOf<EGeneralError>([&] { fonts.IndexOfName(QStringLiteral("BIG")); }),
        QStringLiteral("CellParams で指定されたフォント名が Fonts に登録されていません"));

    big->SetName(QStringLiteral("Large"));
    EXPECT_EQ(a->FontName(), QStringLiteral("Large"));
    EXPECT_EQ(MessageOf<EGeneralError>([&] { big->SetName(QStringLiteral("Large")); }),
        QStringLiteral("このフォント名はすでに使用されています"));
    EXPECT_EQ(MessageOf<EGeneralError>([&] { big->SetName(QString()); }), QStringLiteral("フォント名は空にできません"));
    EXPECT_EQ(big->Name(), QStringLiteral("Large"));

    TSCGCellFont* other = fonts.Add();
    other->SetName(QStringLiteral("big"));
    EXPECT_EQ(fonts.IndexOfName(QStringLiteral("big")), 1);
    EXPECT_EQ(fonts.IndexOfName(QStringLiteral("Large")), 0);

    fonts.Delete(0);
    EXPECT_EQ(a->FontName(), QString());
}

TEST_F(StrCGridParamsTest, LoadingSkipsTheChecksThatLookAtOthers)
{
    fonts.Add()->SetName(QStringLiteral("F"));
    grid.BeginLoad();
    TSCGCellParam* item = params.Add();
    item->SetCol(5);
    item->SetRangeEnabled(true);
    item->SetFontName(QStringLiteral("Missing"));
    fonts.Add()->SetName(QStringLiteral("F"));
    EXPECT_THROW(item->SetCol(-1), ERangeError);
    grid.EndLoad();
    EXPECT_TRUE(item->RangeEnabled());
    EXPECT_EQ(item->FontName(), QStringLiteral("Missing"));
    EXPECT_EQ(fonts.Items(1)->Name(), QStringLiteral("F"));
}

TEST_F(StrCGridParamsTest, CopyAndAssignTakeEverythingWithoutChecks)
{
    TSCGCellParam* source = params.Add();
    source->SetColMax(1);
    source->SetCaption(QStringLiteral("見出し"));
    source->SetCaptionType(ctTop);
    TBrush brush;
    brush.SetStyle(bsCross);
    brush.SetColor(clRed);
    source->SetBrush(brush);
    source->SetTag(42);
    int entered = 0;
    source->OnEnterCell = [&](TSCGCellParam*, TStrColGrid*, int, int, int, int) { ++entered; };

    TStrColGrid other;
    other.CellParams().Assign(params);
    ASSERT_EQ(other.CellParams().Count(), 1);
    TSCGCellParam* copy = other.CellParams().Items(0);
    EXPECT_EQ(copy->Caption(), QStringLiteral("見出し"));
    EXPECT_EQ(copy->CaptionType(), ctTop);
    EXPECT_EQ(copy->Brush(), brush);
    EXPECT_EQ(copy->Tag(), 42);
    EXPECT_EQ(copy->ColMax(), 1);
    copy->OnEnterCell(copy, &other, 0, 0, 1, 1);
    EXPECT_EQ(entered, 1);

    TSCGCellFont* font = fonts.Add();
    TFont f;
    f.SetHeight(-20);
    font->SetFont(f);
    font->SetName(QStringLiteral("X"));
    other.Fonts().Assign(fonts);
    EXPECT_EQ(other.Fonts().Items(0)->Name(), QStringLiteral("X"));
    EXPECT_EQ(other.Fonts().Items(0)->Font().Height(), -20);
    EXPECT_THROW(params.Items(5), EListError);
}

// The position index must answer exactly what a scan from the last item
// would, whatever is changed, added or deleted in between.
TEST_F(StrCGridParamsTest, LookupAgreesWithScanFromTheLastItem)
{
    const auto scan = [&](int col, int row) -> TSCGCellParam* {
        for (int i = params.Count() - 1; i >= 0; --i)
            if (params.Items(i)->Covers(col, row))
                return params.Items(i);
        return nullptr;
    };
    std::mt19937 random(7);
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    for (int step = 0; step < 3000; ++step) {
        const int action = pick(10);
        if (action < 4 || params.Count() == 0) {
            TSCGCellParam* item = params.Add();
            item->SetCol(pick(6));
            item->SetRow(pick(6));
        } else {
            TSCGCellParam* item = params.Items(pick(params.Count()));
            try {
                switch (action) {
                case 4:
                    item->SetCol(pick(6));
                    break;
                case 5:
                    item->SetRow(pick(6));
                    break;
                case 6:
                    item->SetColMax(pick(6));
                    item->SetRowMax(pick(6));
                    break;
                case 7:
                    item->SetRangeEnabled(!item->RangeEnabled());
                    break;
                case 8:
                    params.Delete(item->Index());
                    break;
                default:
                    item->CopyFrom(*params.Items(pick(params.Count())));
                    break;
                }
            } catch (const ERangeError&) {
            }
        }
        const int col = pick(7);
        const int row = pick(7);
        ASSERT_EQ(params.Find(col, row), scan(col, row)) << "step " << step;
    }
}

TEST_F(StrCGridParamsTest, LaterItemWinsAndSingleItemIgnoresItsMaxima)
{
    TSCGCellParam* range = params.Add();
    range->SetColMax(5);
    range->SetRowMax(5);
    range->SetRangeEnabled(true);
    TSCGCellParam* single = params.Add();
    single->SetCol(2);
    single->SetRow(2);
    single->SetColMax(9);
    single->SetRowMax(9);
    EXPECT_EQ(grid.FindCellParam(2, 2, false), single);
    EXPECT_EQ(grid.FindCellParam(3, 3, false), range);
    EXPECT_EQ(grid.FindCellParam(6, 6, false), nullptr);
    TSCGCellParam* later = params.Add();
    later->SetColMax(5);
    later->SetRowMax(5);
    later->SetRangeEnabled(true);
    EXPECT_EQ(grid.FindCellParam(2, 2, false), later);
}

TEST_F(StrCGridParamsTest, StoredFormHoldsOnlyWhatDiffersAndReadsBack)
{
    TSCGCellFont* font = fonts.Add();
    TFont f = font->Font();
    f.SetHeight(-16);
    f.SetColor(clBlue);
    f.SetStyle(fsBold | fsItalic);
    font->SetFont(f);
    font->SetName(QStringLiteral("見出し"));

    params.Add(); // all defaults
    TSCGCellParam* item = params.Add();
    item->SetAlignment(taCenter);
    item->SetCaption(QStringLiteral("祝"));
    item->SetCaptionType(ctBottom);
    item->SetCellColor(0x123456);
    item->SetCellColorEnabled(true);
    item->SetColMax(31);
    item->SetCol(1);
    TBrush brush;
    brush.SetStyle(bsDiagCross);
    brush.SetColor(clGreen);
    item->SetBrush(brush);
    item->SetBrushEnabled(true);
    item->SetFontName(QStringLiteral("見出し"));
    item->SetFontColor(clRed);
    item->SetFontColorEnabled(true);
    item->SetFontWidth(2);
    item->SetImeMode(imHira);
    item->SetImeModeEnabled(true);
    item->SetLayout(tlBottom);
    item->SetOptions(goRowSelect | goEditing);
    item->SetOptionsEnabled(true);
    item->SetRowMax(12);
    item->SetRow(12);
    item->SetRangeEnabled(true);
    item->SetTag(-7);
    grid.SetAlignment(taRightJustify);
    grid.SetFocusDraw(false);
    grid.SetCellDivide(false);
    grid.SetLayout(tlCenter);

    TWriter writer;
    grid.WriteProperties(writer);
    writer.WriteListEnd();
    const QByteArray bytes = writer.Data();

    TStrColGrid loaded;
    TReader reader(bytes);
    loaded.LoadProperties(reader);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_FALSE(loaded.Loading());
    ASSERT_EQ(loaded.CellParams().Count(), 2);
    ASSERT_EQ(loaded.Fonts().Count(), 1);
    EXPECT_EQ(loaded.Fonts().Items(0)->Name(), QStringLiteral("見出し"));
    EXPECT_EQ(loaded.Fonts().Items(0)->Font(), f);
    const TSCGCellParam* back = loaded.CellParams().Items(1);
    EXPECT_EQ(back->Alignment(), taCenter);
    EXPECT_EQ(back->Caption(), QStringLiteral("祝"));
    EXPECT_EQ(back->CaptionType(), ctBottom);
    EXPECT_EQ(back->CellColor(), 0x123456u);
    EXPECT_TRUE(back->CellColorEnabled());
    EXPECT_EQ(back->Col(), 1);
    EXPECT_EQ(back->ColMax(), 31);
    EXPECT_EQ(back->Brush(), brush);
    EXPECT_TRUE(back->BrushEnabled());
    EXPECT_EQ(back->FontName(), QStringLiteral("見出し"));
    EXPECT_EQ(back->FontColor(), clRed);
    EXPECT_TRUE(back->FontColorEnabled());
    EXPECT_EQ(back->FontWidth(), 2);
    EXPECT_EQ(back->ImeMode(), imHira);
    EXPECT_TRUE(back->ImeModeEnabled());
    EXPECT_EQ(back->Layout(), tlBottom);
    EXPECT_EQ(back->Name(), QStringLiteral("パラメータ2"));
    EXPECT_EQ(back->Options(), goRowSelect | goEditing);
    EXPECT_TRUE(back->OptionsEnabled());
    EXPECT_TRUE(back->RangeEnabled());
    EXPECT_EQ(back->Row(), 12);
    EXPECT_EQ(back->RowMax(), 12);
    EXPECT_EQ(back->Tag(), -7);
    EXPECT_EQ(loaded.Alignment(), taRightJustify);
    EXPECT_FALSE(loaded.FocusDraw());
    EXPECT_FALSE(loaded.CellDivide());
    EXPECT_EQ(loaded.Layout(), tlCenter);

    // The all-default item stores only the properties without a default,
    // in declaration order.
    TWriter single;
    params.Items(0)->WriteProperties(single);
    TReader names(single.Data());
    QStringList stored;
    while (!names.AtEnd()) {
        stored << names.ReadPropName();
        names.SkipValue();
    }
    EXPECT_EQ(stored.join(u','),
        QStringLiteral("Caption,CellColor,Col,ColMax,Brush.Color,Brush.Style,FontName,FontColor,FontWidth,"
                       "ImeModeEnabled,Name,Options,Row,RowMax,Tag"));

    // An empty grid stores both collections as empty lists.
    TStrColGrid empty;
    TWriter emptyWriter;
    empty.WriteProperties(emptyWriter);
    TReader emptyReader(emptyWriter.Data());
    QStringList gridNames;
    while (!emptyReader.AtEnd()) {
        gridNames << emptyReader.ReadPropName();
        emptyReader.SkipValue();
    }
    EXPECT_EQ(gridNames.join(u','), QStringLiteral("DefaultDrawing,CellParams,Fonts,Layout,Options"));
}

// The bytes of one stored property: its name, then its value.
QByteArray Stored(const char* name, const QByteArray& value) { return char(qstrlen(name)) + QByteArray(name) + value; }

TEST_F(StrCGridParamsTest, ColoursWithANameAreStoredByItAndOthersAsNumbers)
{
    grid.SetFocusCellColor(clSilver);
    grid.SetFocusCellFontColor(0x123456);
    TSCGCellParam* item = params.Add(); // clWindow and clWindowText
    TBrush brush;
    brush.SetColor(0x80000019); // a scheme entry without a name
    item->SetBrush(brush);
    TSCGCellFont* font = fonts.Add();
    TFont f = font->Font();
    f.SetColor(clBtnShadow);
    font->SetFont(f);

    TWriter writer;
    grid.WriteProperties(writer);
    writer.WriteListEnd();
    const QByteArray bytes = writer.Data();
    EXPECT_TRUE(bytes.contains(Stored("FocusCellColor",
        QByteArray("\x07\x08"
                   "clSilver"))));
    EXPECT_TRUE(bytes.contains(Stored("FocusCellFontColor", QByteArray("\x04\x56\x34\x12\x00", 5))));
    EXPECT_TRUE(bytes.contains(Stored("CellColor",
        QByteArray("\x07\x08"
                   "clWindow"))));
    EXPECT_TRUE(bytes.contains(Stored("FontColor",
        QByteArray("\x07\x0C"
                   "clWindowText"))));
    EXPECT_TRUE(bytes.contains(Stored("Brush.Color", QByteArray("\x04\x19\x00\x00\x80", 5))));
    EXPECT_TRUE(bytes.contains(Stored("Font.Color",
        QByteArray("\x07\x0B"
                   "clBtnShadow"))));

    TStrColGrid loaded;
    TReader reader(bytes);
    loaded.LoadProperties(reader);
    EXPECT_EQ(loaded.FocusCellColor(), clSilver);
    EXPECT_EQ(loaded.FocusCellFontColor(), 0x123456u);
    ASSERT_EQ(loaded.CellParams().Count(), 1);
    EXPECT_EQ(loaded.CellParams().Items(0)->CellColor(), clWindow);
    EXPECT_EQ(loaded.CellParams().Items(0)->FontColor(), clWindowText);
    EXPECT_EQ(loaded.CellParams().Items(0)->Brush().Color(), 0x80000019u);
    ASSERT_EQ(loaded.Fonts().Count(), 1);
    EXPECT_EQ(loaded.Fonts().Items(0)->Font().Color(), clBtnShadow);
}

TEST_F(StrCGridParamsTest, ColoursStoredAsNumbersStillLoadAndUnknownNamesAreRefused)
{
    TWriter writer;
    writer.WritePropName(QStringLiteral("FocusCellColor"));
    writer.WriteInteger(qint32(clGreen));
    writer.WritePropName(QStringLiteral("FocusCellFontColor"));
    writer.WriteInteger(qint32(clBtnHighlight));
    writer.WriteListEnd();
    TReader reader(writer.Data());
    grid.LoadProperties(reader);
    EXPECT_EQ(grid.FocusCellColor(), clGreen);
    EXPECT_EQ(grid.FocusCellFontColor(), clBtnHighlight);

    TWriter unknown;
    unknown.WritePropName(QStringLiteral("FocusCellColor"));
    unknown.WriteIdent(QStringLiteral("clPlaid"));
    unknown.WriteListEnd();
    TReader unknownReader(unknown.Data());
    EXPECT_THROW(grid.LoadProperties(unknownReader), EReadError);
}

TEST_F(StrCGridParamsTest, DefaultDrawingOffIsStoredAndReadBack)
{
    TWriter writer;
    grid.WriteProperties(writer);
    writer.WriteListEnd();
    EXPECT_TRUE(writer.Data().startsWith(Stored("DefaultDrawing", QByteArray("\x08"))));

    TStrColGrid loaded;
    loaded.SetDefaultDrawing(true);
    TReader reader(writer.Data());
    loaded.LoadProperties(reader);
    EXPECT_FALSE(loaded.DefaultDrawing());

    TWriter on;
    on.WritePropName(QStringLiteral("DefaultDrawing"));
    on.WriteBoolean(true);
    on.WriteListEnd();
    TReader onReader(on.Data());
    loaded.LoadProperties(onReader);
    EXPECT_TRUE(loaded.DefaultDrawing());
    // Drawn by the base grid then, so not stored.
    TWriter again;
    loaded.WriteProperties(again);
    EXPECT_FALSE(again.Data().contains("DefaultDrawing"));
}

TEST_F(StrCGridParamsTest, BrokenStoredFormRaisesAndEndsLoading)
{
    TWriter writer;
    writer.WritePropName(QStringLiteral("CellParams"));
    writer.WriteCollectionBegin();
    writer.WriteListBegin();
    writer.WritePropName(QStringLiteral("Alignment"));
    writer.WriteIdent(QStringLiteral("taSideways"));
    TReader reader(writer.Data());
    EXPECT_THROW(grid.LoadProperties(reader), EReadError);
    EXPECT_FALSE(grid.Loading());

    TReader truncated(writer.Data().left(writer.Data().size() - 3));
    EXPECT_THROW(grid.LoadProperties(truncated), EReadError);
}

} // namespace
