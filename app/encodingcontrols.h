#pragma once

#include "lang/encodingchoice.h"

namespace parlavo {

class MainWindow;
struct AppState;

// The encoding drop-downs list the offered encodings; nothing is selected before a load.
void initEncodingControls(MainWindow& window);
// Each file's encoding and how it was decided, in its label and its drop-down.
void showEncodings(MainWindow& window, const FileEncodings& encodings);
// A drop-down's choice: remembered for its file (the loaded one, else the path in the box) so the
// next "Load Files" uses it, and applied at once to a loaded pass.
void onEncodingChosen(MainWindow& window, AppState& state, int controlId, int code);

} // namespace parlavo
