#pragma once

#include "platform/gui/message.h"

namespace parlavo {

class MainWindow;
struct AppState;

// The display-setting and browse commands of the main window. Each change is applied to the file
// view and written to the settings file at once.
void initDisplayControls(MainWindow& window, AppState& state);
int drawOwnerItem(MainWindow& window, AppState& state, const Message& message);
void onColourPick(MainWindow& window, AppState& state, int controlId, int code);
void onFontChange(MainWindow& window, AppState& state, int code);
void onSizeChange(MainWindow& window, AppState& state, int code);
void onBrowse(MainWindow& window, AppState& state, int controlId, int code);

// Apply one display setting to the whole text of the file view.
void applyViewFont(MainWindow& window, const AppState& state);
void applyViewSize(MainWindow& window, const AppState& state);
void applyViewColor(MainWindow& window, const AppState& state);
void applyViewBackground(MainWindow& window, const AppState& state);

} // namespace parlavo
