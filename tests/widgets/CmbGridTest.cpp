// The combo grid as a user sees and drives it: column texts placed by their
// kinds, number formats, button and check faces, the mouse and the keyboard
// on them, and the in-place editor with its drop-down list.
#include "widgets/CmbGrid.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include "GridPictures.h"
#include "TestSupport.h"
#include "platform/Errors.h"
#include "widgets/CmbGridEdit.h"

using namespace Qt::StringLiterals;

namespace {

class CmbGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallFontSubstitutions();
        grid.SetColor(clWhite);
        grid.SetFixedColor(0xC8C8C8);
        TFont font = grid.Font();
        font.SetColor(clBlack);
        grid.SetFont(font);
        grid.resize(400, 200);
        // Highlighted cells would differ from the others; keep the current
        // cell out of the way.
        grid.FocusCell(4, 4);
        clicks.clear();
        grid.OnGridBtnClick = [this](QObject* sender, int col, int row) {
            EXPECT_EQ(sender, &grid);
            clicks.emplace_back(col, row);
        };
    }

    QImage Paint() { return GridPicture(grid); }
    static TColor At(const QImage& image, int x, int y) { return PixelAt(image, x, y); }
    static QRect Ink(const QImage& image, const TRect& r, TColor background) { return InkIn(image, r, background); }

    // Whether two cells of the same size look the same, pixel for pixel.
    static bool SameLook(const QImage& image, const TRect& a, const TRect& b)
    {
        return image.copy(a.toQRect()) == image.copy(b.toQRect());
    }

    void Focus()
    {
        grid.show();
        grid.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
        grid.setFocus();
        QApplication::processEvents();
        ASSERT_TRUE(grid.hasFocus());
    }

    QPoint Middle(int col, int row) const { return grid.CellRect(col, row).toQRect().center(); }
    void Click(int col, int row) { QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, Middle(col, row)); }

    void SendKey(QEvent::Type type, int key, bool autoRepeat = false)
    {
        QKeyEvent event(type, key, Qt::NoModifier, key == Qt::Key_Space ? u" "_s : QString(), autoRepeat);
        QApplication::sendEvent(&grid, &event);
    }

    TCellKind& CheckColumn(int col)
    {
        TCellKind& kind = grid.ColumnKind(col);
        kind.SetKind(ckCheck);
        kind.Items().Add(u"A"_s, 0);
        kind.Items().Add(u"B"_s, 1);
        return kind;
    }

    TCellKind& ButtonColumn(int col, const QString& caption = u"Go"_s)
    {
        TCellKind& kind = grid.ColumnKind(col);
        kind.SetKind(ckButton);
        kind.Items().Add(caption);
        return kind;
    }

    TComboGrid grid;
    std::vector<std::pair<int, int>> clicks;
};

// ---- texts

TEST_F(CmbGridTest, NumberFormatChangesOnlyWhatIsShown)
{
    grid.ColumnKind(1).Items().Add(QString());
    grid.ColumnKind(1).Items().Add(u"#,##0"_s);
    grid.SetCells(1, 1, u"1234"_s);
    grid.SetCells(2, 1, u"1,234"_s);
    grid.SetCells(1, 2, u"12a"_s);
    grid.SetCells(2, 2, u"12a"_s);
    grid.SetCells(1, 3, u" -1234.6 "_s);
    grid.SetCells(2, 3, u"-1,235"_s);
    const QImage image = Paint();
    EXPECT_TRUE(SameLook(image, grid.CellRect(1, 1), grid.CellRect(2, 1)));
    EXPECT_TRUE(SameLook(image, grid.CellRect(1, 2), grid.CellRect(2, 2)));
    EXPECT_TRUE(SameLook(image, grid.CellRect(1, 3), grid.CellRect(2, 3)));
    EXPECT_FALSE(SameLook(image, grid.CellRect(1, 1), grid.CellRect(2, 2)));
    EXPECT_EQ(grid.Cells(1, 1), u"1234"_s);
}

