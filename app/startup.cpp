#include "app/startup.h"

#include "app/appstate.h"
#include "app/mainwindowproc.h"
#include "parlavo_buildinfo.h"
#include "platform/gui/mainwindow.h"
#include "platform/gui/richedit.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace parlavo {

namespace {

bool variableSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Builds the main window, runs it until it is closed and then removes it.
void runMainWindow() {
    SteadyClock clock;
    AppState state;
    state.clock = &clock;
    MainWindow window(
        [&state](MainWindow& target, Message& message) { return mainWindowProc(target, state, message); });
    window.run();
}

} // namespace

bool displayAvailable() {
    return variableSet("DISPLAY") || variableSet("WAYLAND_DISPLAY") || variableSet("QT_QPA_PLATFORM");
}

int runParlavo(int argc, char** argv) {
    if (!displayAvailable()) {
        std::fputs("parlavo: no display found; run it in a desktop session, or under xvfb-run "
                   "(for example: xvfb-run parlavo).\n",
                   stderr);
        return 1;
    }
    richEditClass(false);
    {
        QApplication application(argc, argv);
        // Tells the desktop which menu entry (and so which icon) the window belongs to.
        QGuiApplication::setDesktopFileName(QString::fromUtf8(kParlavoAppId));
        runMainWindow();
    }
    richEditClass(true);
    return 0;
}

} // namespace parlavo
