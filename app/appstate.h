#pragma once

#include "app/layout.h"
#include "lang/settings.h"
#include "pass/navigation.h"
#include "platform/clock.h"

#include <initializer_list>
#include <memory>
#include <string_view>
#include <utility>

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
// The settings file is written through the pass's kept copy of it (read again only when it changed
// on disk), so a large answer memory is not read again for a setting; saveSettings writes several
// values at once.
void saveSetting(AppState& state, QWidget* parent, std::string_view key, std::string_view value);
using SettingValue = std::pair<std::string_view, std::string_view>;
void saveSettings(AppState& state, QWidget* parent, std::initializer_list<SettingValue> values);

} // namespace parlavo
