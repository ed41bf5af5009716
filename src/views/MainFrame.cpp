#include "views/MainFrame.h"

#include "views/LongLivedWindow.h"

TMainFrame* MainFrame = nullptr;

QWidget* LongLivedWindowOwner() { return MainFrame ? &MainFrame->FrameWidget() : nullptr; }
