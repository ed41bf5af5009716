#include "reports/PaidLeaveNotice.h"

#include "core/PaidLeave.h"
#include "core/PaidLeaveSettings.h"
#include "platform/Dates.h"
#include "platform/DesktopNotice.h"
#include "reports/PaidLeaveSentences.h"
#include "reports/PaidLeaveWindow.h"
#include "views/MainFrame.h"

namespace PaidLeaveNotice {

void AtStart()
{
    const PaidLeave::Rules rules = PaidLeaveSettings::Read();
    const QDate today = Dates::Today();
    if (!rules.Hired || !rules.Notice || PaidLeaveSettings::LastNotice() == today)
        return;
    const std::optional<PaidLeave::Balance> balance = PaidLeave::ComputeFromDataFile(rules, today);
    if (!balance)
        return;
    const QStringList due = PaidLeaveSentences::DueBy(*balance, today.addDays(30));
    if (due.isEmpty())
        return;
    // The status line has one line: the sentences follow each other there.
    const QString line = due.join(u'\n').replace(u'\n', QStringLiteral("　"));
    DesktopNotice::Send(
        QStringLiteral("有給休暇"), due.join(u'\n'),
        [line] {
            if (MainFrame)
                MainFrame->SetStatusText(line);
        },
        [] {
            if (PaidLeaveForm)
                PaidLeaveForm->ShowBalance();
        });
    PaidLeaveSettings::SetLastNotice(today);
}

} // namespace PaidLeaveNotice
