#pragma once

#include "app/layout.h"
#include "lang/settings.h"
#include "pass/navigation.h"
#include "platform/clock.h"

#include <memory>
#include <string_view>

class QWidget;

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
    bool settingsFailureShown = false; // a failed settings write is shown once per session
};

// Writes one setting of the settings file. The first failure of the session is shown as a warning
// over parent; later ones are not, so a folder that refuses writes does not show a box per keystroke.
void saveSetting(AppState& state, QWidget* parent, std::string_view key, std::string_view value);

} // namespace parlavo
