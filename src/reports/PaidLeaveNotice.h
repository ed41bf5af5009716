#pragma once

// At start, once a day, the program tells the user of paid leave that asks
// for action soon: days that expire within 30 days, or a five-day rule whose
// deadline is within 30 days and unmet. It says it on the desktop, as a
// notification titled "有給休暇" with the sentences the window
// "有給休暇の残日数" shows; where no notification service answers, the same
// sentences stand in the main window's status line. A click on the
// notification opens "有給休暇の残日数". The settings turn it
// off, and the day of the last notice in [Paid] keeps a second start of the
// same day quiet.

namespace PaidLeaveNotice {

void AtStart();

} // namespace PaidLeaveNotice
