#pragma once

// The combo grid's in-place editor and its drop-down list. The editor is a
// masked edit over the current cell; in a ckCombo column it shows a
// drop-down button at its right edge, which opens the list of the column's
// choices under it. The editor keeps the keyboard focus while the list is
// open: Up and Down move through the list (and change the text at once),
// Escape closes it, a click on a choice takes it and closes the list.

#include <memory>

#include <QListWidget>

#include "platform/StringGrid.h"
#include "widgets/CmbGridKind.h"

class TComboGrid;
class TComboInplaceEdit;

class TInplaceListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TInplaceListBox(TComboInplaceEdit& editor);
    TComboInplaceEdit& Editor() const { return editor_; }

    // The editor's text (and with it the cell's) becomes the selected item.
    void PickItem();

    // The size a new list has until the editor sets its width.
    static constexpr int DefaultWidth = 121;
    static constexpr int DefaultHeight = 97;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TComboInplaceEdit& editor_;
};

class TComboInplaceEdit : public TInplaceEdit {
    Q_OBJECT
public:
    explicit TComboInplaceEdit(TComboGrid& grid);
    ~TComboInplaceEdit() override;

    TComboGrid& ComboGrid() const;

    // A copy of the current column's kind. None makes the editor a plain
    // ckEdit editor and changes nothing else.
    const TCellKind& CellKind() const { return cellKind_; }
    void SetCellKind(const TCellKind* K);

    QString EditMask() const { return inputMask(); }
    void SetEditMask(const QString& mask) { setInputMask(mask); }
    int MaxLength() const { return maxLength(); }
    void SetMaxLength(int length) { setMaxLength(length); }

    // The list of choices, made the first time the editor becomes a ckCombo
    // editor; none before.
    TInplaceListBox* DropDown() const { return dropDown_; }
    bool DropDownVisible() const { return dropDown_ != nullptr && dropDown_->isVisible(); }
    // Where the drop-down button was pressed, -1 while it is not.
    int ButtonDownX() const { return buttonDownX_; }

    // Opens the list under the editor (on the editor's text, at least as
    // wide as the editor), or closes it.
    void ToggleDropDown();
    void CloseDropDown();

    // Width of the drop-down button: the width of a scroll bar arrow.
    static int DropButtonWidth();

    // The grid is going away: from now on the editor no longer reports to it.
    void Detach() { detached_ = true; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    friend class TInplaceListBox;

    void DrawDropButton(bool pressed);
    void DropDownClick();
    void UpdateTextArea();

    TCellKind cellKind_;
    TInplaceListBox* dropDown_ = nullptr; // a child object, freed with the editor
    int buttonDownX_ = -1;
    bool detached_ = false;
};
