#pragma once

#include "lang/keyindex.h"
#include "lang/languagefile.h"
#include "lang/profile.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace parlavo {

// One English key that still needs a translation. line is the 1-based line of the English file.
struct PendingEntry {
    int line = 0;
    std::string section;
    std::string key;
    std::string source;
};

// The work list of one load: both files, the pending entries in English file order and the new
// content of the Translated file (one line per English line, same numbering, 0-based here).
struct WorkList {
    LanguageFile english;
    LanguageFile translated;
    std::vector<PendingEntry> pending;
    std::vector<std::string> outputLines;
};

inline constexpr std::string_view kUpdateNeededMarker = "UPDATE NEEDED";

// Fills work.outputLines and work.pending from work.english and work.translated, looking answers up
// in the answer memory of settings and adding to it the texts that need no translation. Translations
// are found through an index that yields the first match in file order.
void selectPendingEntries(WorkList& work, IniDocument& settings);

// Where an entry's (section, key) is in file: its own line while that line still holds them,
// otherwise the first line that does (the file changed on disk since the selection); nothing when
// no line does. The index is built on first need and may serve later entries of the same file.
std::optional<std::size_t> entryLineIn(const LanguageFile& file, const PendingEntry& entry,
                                       std::optional<KeyLineIndex>& index);

} // namespace parlavo
