#include "widgets/CmbGridKind.h"

#include "platform/Errors.h"
#include "widgets/CmbGrid.h"

const TCellKindItems::Item& TCellKindItems::At(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return items_[std::size_t(index)];
}

const QString& TCellKindItems::Strings(int index) const { return At(index).Text; }

qint32 TCellKindItems::Marks(int index) const { return At(index).Mark; }

void TCellKindItems::Add(const QString& text, qint32 mark) { items_.push_back({ text, mark }); }

int TCellKindItems::IndexOf(const QString& text) const
{
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].Text.compare(text, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

void TCellKind::SetAlign(CellAlign value)
{
    if (value == align_)
        return;
    align_ = value;
    Changed();
}

void TCellKind::SetFixedAlign(CellAlign value)
{
    if (value == fixedAlign_)
        return;
    fixedAlign_ = value;
    Changed();
}

void TCellKind::Changed()
{
    if (grid_ != nullptr)
        grid_->InvalidateGrid();
}

void TCellKind::SetItems(const TCellKindItems* source)
{
    if (source == nullptr)
        items_.Clear();
    else if (source != &items_)
        items_ = *source;
}

void TCellKind::CopyFrom(const TCellKind& source)
{
    if (&source == this)
        return;
    kind_ = source.kind_;
    items_ = source.items_;
    dropDownWidth_ = source.dropDownWidth_;
    margin_ = source.margin_;
    fixedAlign_ = source.fixedAlign_;
    align_ = source.align_;
    editLimit_ = source.editLimit_;
    editable_ = source.editable_;
}
