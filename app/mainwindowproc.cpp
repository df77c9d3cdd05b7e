#include "app/mainwindowproc.h"

#include "app/appstate.h"
#include "app/displaycommands.h"
#include "app/encodingcontrols.h"
#include "app/passwindowadapter.h"
#include "app/windowlayouthost.h"
#include "lang/answers.h"
#include "pass/progress.h"
#include "pass/search.h"
#include "pass/suggest.h"
#include "pass/workload.h"
#include "platform/files.h"
#include "platform/gui/mainwindow.h"
#include "platform/gui/messagebox.h"

#include <QLineEdit>
#include <QWidget>
#include <optional>
#include <utility>

namespace parlavo {

namespace {

const Clock& clockOf(const AppState& state) {
    static const SteadyClock steady;
    return state.clock ? *state.clock : steady;
}

// The pass operations work on the window through an adapter made for the call; a nested message
// (the translation box notifying while the pass sets its text) makes its own.
template <class Operation> void runPass(MainWindow& window, AppState& state, Operation operation) {
    PassWindowAdapter adapter(window);
    PassContext context{adapter, clockOf(state), state.display};
    operation(state.pass, context);
}

void restorePosition(MainWindow& window, const IniDocument& settings) {
    const std::int32_t x = readNumber(settings.get(kSettingsSection, "x"));
    const std::int32_t y = readNumber(settings.get(kSettingsSection, "y"));
    if (x > 0 && y > 0) {
        window.move(window.mapDialogRect(QRect(x, y, 0, 0)).topLeft());
    }
}

// The last of the built-in texts, the working folder's defaults and the stored paths wins.
void fillPathBoxes(MainWindow& window, const IniDocument& settings) {
    if (std::optional<LanguagePaths> defaults = defaultLanguagePaths()) {
        window.setControlText(ctl::EnglishPath, defaults->english);
        window.setControlText(ctl::TranslatedPath, defaults->translated);
    }
    const std::string english = settings.get(kSettingsSection, "InputFile");
    if (!english.empty()) {
        window.setControlText(ctl::EnglishPath, english);
    }
}

// The Translated file of the last load is copied to its backup before anything can change it. A
// failure is not shown: the load backs the file up again before its first rewrite.
void backUpLastTranslatedFile(MainWindow& window, AppState& state, const IniDocument& settings) {
    const std::string translated = settings.get(kSettingsSection, "OutputFile");
    if (!translated.empty()) {
        window.setControlText(ctl::TranslatedPath, translated);
    }
    const bool existed = !translated.empty() && fileExists(translated);
    if (backupTranslatedFile(translated).ok() && existed) {
        state.pass.backups.add(translated);
    }
}

int onInitDialog(MainWindow& window, AppState& state) {
    // The settings file is read once for everything the window starts with (a missing or unreadable
    // one gives the defaults).
    const Result<ProfileFile> file = ProfileFile::open(settingsPath());
    const IniDocument none;
    const IniDocument& settings = file.ok() ? file.value.document() : none;
    restorePosition(window, settings);
    window.setWindowTitle(window.windowTitle() + QLatin1Char(' ') +
                          QString::fromLatin1(kVersion.data(), static_cast<int>(kVersion.size())));
    fillPathBoxes(window, settings);
    backUpLastTranslatedFile(window, state, settings);
    state.display = loadDisplaySettings(settings);
    initDisplayControls(window, state);
    initEncodingControls(window);
    applyViewFont(window, state);
    applyViewSize(window, state);
    applyViewColor(window, state);
    applyViewBackground(window, state);
    PassWindowAdapter(window).hideTranslationPanel();
    return 0;
}

// The control that had the focus when the window lost activation gets it back on return.
int onNcActivate(MainWindow& window, AppState& state, const Message& message) {
    if (!message.active) {
        state.savedFocus = window.focusedControlId();
    } else if (state.savedFocus != 0) {
        window.focusControl(state.savedFocus);
        state.savedFocus = 0;
    }
    return 0;
}

int onSize(MainWindow& window, AppState& state) {
    WindowLayoutHost host(window);
    layoutMainWindow(state.layout, host);
    return 0;
}

// The window can never be made smaller than the size it was created with.
int onGetMinMaxInfo(MainWindow& window, AppState& state, Message& message) {
    if (state.minTrackWidth == 0 || state.minTrackHeight == 0) {
        const QSize units = window.pixelsToUnits(window.frameGeometry().size());
        const QRect pixels = window.mapDialogRect(QRect(QPoint(0, 0), units));
        state.minTrackWidth = pixels.width();
        state.minTrackHeight = pixels.height();
    }
    message.minTrackWidth = state.minTrackWidth;
    message.minTrackHeight = state.minTrackHeight;
    return 0;
}

// "Load Files" is enabled as soon as a path box differs from the path of the last load.
void onPathEdited(MainWindow& window, const AppState& state, int controlId) {
    const std::string& loaded =
        controlId == ctl::EnglishPath ? state.pass.englishPath : state.pass.translatedPath;
    if (window.controlText(controlId) != loaded) {
        window.control(ctl::LoadFiles)->setEnabled(true);
    }
}

void onLoadFiles(MainWindow& window, AppState& state) {
    const LoadPaths paths{window.controlText(ctl::EnglishPath), window.controlText(ctl::TranslatedPath)};
    if (const Status refused = checkLoadPaths(paths); !refused.ok()) {
        PassWindowAdapter(window).showError("Error", refused.error);
        return;
    }
    // A load that fails keeps the running pass, and that pass keeps writing to its own files.
    const std::string previousEnglish = std::exchange(state.pass.englishPath, paths.english);
    const std::string previousTranslated = std::exchange(state.pass.translatedPath, paths.translated);
    window.control(ctl::LoadFiles)->setEnabled(false);
    bool started = false;
    {
        const BusyPointer busy;
        runPass(window, state,
                [&](PassState& pass, PassContext& context) { started = startPass(pass, context); });
    }
    if (!started) {
        state.pass.englishPath = previousEnglish;
        state.pass.translatedPath = previousTranslated;
        window.control(ctl::LoadFiles)->setEnabled(true);
        return;
    }
    showEncodings(window, state.pass.work.encodings);
    // The load stored the paths with its own save; this writes them only when that save failed,
    // and says so once.
    saveSettings(state, &window,
                 {{"InputFile", state.pass.englishPath}, {"OutputFile", state.pass.translatedPath}});
}

bool isClick(int code) {
    return code == notify::Clicked || code == notify::Accelerator;
}

// "<- Back" and "OK ->" need an entry on screen: Enter in a path box before any load presses the
// hidden default button, and must not write anything.
bool entryOnScreen(const MainWindow& window, const AppState& state) {
    const QWidget* translation = window.control(ctl::Translation);
    return translation && !translation->isHidden() && state.pass.hasCurrentEntry();
}

void onNavigation(MainWindow& window, AppState& state, int controlId) {
    if (!entryOnScreen(window, state)) {
        return;
    }
    runPass(window, state, [controlId](PassState& pass, PassContext& context) {
        if (controlId == ctl::Back) {
            goBack(pass, context);
        } else {
            confirmAnswer(pass, context);
        }
    });
}

// Ctrl+F shows the search box once a pair is loaded; Enter in it opens the first match (F3 the
// next) for revising, Escape puts it away.
void onSearch(MainWindow& window, AppState& state, int code) {
    QWidget* box = window.control(ctl::Search);
    if (code == notify::SearchOpen && state.pass.work.english.keyCount > 0) {
        box->show();
        window.controlAs<QLineEdit>(ctl::Search)->selectAll();
        window.focusControl(ctl::Search);
    } else if (code == notify::SearchCancel) {
        box->hide();
        window.focusControl(ctl::Translation);
    } else if (code == notify::SearchEnter || code == notify::SearchNext) {
        const bool next = code == notify::SearchNext;
        const std::string query = next ? state.pass.searchQuery : window.controlText(ctl::Search);
        if (query.empty()) {
            return;
        }
        bool found = false;
        runPass(window, state, [&](PassState& pass, PassContext& context) {
            found = reviseMatchingEntry(pass, context, query, next);
        });
        if (!found) {
            PassWindowAdapter(window).showInformation(
                "Search", "No key, English text or translation contains \"" + query + "\".");
            return;
        }
        box->hide();
    }
}

int onCommand(MainWindow& window, AppState& state, const Message& message) {
    const int id = message.controlId;
    const int code = message.code;
    switch (id) {
    case ctl::TextColorSwatch:
    case ctl::HighlightSwatch:
    case ctl::BackgroundSwatch:
        onColourPick(window, state, id, code);
        break;
    case ctl::FontList:
        onFontChange(window, state, code);
        break;
    case ctl::SizeBox:
        onSizeChange(window, state, code);
        break;
    case ctl::EnglishEncoding:
    case ctl::TranslatedEncoding:
        onEncodingChosen(window, state, id, code);
        break;
    case ctl::EnglishBrowse:
    case ctl::TranslatedBrowse:
        onBrowse(window, state, id, code);
        break;
    case ctl::EnglishPath:
    case ctl::TranslatedPath:
        onPathEdited(window, state, id);
        break;
    case ctl::Search:
        onSearch(window, state, code);
        break;
    case ctl::Suggestions:
        if (entryOnScreen(window, state)) {
            runPass(window, state, [code](PassState& pass, PassContext& context) {
                pickSuggestion(pass, context, static_cast<std::size_t>(code - notify::PickSuggestion1));
            });
        }
        break;
    case ctl::Translation:
        runPass(window, state,
                [](PassState& pass, PassContext& context) { onTranslationChanged(pass, context); });
        break;
    case ctl::Cancel:
        if (isClick(code)) {
            window.endDialog(0);
        }
        break;
    case ctl::LoadFiles:
        if (isClick(code)) {
            onLoadFiles(window, state);
        }
        break;
    case ctl::Back:
    case ctl::Ok:
        if (isClick(code)) {
            onNavigation(window, state, id);
        }
        break;
    default:
        break;
    }
    return 0;
}

int onSysCommand(MainWindow& window, const Message& message) {
    if (message.sysCommand == kSysCommandClose) {
        window.endDialog(0);
    }
    return 0;
}

// The window's outer top-left corner, in dialog units, for the next start.
int onClose(MainWindow& window, AppState& state) {
    const QPoint units = window.pixelsToUnits(window.pos());
    const std::string x = formatNumber(units.x());
    const std::string y = formatNumber(units.y());
    saveSettings(state, &window, {{"x", x}, {"y", y}}); // one write of the settings file
    return 0;
}

} // namespace

int mainWindowProc(MainWindow& window, AppState& state, Message& message) {
    switch (message.kind) {
    case MessageKind::InitDialog:
        return onInitDialog(window, state);
    case MessageKind::NcActivate:
        return onNcActivate(window, state, message);
    case MessageKind::DrawItem:
        drawOwnerItem(window, state, message);
        return 1;
    case MessageKind::Size:
        return onSize(window, state);
    case MessageKind::GetMinMaxInfo:
        return onGetMinMaxInfo(window, state, message);
    case MessageKind::Command:
        return onCommand(window, state, message);
    case MessageKind::SysCommand:
        return onSysCommand(window, message);
    case MessageKind::Close:
        return onClose(window, state);
    }
    return 0;
}

} // namespace parlavo
