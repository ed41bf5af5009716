#include "views/MainFrame.h"

TMainFrame* MainFrame = nullptr;
