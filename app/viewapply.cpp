#include "app/appstate.h"
#include "app/displaycommands.h"
#include "platform/gui/fileviewwidget.h"
#include "platform/gui/mainwindow.h"

namespace parlavo {

namespace {

FileViewWidget* fileViewOf(MainWindow& window) {
    return window.controlAs<FileViewWidget>(ctl::FileView);
}

} // namespace

void applyViewFont(MainWindow& window, const AppState& state) {
    if (FileViewWidget* view = fileViewOf(window)) {
        view->setFace(state.display.Font);
    }
}

void applyViewSize(MainWindow& window, const AppState& state) {
    if (FileViewWidget* view = fileViewOf(window)) {
        view->setPointSize(state.display.Size);
    }
}

void applyViewColor(MainWindow& window, const AppState& state) {
    if (FileViewWidget* view = fileViewOf(window)) {
        view->setTextColour(state.display.Color);
    }
}

void applyViewBackground(MainWindow& window, const AppState& state) {
    if (FileViewWidget* view = fileViewOf(window)) {
        view->setBackgroundColour(state.display.BGColor);
    }
}

} // namespace parlavo