TEST_F(CmbGridTest, AlignmentFlagsPlaceTheText)
{
    for (int row = 1; row <= 3; ++row)
        for (int col = 0; col <= 3; ++col)
            grid.SetCells(col, row, u"MM"_s);
    grid.ColumnKind(1).SetAlign(caCenter | caRight);
    grid.ColumnKind(2).SetAlign(caTop | caBottom);
    grid.ColumnKind(3).SetAlign(caCenter);
    grid.ColumnKind(0).SetFixedAlign(caLeft | caBottom);
    grid.ColumnKind(0).SetAlign(caLeft | caBottom);
    grid.ColumnKind(0).SetMargin(6);
    const QImage image = Paint();

    const TRect right = grid.CellRect(1, 1);
    const QRect rightInk = Ink(image, right, clWhite);
    EXPECT_GE(rightInk.right(), right.Right - 2 - 3);
    EXPECT_LE(rightInk.right(), right.Right - 2);

    const TRect centred = grid.CellRect(3, 1);
    const QRect centredInk = Ink(image, centred, clWhite);
    EXPECT_NEAR(centredInk.center().x(), (centred.Left + centred.Right) / 2, 2);

    // Bottom wins over top; no vertical flag centres.
    const TRect bottom = grid.CellRect(2, 1);
    const QRect bottomInk = Ink(image, bottom, clWhite);
    EXPECT_GT(bottomInk.top() - bottom.Top, centredInk.top() - centred.Top + 2);
    EXPECT_GE(bottomInk.bottom(), bottom.Bottom - 5);

    // The fixed column's bottom-aligned text sits two pixels higher than
    // the same text at the bottom of a scrolling cell.
    const TRect fixedCell = grid.CellRect(0, 2);
    const QRect fixedInk = Ink(image, fixedCell.Inflated(-1, -1), 0xC8C8C8);
    EXPECT_EQ(bottomInk.bottom() - bottom.Top, fixedInk.bottom() - fixedCell.Top + 2);
    EXPECT_GE(fixedInk.left() - fixedCell.Left, 6);
}

TEST_F(CmbGridTest, LongTextsAreCutWithoutHarm)
{
    grid.SetCells(1, 1, QString(400, u'全'));
    grid.SetCells(2, 1, QString(254, u'x') + QString::fromUcs4(U"\U0001F600"));
    grid.ColumnKind(1).SetAlign(caRight);
    EXPECT_NO_THROW(Paint());
}

// ---- button and check cells

TEST_F(CmbGridTest, CheckCellStepsThroughItsValuesByMouse)
{
    CheckColumn(2);
    grid.SetOptions(grid.Options() | goEditing);
    grid.SetCells(2, 1, u"A"_s);
    grid.SetCells(2, 2, u"other"_s);
    grid.SetCells(2, 3, u"b"_s);

    Click(2, 1);
    EXPECT_EQ(grid.Cells(2, 1), u"B"_s);
    Click(2, 1);
    EXPECT_EQ(grid.Cells(2, 1), u"A"_s);
    Click(2, 2);
    EXPECT_EQ(grid.Cells(2, 2), u"A"_s);
    // Letter case does not matter: "b" is the "on" value.
    Click(2, 3);
    EXPECT_EQ(grid.Cells(2, 3), u"A"_s);
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>> { { 2, 1 }, { 2, 1 }, { 2, 2 }, { 2, 3 } }));
    EXPECT_EQ(grid.PressedCol(), -1);
}

TEST_F(CmbGridTest, CheckValueWithoutOnItemStaysAndRepeatedOnIsFound)
{
    TCellKind kind;
    kind.Items().Add(u"x"_s, 0);
    kind.Items().Add(u"y"_s, 0);
    EXPECT_EQ(TComboGrid::NextCheckValue(u"y"_s, kind), u"y"_s);
    kind.Items().Add(u"z"_s, 1);
    EXPECT_EQ(TComboGrid::NextCheckValue(u"y"_s, kind), u"z"_s);
    EXPECT_EQ(TComboGrid::NextCheckValue(u"z"_s, kind), u"x"_s);
    kind.Items().Clear();
    EXPECT_THROW(TComboGrid::NextCheckValue(u"y"_s, kind), EListError);
}

