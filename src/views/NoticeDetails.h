#pragma once

// The window that 詳細 beside a notice in the status line opens: the
// notice's lines, to read and copy. It is no dialog: nothing waits for it,
// and it closes with 閉じる, Esc or its close box. One window, reused.

#include <QString>

class QWidget;

void ShowNoticeDetails(QWidget* owner, const QString& title, const QString& details);
