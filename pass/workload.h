#pragma once

#include "lang/selection.h"
#include "platform/files.h"
#include "platform/status.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace parlavo {

// The checks "Load Files" makes before a pass; the first that fails gives its message.
struct LoadPaths {
    std::string english;
    std::string translated;
};
struct LoadCheckOptions {
    bool requireCompletePaths = true; // the window asks for a separator in both paths
};
Status checkLoadPaths(const LoadPaths& paths, const LoadCheckOptions& options = {});

// Files backed up in this run: a Translated file is copied to its backup before its first rewrite.
struct BackupRecord {
    std::set<std::string> backedUp; // by canonical path
    bool has(const std::string& path) const;
    void add(const std::string& path);
};

// A rewrite that would drop more than half of the Translated file's non-empty translations, and at
// least this many, is done only when the caller agrees.
inline constexpr std::size_t kDropGuardMinimum = 5;
bool dropNeedsConsent(const WorkList& work);
// The question to ask: "This will remove 212 of 240 translations from Translated.lng. Continue?"
std::string dropQuestion(const WorkList& work, const std::string& translatedPath);

struct LoadOptions {
    bool dryRun = false; // compute everything, create or change no file
    // False: the load hands on no rewrite (LoadResult::rewritten stays empty), and one that writes
    // does not hold it either (it goes to a temporary file as it is made).
    bool keepRewrite = true;
    // Asked when the rewrite would drop most translations; without it such a load is refused.
    std::function<bool(const WorkList& work)> confirmDrop{};
    // The translator's choice of encoding for a file (a canonical name): used instead of the
    // decision, and remembered in the settings file for that file (not in a dry run).
    std::optional<std::string> englishEncoding{};
    std::optional<std::string> translatedEncoding{};
    // Asked when a legacy-encoded Translated file holds UTF-8 lines (work.encodings and
    // work.mixedLines are filled then): true converts them in the rewrite. Without it they stay.
    std::function<bool(const WorkList& work)> convertMixedLines{};
    // Values of the settings file's [Settings] section stored by the load's own save of it (for
    // example the paths it loaded), so that they cost no second write.
    std::vector<std::pair<std::string, std::string>> settingsToStore{};
    // Called on a thread of its own once the pending entries are final (when the load gets that far),
    // beside what the load still does: it may read the work list, which nothing changes meanwhile.
    // The load returns once it is done.
    std::function<void(const WorkList& work)> withPending{};
};

// The finding, "12 lines of Translated.lng are UTF-8, not Windows-1251.", and the question to ask,
// the same followed by " Convert them?".
std::string mixedLinesFinding(const WorkList& work, const std::string& translatedPath);
std::string mixedLinesQuestion(const WorkList& work, const std::string& translatedPath);

// Everything "Load Files" does before the first entry is shown: load both files, select the
// pending entries with the answer memory, back up and rewrite the Translated file, list the helper
// words; the settings file is parsed once and written once. A failure leaves every file as it was;
// declined tells a refused drop of translations (see LoadOptions) from other failures.
struct LoadResult {
    Status status;
    bool declined = false;
    WorkList work;
    LanguageFile rewritten; // the rewritten Translated file, parsed; its bytes as the file view shows them
    std::optional<FileStamp> translatedStamp; // the stamp of that file as written (not in a dry run)
    std::optional<ProfileFile> settings;      // the settings file as saved (not in a dry run)
    std::vector<std::string> helperWords;
    // Problems that do not stop the pass (settings file not saved, lines that could not be converted).
    std::vector<std::string> warnings;
};
LoadResult prepareWorkList(const LoadPaths& paths, const std::string& settingsFile, BackupRecord& backups,
                           const LoadOptions& options = {});

} // namespace parlavo
