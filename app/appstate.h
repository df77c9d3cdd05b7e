#pragma once

#include "app/layout.h"
#include "lang/settings.h"
#include "pass/navigation.h"
#include "platform/clock.h"

#include <memory>

namespace parlavo {

class MainWindow;

// Everything the main window's handler keeps between messages.
struct AppState {
    DisplaySettings display;
    PassState pass;
    LayoutState layout;
    int savedFocus = 0;    // control id that had the focus when the window was deactivated
    int minTrackWidth = 0; // smallest outer size, pixels; 0 until captured
    int minTrackHeight = 0;
    const Clock* clock = nullptr;
};

} // namespace parlavo
