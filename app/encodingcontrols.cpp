#include "app/encodingcontrols.h"

#include "app/appstate.h"
#include "app/passwindowadapter.h"
#include "platform/gui/bytetext.h"
#include "platform/gui/mainwindow.h"
#include "platform/gui/messagebox.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

namespace parlavo {

namespace {

constexpr std::string_view kSettingsFailureCaption = "Warning";

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Selects an encoding without notifying: only the translator's choices are commands.
void selectEncoding(MainWindow& window, int comboId, std::string_view name) {
    if (auto* combo = window.controlAs<QComboBox>(comboId)) {
        const QSignalBlocker quiet(combo);
        combo->setCurrentIndex(combo->findData(toQString(name)));
    }
}

// "Windows-1251 (Cyrillic), declared in the file"; "UTF-8, the text is valid UTF-8".
void setEncodingLabel(MainWindow& window, int labelId, std::string_view name, EncodingReason reason) {
    const std::string how =
        reason == EncodingReason::Utf8 ? "the text is valid UTF-8" : std::string(reasonText(reason));
    if (auto* label = window.controlAs<QLabel>(labelId)) {
        label->setText(toQString(std::string(encodingLabel(name)) + ", " + how));
    }
}

void showEncoding(MainWindow& window, int labelId, int comboId, const FileEncoding& encoding) {
    setEncodingLabel(window, labelId, encoding.name, encoding.reason);
    selectEncoding(window, comboId, encoding.name);
}

// Remembers the choice in the settings file; the first failure of the session is shown.
void rememberChoice(MainWindow& window, AppState& state, const std::string& path, const std::string& name) {
    Result<ProfileFile> settings = ProfileFile::open(settingsPath());
    Status saved = settings.status;
    if (settings.ok()) {
        rememberEncoding(settings.value.document(), path, name);
        saved = settings.value.save();
    }
    if (saved.ok() || state.settingsFailureShown) {
        return;
    }
    state.settingsFailureShown = true;
    showMessageBox(&window, kSettingsFailureCaption,
                   "The encoding could not be remembered for the next load:\n\n" + saved.error,
                   MessageIcon::Warning);
}

} // namespace

void initEncodingControls(MainWindow& window) {
    for (int id : {ctl::EnglishEncoding, ctl::TranslatedEncoding}) {
        auto* combo = window.controlAs<QComboBox>(id);
        const QSignalBlocker quiet(combo);
        for (const EncodingInfo& info : offeredEncodings()) {
            combo->addItem(toQString(info.label), toQString(info.name));
        }
        combo->setCurrentIndex(-1);
    }
}

void showEncodings(MainWindow& window, const FileEncodings& encodings) {
    showEncoding(window, ctl::EnglishEncodingLabel, ctl::EnglishEncoding, encodings.english);
    showEncoding(window, ctl::TranslatedEncodingLabel, ctl::TranslatedEncoding, encodings.translated);
}

void onEncodingChosen(MainWindow& window, AppState& state, int controlId, int code) {
    const auto* combo = window.controlAs<QComboBox>(controlId);
    if (code != notify::ComboSelChange || !combo || combo->currentIndex() < 0) {
        return;
    }
    const std::string name = combo->currentData().toString().toStdString();
    const bool english = controlId == ctl::EnglishEncoding;
    const bool loaded = !state.pass.translatedPath.empty();
    const std::string path = loaded ? (english ? state.pass.englishPath : state.pass.translatedPath)
                                    : window.controlText(english ? ctl::EnglishPath : ctl::TranslatedPath);
    if (path.empty()) {
        return;
    }
    rememberChoice(window, state, path, name);
    if (!loaded) {
        const int labelId = english ? ctl::EnglishEncodingLabel : ctl::TranslatedEncodingLabel;
        setEncodingLabel(window, labelId, name, EncodingReason::YourChoice);
        return;
    }
    PassWindowAdapter adapter(window);
    const SteadyClock steady;
    PassContext context{adapter, state.clock ? *state.clock : steady, state.display};
    changeEncoding(state.pass, context, english ? FileSide::English : FileSide::Translated, name);
    showEncodings(window, state.pass.work.encodings);
    window.focusControl(controlId); // the arrow keys keep walking the list
}

} // namespace parlavo