TEST_F(CmbGridTest, CheckCellNeedsEditingAndAnEditableColumn)
{
    TCellKind& kind = CheckColumn(2);
    grid.SetCells(2, 1, u"A"_s);
    Click(2, 1);
    EXPECT_EQ(grid.Cells(2, 1), u"A"_s);
    grid.SetOptions(grid.Options() | goEditing);
    kind.SetEditable(false);
    Click(2, 1);
    EXPECT_EQ(grid.Cells(2, 1), u"A"_s);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(CmbGridTest, ReleasingOutsideThePressedCellDoesNothing)
{
    CheckColumn(2);
    grid.SetOptions(grid.Options() | goEditing);
    grid.SetCells(2, 1, u"A"_s);
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, Middle(2, 1));
    EXPECT_EQ(grid.PressedCol(), 2);
    EXPECT_EQ(grid.PressedRow(), 1);
    EXPECT_EQ(grid.PressedFocus(), 2);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, Middle(2, 2));
    EXPECT_EQ(grid.Cells(2, 1), u"A"_s);
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(grid.PressedCol(), -1);
}

TEST_F(CmbGridTest, CheckFacesShowOffOnAndUnknownValues)
{
    CheckColumn(2);
    grid.SetCells(2, 1, u"A"_s);
    grid.SetCells(2, 2, u"B"_s);
    grid.SetCells(2, 3, u"?"_s);
    const QImage image = Paint();
    const auto boxCentre = [&](int row) {
        const TRect r = grid.CellRect(2, row).Inflated(-2, -2);
        return QPoint(r.Left + r.Width() / 2, r.Top + r.Height() / 2);
    };
    const auto crossPixels = [&](int row) {
        const QPoint c = boxCentre(row);
        int count = 0;
        for (int y = c.y() - 4; y <= c.y() + 4; ++y)
            for (int x = c.x() - 4; x <= c.x() + 4; ++x)
                count += At(image, x, y) == ColorToRGB(clBtnText);
        return count;
    };
    EXPECT_GT(crossPixels(1), 10);
    EXPECT_EQ(At(image, boxCentre(1).x(), boxCentre(1).y()), ColorToRGB(clBtnText));
    EXPECT_EQ(crossPixels(2), 0);
    EXPECT_EQ(At(image, boxCentre(2).x(), boxCentre(2).y()), ColorToRGB(clWindow));
    EXPECT_EQ(At(image, boxCentre(3).x(), boxCentre(3).y()), ColorToRGB(clGrayText));
    // Around the box the cell is button face.
    const TRect cell = grid.CellRect(2, 2);
    EXPECT_EQ(At(image, cell.Left + 3, cell.Top + 3), ColorToRGB(clBtnFace));
}

TEST_F(CmbGridTest, SpaceTogglesACheckCellLikeTheMouse)
{
    CheckColumn(2);
    grid.SetOptions(grid.Options() | goEditing);
    grid.SetCells(2, 2, u"A"_s);
    grid.FocusCell(2, 2);
    SendKey(QEvent::KeyPress, Qt::Key_Space);
    EXPECT_EQ(grid.PressedCol(), 2);
    EXPECT_EQ(grid.Cells(2, 2), u"A"_s);
    SendKey(QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(grid.Cells(2, 2), u"B"_s);
    SendKey(QEvent::KeyPress, Qt::Key_Space);
    SendKey(QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(grid.Cells(2, 2), u"A"_s);
    EXPECT_EQ(clicks.size(), 2u);
}

TEST_F(CmbGridTest, ButtonCellClicksByMouseSpaceAndEnter)
{
    ButtonColumn(3);
    Click(3, 2);
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>> { { 3, 2 } }));

    grid.FocusCell(3, 1);
    clicks.clear();
    SendKey(QEvent::KeyPress, Qt::Key_Return);
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>> { { 3, 1 } }));

    // A held Space repeats its presses (and releases) but presses once.
    clicks.clear();
    SendKey(QEvent::KeyPress, Qt::Key_Space);
    for (int i = 0; i < 3; ++i) {
        SendKey(QEvent::KeyRelease, Qt::Key_Space, true);
        SendKey(QEvent::KeyPress, Qt::Key_Space, true);
        EXPECT_EQ(grid.PressedCol(), 3);
    }
    EXPECT_TRUE(clicks.empty());
    SendKey(QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>> { { 3, 1 } }));
    EXPECT_EQ(grid.PressedCol(), -1);

    // Enter in another column is the grid's own.
    clicks.clear();
    grid.FocusCell(2, 1);
    SendKey(QEvent::KeyPress, Qt::Key_Return);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(CmbGridTest, ButtonFaceSinksWhilePressed)
{
    ButtonColumn(3);
    const TRect cell = grid.CellRect(3, 2);
    const QImage raised = Paint();
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, Middle(3, 2));
    const QImage sunken = Paint();
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, Middle(3, 2));
    const QImage again = Paint();
    EXPECT_NE(raised.copy(cell.toQRect()), sunken.copy(cell.toQRect()));
    EXPECT_EQ(raised.copy(cell.toQRect()), again.copy(cell.toQRect()));
    // The caption sits in the middle of the face, on button face.
    const QRect caption = Ink(raised, cell.Inflated(-3, -3), clBtnFace);
    EXPECT_NEAR(caption.center().x(), (cell.Left + cell.Right) / 2, 3);
}

