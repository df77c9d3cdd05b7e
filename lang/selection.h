#pragma once

#include "lang/encodingchoice.h"
#include "lang/keyindex.h"
#include "lang/languagefile.h"
#include "lang/profile.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace parlavo {

// One English key that still needs a translation. line is the 1-based line of the English file.
// section and key are as the Translated file writes them (its encoding); source is the English
// file's bytes. The texts are views of the work list's English file or of its text store, valid as
// long as the work list. Kept small (40 bytes): a large file has many.
class PendingEntry {
  public:
    PendingEntry() = default;
    PendingEntry(int line, std::string_view section, std::string_view key, std::string_view source)
        : line(line), sectionSize_(sized(section)), keySize_(sized(key)), sourceSize_(sized(source)),
          section_(section.data()), key_(key.data()), source_(source.data()) {}

    std::string_view section() const { return {section_, sectionSize_}; }
    std::string_view key() const { return {key_, keySize_}; }
    std::string_view source() const { return {source_, sourceSize_}; }

    int line = 0;

  private:
    static std::uint32_t sized(std::string_view text) { return static_cast<std::uint32_t>(text.size()); }

    std::uint32_t sectionSize_ = 0;
    std::uint32_t keySize_ = 0;
    std::uint32_t sourceSize_ = 0;
    const char* section_ = "";
    const char* key_ = "";
    const char* source_ = "";
};

// The older English text a kept translation was made for, at the entry of its line (1-based).
struct ChangedSource {
    int line = 0;
    std::string_view oldSource;
};

// The work list of one load: both files, the pending entries in English file order and the new
// content of the Translated file (one line per English line, same numbering, 0-based here).
struct WorkList {
    LanguageFile english;
    LanguageFile translated;
    std::vector<PendingEntry> pending;
    std::vector<ChangedSource> changedSources; // in line order, for entries whose English text changed
    std::shared_ptr<TextStore> texts = std::make_shared<TextStore>(); // pending texts not in english
    std::string output; // the rewrite's bytes, each line ended with the English file's line end
    // When given, the rewrite is handed to it in parts, in order, as it is made. Unless keepOutput,
    // output then holds at most its last lines while it is made, and nothing once it is.
    std::function<void(std::string_view part)> outputSink;
    bool keepOutput = true;
    // Every line keeps its own file's bytes: the English file's and the sources in english's
    // encoding, the Translated file's and output in translated's.
    FileEncodings encodings;
    // Lines (1-based) of a legacy-encoded Translated file that hold non-ASCII UTF-8 text (written
    // there by an earlier version), and whether the load converted them into the file's encoding.
    std::vector<int> mixedLines;
    bool mixedLinesConverted = false;
    // English lines (1-based) whose header, comment or key the Translated file's encoding cannot
    // hold: the rewrite keeps their bytes as they are.
    std::vector<int> unconvertedLines;
    // The Translated file's non-empty translations, and how many of them the rewrite drops (their
    // key is gone from the English file, or their value would be emptied).
    std::size_t translations = 0;
    std::size_t dropped = 0;
};

// A section or key name of the English file as the Translated file writes it (as it is when that
// file's encoding cannot hold it): a view of the English file, or of the work list's text store.
std::string_view inTranslatedEncoding(WorkList& work, std::string_view name);

inline constexpr std::string_view kUpdateNeededMarker = "UPDATE NEEDED";

// The key lines with a translation: a non-empty value not marked for update, on a line the host
// program does not read as a comment.
std::size_t countTranslations(const LanguageFile& file);
// Which lines of file hold a translation, a bit a line.
std::vector<bool> translationLines(const LanguageFile& file);

// Fills work.output and work.pending from work.english and work.translated, looking answers up
// in the answer memory of settings and adding to it the texts that need no translation. Translations
// are found through an index that yields the first match in file order. A translation that would
// make its line read back as anything but its own key is not used: the entry stays pending.
// The answer memory's view of the translations (see AnswerUses) may be made beforehand, on another
// thread: prepared then gives it, waiting for it only after the entries are selected. So may the
// index of work.translated's keys (translatedIndex) and its translationLines (translations), which
// must be of the file as it is now.
class AnswerUses;
using PreparedAnswerUses = std::function<const AnswerUses&()>;
void selectPendingEntries(WorkList& work, IniDocument& settings, const PreparedAnswerUses& prepared = {},
                          const KeyLineIndex* translatedIndex = nullptr,
                          const std::vector<bool>* translations = nullptr);

// The older English text the translation on an entry's line was made for ("" when it did not change).
std::string_view oldSourceOf(const WorkList& work, int line);

// Where an entry's (section, key) is in file: its own line while that line still holds them,
// otherwise the first line that does (the file changed on disk since the selection), names
// compared without regard to ASCII letter case when no line holds them exactly; nothing when no
// line does. The index is built on first need and may serve later entries of the same file.
std::optional<std::size_t> entryLineIn(const LanguageFile& file, const PendingEntry& entry,
                                       std::optional<KeyLineIndex>& index);

} // namespace parlavo
