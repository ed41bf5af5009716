#include "platform/UpDown.h"

#include <algorithm>

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include "platform/Text.h"

TUpDown::TUpDown(QWidget* parent)
    : QWidget(parent)
    , up_(new QToolButton(this))
    , down_(new QToolButton(this))
{
    setFocusPolicy(Qt::StrongFocus);
    for (QToolButton* button : { up_, down_ }) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    connect(up_, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
    resize(16, 20);
}

void TUpDown::SetAssociate(QLineEdit* edit)
{
    associate_ = edit;
    if (associate_)
        associate_->setText(QString::number(position_));
}

void TUpDown::SetRange(int minimum, int maximum)
{
    min_ = minimum;
    max_ = maximum;
    position_ = std::clamp(position_, min_, max_);
}

void TUpDown::SetPosition(int position)
{
    position_ = std::clamp(position, min_, max_);
    if (associate_)
        associate_->setText(QString::number(position_)); // no thousands separator
}

void TUpDown::Step(int direction)
{
    // The edit box may hold a typed number: step from it. A text that is no
    // number steps from the last position.
    if (associate_)
        position_ = std::clamp(Text::StrToIntDef(associate_->text(), position_), min_, max_);
    SetPosition(position_ + direction);
}

void TUpDown::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up)
        Step(+1);
    else if (event->key() == Qt::Key_Down)
        Step(-1);
    else
        QWidget::keyPressEvent(event);
}

void TUpDown::resizeEvent(QResizeEvent*)
{
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}