TEST_F(CmbGridTest, UseCellDataShowsTheCellsTextOnTheButton)
{
    ButtonColumn(3, UseCellData);
    ButtonColumn(2, u"Same"_s);
    grid.SetCells(3, 1, u"Same"_s);
    grid.SetCells(2, 1, u"ignored"_s);
    const QImage image = Paint();
    EXPECT_TRUE(SameLook(image, grid.CellRect(3, 1), grid.CellRect(2, 1)));
}

TEST_F(CmbGridTest, ButtonWithoutCaptionPaintsAndRefusesThePress)
{
    ScriptedDialogs dialogs;
    grid.ColumnKind(3).SetKind(ckButton);
    EXPECT_NO_THROW(Paint());
    Click(3, 1);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages.front().text, u"List index out of bounds (0)"_s);
    EXPECT_EQ(grid.PressedCol(), -1);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(CmbGridTest, FaceColumnsShowNoEditorAndNoFocusRectangle)
{
    ButtonColumn(3);
    CheckColumn(2);
    grid.SetCells(2, 1, u"A"_s);
    grid.SetCells(2, 2, u"A"_s);
    grid.SetOptions(grid.Options() | goEditing | goAlwaysShowEditor);
    Focus();
    for (int col : { 2, 3 }) {
        grid.FocusCell(col, 1);
        grid.ShowEditor();
        EXPECT_FALSE(grid.EditorMode()) << col;
        EXPECT_TRUE(grid.InplaceEditor() == nullptr || !grid.InplaceEditor()->isVisible()) << col;
        const QImage image = Paint();
        EXPECT_TRUE(SameLook(image, grid.CellRect(col, 1), grid.CellRect(col, 2))) << col;
    }
    // A text column does get its editor.
    grid.FocusCell(1, 1);
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_TRUE(grid.InplaceEditor()->isVisible());
}

TEST_F(CmbGridTest, DrawCellEventFollowsEveryVisibleCell)
{
    int calls = 0;
    grid.OnDrawCell = [&](QObject*, int, int, const TRect&, TGridDrawState) { ++calls; };
    Paint();
    EXPECT_EQ(calls, grid.ColCount() * grid.RowCount());
    grid.SetDefaultDrawing(false);
    calls = 0;
    Paint();
    EXPECT_EQ(calls, grid.ColCount() * grid.RowCount());
}

// ---- column kinds

