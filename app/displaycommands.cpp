#include "app/displaycommands.h"

#include "app/appstate.h"
#include "platform/gui/mainwindow.h"

namespace parlavo {

void initDisplayControls(MainWindow& /*window*/, AppState& /*state*/) {
    // not yet: fill the font list and the size box, set the swatch texts
}

int drawOwnerItem(MainWindow& /*window*/, AppState& /*state*/, const Message& /*message*/) {
    // not yet: paint the swatches and the font list items
    return 1;
}

void onColourPick(MainWindow& /*window*/, AppState& /*state*/, int /*controlId*/, int /*code*/) {
    // not yet: colour dialog, apply and save
}

void onFontChange(MainWindow& /*window*/, AppState& /*state*/, int /*code*/) {
    // not yet: apply and save the chosen face, rebuild the size list
}

void onSizeChange(MainWindow& /*window*/, AppState& /*state*/, int /*code*/) {
    // not yet: apply and save the typed or chosen size
}

void onBrowse(MainWindow& /*window*/, AppState& /*state*/, int /*controlId*/, int /*code*/) {
    // not yet: open-file dialog for the path box
}

} // namespace parlavo
