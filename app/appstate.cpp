#include "app/appstate.h"

#include "platform/gui/messagebox.h"

namespace parlavo {

namespace {

constexpr std::string_view kSettingsFailureCaption = "Warning";

} // namespace

void saveSetting(AppState& state, QWidget* parent, std::string_view key, std::string_view value) {
    saveSettings(state, parent, {{key, value}});
}

void saveSettings(AppState& state, QWidget* parent, std::initializer_list<SettingValue> values) {
    KeptSettingsFile& kept = state.pass.kept.settings;
    Status written = kept.refresh(settingsPath());
    if (written.ok()) {
        for (const auto& [key, value] : values) {
            kept.document().set(kSettingsSection, key, valueReadingBackAs(value));
        }
        written = kept.save();
    }
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