TEST_F(CmbGridTest, KindsAreMadeOnDemandAndReadWithoutMakingThem)
{
    EXPECT_EQ(grid.ColumnKindCount(), 0);
    EXPECT_EQ(grid.ColumnAlign(3), DefaultCellAlign);
    EXPECT_EQ(grid.ColumnMargin(3), 2);
    EXPECT_EQ(grid.ColumnKindCount(), 0);
    TCellKind& kind = grid.ColumnKind(3);
    EXPECT_EQ(grid.ColumnKindCount(), 4);
    EXPECT_EQ(grid.ExistingColumnKind(1), nullptr);
    EXPECT_EQ(kind.Grid(), &grid);
    EXPECT_EQ(&grid.ColumnKind(3), &kind);
    kind.SetFixedAlign(caRight);
    EXPECT_EQ(grid.ColumnFixedAlign(3), CellAlign(caRight));
    EXPECT_THROW(grid.ColumnKind(-1), ERangeError);
    EXPECT_THROW(grid.ColumnKind(TComboGrid::MaxColumnKinds), ERangeError);

    TCellKind copy;
    kind.Items().Add(u"m"_s);
    kind.SetKind(ckCombo);
    kind.SetEditLimit(4);
    copy.CopyFrom(kind);
    EXPECT_EQ(copy.Grid(), nullptr);
    EXPECT_EQ(copy.Items(), kind.Items());
    EXPECT_EQ(copy.FixedAlign(), CellAlign(caRight));
    EXPECT_EQ(copy.EditLimit(), 4);
    copy.SetItems(nullptr);
    EXPECT_TRUE(copy.Items().IsEmpty());
}

// ---- the editor

TEST_F(CmbGridTest, EditColumnGivesItsMaskAndLimitToTheEditor)
{
    grid.SetOptions(grid.Options() | goEditing);
    grid.ColumnKind(1).SetEditLimit(3);
    grid.ColumnKind(2).Items().Add(u"999"_s);
    Focus();
    grid.FocusCell(1, 1);
    grid.ShowEditor();
    ASSERT_TRUE(grid.EditorMode());
    EXPECT_EQ(grid.InplaceEditor()->maxLength(), 3);
    EXPECT_EQ(grid.InplaceEditor()->inputMask(), QString());
    grid.FocusCell(2, 1);
    grid.ShowEditor();
    EXPECT_EQ(grid.InplaceEditor()->inputMask(), u"999"_s);
    grid.FocusCell(3, 1);
    grid.ShowEditor();
    EXPECT_EQ(grid.InplaceEditor()->inputMask(), QString());
    EXPECT_EQ(grid.InplaceEditor()->maxLength(), 32767);
}

class CmbGridDropDownTest : public CmbGridTest {
protected:
    void SetUp() override
    {
        CmbGridTest::SetUp();
        TCellKind& kind = grid.ColumnKind(1);
        kind.SetKind(ckCombo);
        for (const QString& choice : { u"りんご"_s, u"みかん"_s, u"ぶどう"_s })
            kind.Items().Add(choice);
        kind.SetDropDownWidth(10);
        grid.SetOptions(grid.Options() | goEditing);
        Focus();
        grid.FocusCell(1, 2);
        grid.ShowEditor();
        editor = qobject_cast<TComboInplaceEdit*>(grid.InplaceEditor());
        ASSERT_NE(editor, nullptr);
        ASSERT_TRUE(editor->isVisible());
        ASSERT_NE(editor->DropDown(), nullptr);
    }

    void ClickDropButton()
    {
        QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(editor->width() - 3, editor->height() / 2));
    }
    TInplaceListBox& List() { return *editor->DropDown(); }

    void EditorKey(int key)
    {
        QTest::keyPress(editor, Qt::Key(key));
        QTest::keyRelease(editor, Qt::Key(key));
    }

    TComboInplaceEdit* editor = nullptr;
};

TEST_F(CmbGridDropDownTest, ButtonOpensTheListUnderTheEditorAndAChoiceIsPickedByMouse)
{
    ClickDropButton();
    ASSERT_TRUE(List().isVisible());
    EXPECT_EQ(List().count(), 3);
    EXPECT_EQ(List().width(), editor->width());
    const QPoint editorBottomRight = editor->mapToGlobal(QPoint(editor->width(), editor->height()));
    EXPECT_EQ(List().geometry().right() + 1, editorBottomRight.x());
    EXPECT_EQ(List().geometry().top(), editorBottomRight.y());
    EXPECT_TRUE(editor->hasFocus());

    const QRect second = List().visualItemRect(List().item(1));
    QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_FALSE(List().isVisible());
    EXPECT_EQ(editor->text(), u"みかん"_s);
    EXPECT_EQ(grid.Cells(1, 2), u"みかん"_s);
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>> { { 1, 2 } }));
}

