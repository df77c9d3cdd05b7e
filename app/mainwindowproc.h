#pragma once

#include "platform/gui/message.h"

namespace parlavo {

class MainWindow;
struct AppState;

// The main window's handler: every message of the window arrives here and is dispatched to the
// procedure for its kind. Returns 1 for DrawItem and 0 for everything else.
int mainWindowProc(MainWindow& window, AppState& state, Message& message);

} // namespace parlavo
