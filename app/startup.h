#pragma once

namespace parlavo {

// True when a window can be opened: a display (X11 or Wayland) is named, or Qt is told which
// platform to use.
bool displayAvailable();

// The program: chooses the file view's class, builds the main window with its handler, runs it
// until the window is gone and releases what it took. Command-line arguments are ignored (Qt does
// not see them either). Returns 0, or 1 when there is no display or it cannot be opened.
int runParlavo(int argc, char** argv);

} // namespace parlavo
