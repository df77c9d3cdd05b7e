#include "app/appstate.h"

#include "platform/gui/messagebox.h"

namespace parlavo {

namespace {

constexpr std::string_view kSettingsFailureCaption = "Warning";

} // namespace

void saveSetting(AppState& state, QWidget* parent, std::string_view key, std::string_view value) {
    const Status written = writeSetting(key, value);
    if (written.ok() || state.settingsFailureShown) {
        return;
    }
    state.settingsFailureShown = true;
    showMessageBox(parent, kSettingsFailureCaption,
                   "The settings could not be saved, so they will not be kept for the next start:\n\n" +
                       written.error,
                   MessageIcon::Warning);
}

} // namespace parlavo
