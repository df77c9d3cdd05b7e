#pragma once

#include "lang/keptfiles.h"
#include "lang/selection.h"
#include "lang/settings.h"
#include "lang/suggestions.h"
#include "pass/passwindow.h"
#include "pass/progress.h"
#include "pass/workload.h"
#include "platform/clock.h"

#include <memory>
#include <optional>
#include <string>

namespace parlavo {

// The Translated file and the settings file as the pass last read or wrote them, so that an answer
// costs no more than writing both files (each is read again only when it changed on disk).
struct KeptFiles {
    KeptLanguageFile translated;
    KeptSettingsFile settings;
};

// The state of a translation pass. current is 1-based; |pending| + 1 means past the last entry.
struct PassState {
    WorkList work;
    int current = 1;
    int highestReached = 0;
    Progress progress;
    std::string lastSeenTranslation;
    std::string englishPath;
    std::string translatedPath;
    BackupRecord backups; // Translated files already backed up in this run
    // The existing answer the translation box was filled with: its bytes and the text shown for them.
    // While the box still shows that text, the answer is written back with exactly those bytes.
    std::string preFillBytes;
    std::string preFillText;
    bool answerWritten = false;              // an answer of this pass has gone to the Translated file
    std::optional<std::string> warnedAnswer; // the box text whose problems are on screen
    std::optional<PendingEntry> revising;    // an entry opened by a search, shown instead of current
    std::string searchQuery;                 // the last search, and the English line it found
    int searchLine = 0;
    std::shared_ptr<BackgroundSuggestions> suggestions; // built anew at every load
    std::vector<Suggestion> shownSuggestions;           // for the current entry, Alt+1 first
    KeptFiles kept;

    int pendingCount() const { return static_cast<int>(work.pending.size()); }
    bool hasCurrentEntry() const { return revising || (current >= 1 && current <= pendingCount()); }
    const PendingEntry& currentEntry() const {
        return revising ? *revising : work.pending[static_cast<std::size_t>(current - 1)];
    }
};

// What the pass operations work with besides their state.
struct PassContext {
    PassWindow& window;
    const Clock& clock;
    const DisplaySettings& display;
    std::string (*settingsFile)() = settingsPath; // formed anew at every access
};

// Loads both files of state.englishPath / state.translatedPath and starts a new pass. The two paths
// are made absolute first, so the pass writes the files it loaded wherever the current folder goes.
// Returns false (after showing the error) when the load could not be done, or when the translator
// declined to let it remove most translations; the caller then puts the previous pass's paths back.
bool startPass(PassState& state, PassContext& context);
// Shows the current entry: its heading and source decoded with the English file's encoding; in the
// translation box the existing answer decoded with the Translated file's (written back with its own
// bytes while untouched), else the source text with the helper words substituted (nothing for a
// source text of more than 10,000 bytes).
void showEntry(PassState& state, PassContext& context);
// The answer the Translated file holds for the entry: the value of its own line (where the answers
// are written), or of the first (section, key) match when the file changed on disk; "" otherwise.
std::string existingAnswer(const PendingEntry& entry, const std::string& translatedPath,
                           KeptLanguageFile& kept);
// The settings file as the pass keeps it: read again only when it changed on disk; empty when it
// cannot be read.
const IniDocument& currentSettings(PassState& state, PassContext& context);
void onTranslationChanged(PassState& state, PassContext& context);
// Both store the box text for the current entry first; a failed write is shown and the entry and the
// typed text stay. They do nothing when there is no current entry.
void goBack(PassState& state, PassContext& context);
void confirmAnswer(PassState& state, PassContext& context);

// The translator chose another encoding for one file of the loaded pass. Before any answer was
// written the view, the source and the translation box are decoded anew and the current entry is
// shown again; a changed English encoding, or answers already written, load the files again (the
// choice must be remembered in the settings file first, so the load uses it). False when a reload
// failed (the error was shown).
enum class FileSide { English, Translated };
bool changeEncoding(PassState& state, PassContext& context, FileSide side, const std::string& name);
// The file view shows the Translated file decoded with its encoding, decorated.
void showTranslatedFile(const PassState& state, PassContext& context,
                        std::shared_ptr<const std::string> bytes);

// File view decorations, addressed by each entry's own line: headers, keys, and the keys of the
// pending entries in the highlight colour.
void formatFileView(const PassState& state, PassContext& context);
void selectCurrentKey(const PassState& state, PassContext& context);
void showValueInView(const PassState& state, PassContext& context, const PendingEntry& entry,
                     std::string_view text);

} // namespace parlavo
