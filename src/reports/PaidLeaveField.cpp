#include "reports/PaidLeaveField.h"

#include <QMouseEvent>

#include "core/PaidLeave.h"
#include "core/PaidLeaveSettings.h"
#include "platform/Application.h"
#include "platform/Dates.h"
#include "reports/PaidLeaveSentences.h"
#include "reports/PaidLeaveWindow.h"
#include "views/ProgramEvents.h"

TPaidLeaveField::TPaidLeaveField(QWidget* parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("PaidLeaveField"));
    setCursor(Qt::PointingHandCursor);
    setContentsMargins(6, 0, 6, 0);
    const auto refresh = [this] { Application::Guard([this] { Refresh(); }); };
    FollowDataFile(this, refresh);
    connect(&ProgramEvents(), &TProgramEvents::paidLeaveSettingsChanged, this, refresh);
    refresh();
}

void TPaidLeaveField::Refresh()
{
    const std::optional<PaidLeave::Balance> balance
        = PaidLeave::ComputeFromDataFile(PaidLeaveSettings::Read(), Dates::Today());
    setVisible(balance.has_value());
    if (!balance)
        return;
    setText(QStringLiteral("有給 ") + PaidLeaveSentences::Days(balance->Left));
    const QStringList warnings = PaidLeaveSentences::Warnings(*balance);
    setToolTip(warnings.join(u'\n'));
    QPalette colours; // what is not set here follows the status line's
    if (!warnings.isEmpty())
        colours.setColor(QPalette::WindowText, QColor(255, 0, 0));
    setPalette(colours);
}

void TPaidLeaveField::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && PaidLeaveForm)
        Application::Guard([] { PaidLeaveForm->ShowBalance(); });
}
