#include "app/startup.h"

#include "app/appstate.h"
#include "app/mainwindowproc.h"
#include "parlavo_buildinfo.h"
#include "platform/gui/mainwindow.h"
#include "platform/gui/richedit.h"
#include "platform/process.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace parlavo {

namespace {

constexpr const char* kNoDisplay =
    "parlavo: no display found; run it in a desktop session, or under xvfb-run "
    "(for example: xvfb-run parlavo).\n";
constexpr int kNoDisplayStatus = 1;

// What Qt says while it opens the display, held back until it is known whether it could.
std::vector<std::string>& heldMessages() {
    static std::vector<std::string> held;
    return held;
}

// Qt ends with a fatal message when no display can be opened (a DISPLAY with no server behind it,
// an unknown platform): the program then says so in its own sentence and ends with 1, instead of
// aborting after Qt's advice to reinstall.
void holdWhileOpening(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fputs(kNoDisplay, stderr);
        std::_Exit(kNoDisplayStatus);
    }
    heldMessages().push_back(qFormatLogMessage(type, context, text).toStdString());
}

// The display was opened: what Qt said meanwhile is shown after all, and its messages go their
// usual way again.
void releaseHeldMessages(QtMessageHandler previous) {
    qInstallMessageHandler(previous);
    for (const std::string& message : heldMessages()) {
        std::fprintf(stderr, "%s\n", message.c_str());
    }
    heldMessages().clear();
}

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
        std::fputs(kNoDisplay, stderr);
        return kNoDisplayStatus;
    }
    // The program takes no arguments: Qt sees only the program's name, so "-platform" or "-display"
    // cannot change where the window opens.
    returnLargeBlocksWhenFreed();
    char fallbackName[] = "parlavo";
    char* qtArguments[] = {argc > 0 && argv[0] ? argv[0] : fallbackName, nullptr};
    int qtArgumentCount = 1;
    richEditClass(false);
    {
        const QtMessageHandler previous = qInstallMessageHandler(holdWhileOpening);
        QApplication application(qtArgumentCount, qtArguments);
        releaseHeldMessages(previous);
        // Tells the desktop which menu entry (and so which icon) the window belongs to.
        QGuiApplication::setDesktopFileName(QString::fromUtf8(kParlavoAppId));
        runMainWindow();
    }
    richEditClass(true);
    return 0;
}

} // namespace parlavo