TEST_F(CmbGridDropDownTest, WideListKeepsItsWidthAndASecondPressCloses)
{
    grid.ColumnKind(1).SetDropDownWidth(300);
    grid.HideEditor();
    grid.ShowEditor();
    ClickDropButton();
    EXPECT_EQ(List().width(), 300);
    ClickDropButton();
    EXPECT_FALSE(List().isVisible());
    EXPECT_TRUE(clicks.empty());
}

TEST_F(CmbGridDropDownTest, UpAndDownPickFromTheListAtOnce)
{
    grid.SetCells(1, 2, u"ブドウ"_s);
    ClickDropButton();
    EXPECT_EQ(List().currentRow(), -1);
    EditorKey(Qt::Key_Down);
    EXPECT_EQ(editor->text(), u"りんご"_s);
    EditorKey(Qt::Key_Down);
    EditorKey(Qt::Key_Down);
    EditorKey(Qt::Key_Down);
    EXPECT_EQ(editor->text(), u"ぶどう"_s);
    EditorKey(Qt::Key_Up);
    EXPECT_EQ(editor->text(), u"みかん"_s);
    EXPECT_EQ(grid.Cells(1, 2), u"みかん"_s);
    EXPECT_TRUE(List().isVisible());
    EditorKey(Qt::Key_Escape);
    EXPECT_FALSE(List().isVisible());
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_TRUE(clicks.empty());
}

TEST_F(CmbGridDropDownTest, OpeningSelectsTheEditorsTextIgnoringCase)
{
    grid.HideEditor();
    grid.ColumnKind(1).Items().Add(u"Kiwi"_s);
    grid.SetCells(1, 2, u"KIWI"_s);
    grid.ShowEditor();
    ClickDropButton();
    EXPECT_EQ(List().count(), 4);
    EXPECT_EQ(List().currentRow(), 3);
    EXPECT_EQ(editor->selectedText(), u"KIWI"_s);
}

TEST_F(CmbGridDropDownTest, ListClosesOnCancelModeAndWhenTheEditorGoes)
{
    ClickDropButton();
    grid.CancelMode(editor);
    grid.CancelMode(&List());
    EXPECT_TRUE(List().isVisible());
    grid.CancelMode(nullptr);
    EXPECT_FALSE(List().isVisible());

    ClickDropButton();
    ASSERT_TRUE(List().isVisible());
    grid.setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(List().isVisible());
    EXPECT_FALSE(grid.EditorMode());
}

TEST_F(CmbGridDropDownTest, TextColumnEditorHasNoList)
{
    grid.FocusCell(2, 2);
    grid.ShowEditor();
    ASSERT_EQ(grid.InplaceEditor(), editor);
    EXPECT_EQ(editor->CellKind().Kind(), ckEdit);
    ClickDropButton();
    EXPECT_FALSE(List().isVisible());
    EditorKey(Qt::Key_Down);
    EXPECT_EQ(grid.Row(), 3);
}

TEST(CmbGridLifetimeTest, GridMayGoWhileItsEditorHasTheFocus)
{
    // The focus moves on to a sibling as the grid goes.
    QWidget window;
    auto* grid = new TComboGrid(&window);
    QLineEdit sibling(&window);
    sibling.move(0, 300);
    window.resize(400, 400);
    TCellKind& kind = grid->ColumnKind(1);
    kind.SetKind(ckCombo);
    kind.Items().Add(u"x"_s);
    grid->SetOptions(grid->Options() | goEditing);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    grid->setFocus();
    grid->ShowEditor();
    QPointer<QLineEdit> editor = grid->InplaceEditor();
    ASSERT_TRUE(editor && editor->hasFocus());
    auto* combo = qobject_cast<TComboInplaceEdit*>(editor.data());
    combo->ToggleDropDown();
    QPointer<QListWidget> list = combo->DropDown();
    ASSERT_TRUE(list && list->isVisible());
    bool committed = false;
    grid->OnSetEditText = [&](QObject*, int, int, const QString&) { committed = true; };
    delete grid;
    QApplication::processEvents();
    EXPECT_TRUE(editor.isNull());
    EXPECT_TRUE(list.isNull());
    EXPECT_FALSE(committed);
}

} // namespace
