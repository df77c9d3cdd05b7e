#pragma once

#include "lang/keptfiles.h"
#include "lang/selection.h"
#include "platform/files.h"
#include "platform/status.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parlavo {

// The bytes of the rewritten Translated file: every output line followed by the English file's
// line end (CR LF, or LF for an LF file). A UTF-8 byte-order mark of the English file is kept.
std::string renderTranslatedFile(const WorkList& work);

// The backup of a Translated file: its path with "backup" appended.
std::string backupPathFor(const std::string& translatedPath);

// Copies the Translated file to its backup, replacing an old backup (a symbolic link there is
// replaced, never written through). An old backup holding more translations than the file is kept
// as "backup.1" (or the next free number). A missing file is no error and creates nothing.
struct BackupOptions {
    // The file is replaced by a new one (an atomic rewrite) right after: the backup may then be a
    // second name of the file itself, which costs no copy (where the file system allows a link), and
    // reaches the disk with the rewrite's flush of their folder.
    bool rewriteFollows = false;
    // The file's translations, when the caller has counted them already.
    std::optional<std::size_t> translationsNow{};
};
Status backupTranslatedFile(const std::string& translatedPath, const BackupOptions& options = {});

// A line break in an answer (pasted text) becomes a space, so no answer can split a key line.
std::string singleLineAnswer(std::string_view answer);

// Stores the answer as the value of each entry in the Translated file, reading and writing the
// file once. Each answer goes into its entry's own line (the line the rewrite produced for it); an
// entry whose line no longer holds its (section, key) because the file changed on disk is written
// to the first (section, key) match instead (names compared without regard to ASCII letter case),
// or added to its section. Line ends are kept. An answer that would make its line read back as
// anything but its own key is refused: with refused given, those entries (their positions in
// entries) are left as they are and listed there; without it, the store fails and writes nothing.
// The file is written once; with kept given, it is the file as kept in memory (read again only
// when it changed on disk) and holds the file as written afterwards.
Status storeAnswers(const std::string& translatedPath, const std::vector<const PendingEntry*>& entries,
                    std::string_view answer, std::vector<std::size_t>* refused = nullptr);
Status storeAnswers(KeptLanguageFile& kept, const std::string& translatedPath,
                    const std::vector<const PendingEntry*>& entries, std::string_view answer,
                    std::vector<std::size_t>* refused = nullptr);

// writeAnswer: the answer into the entry's line of the Translated file, then the pair of source
// text and answer into the answer memory of the settings file.
// When failedWrite is given, it tells which of the two writes failed: the answer may be in the
// Translated file although the answer memory could not take it.
// The answer goes into the file as fileBytes (the Translated file's encoding) and into the memory as
// UTF-8 text under the UTF-8 source text.
enum class AnswerWrite { None, TranslatedFile, AnswerMemory };
struct AnswerText {
    std::string_view fileBytes;  // the answer in the Translated file's encoding
    std::string_view sourceText; // the English text, UTF-8
    std::string_view answerText; // the answer, UTF-8
};
Status writeAnswer(const std::string& translatedPath, const std::string& settingsPath,
                   const PendingEntry& entry, const AnswerText& answer, AnswerWrite* failedWrite = nullptr);
// The same with both files kept in memory between answers.
struct KeptPair {
    KeptLanguageFile& translated;
    KeptSettingsFile& settings;
};
Status writeAnswer(KeptPair kept, const std::string& translatedPath, const std::string& settingsPath,
                   const PendingEntry& entry, const AnswerText& answer, AnswerWrite* failedWrite = nullptr);

// spreadAnswer: the answer into the Translated file for every pending entry after index current
// (0-based) whose source text equals source byte for byte. Returns the indexes it wrote, so the
// window can mirror them in the file view; an entry the answer cannot go to (its line would not read
// back as its key) is left pending. The answer memory is not written again.
struct SpreadResult {
    Status status;
    std::vector<std::size_t> indexes;
};
SpreadResult spreadAnswer(const std::string& translatedPath, const std::vector<PendingEntry>& pending,
                          std::size_t current, std::string_view source, std::string_view answer);
SpreadResult spreadAnswer(KeptLanguageFile& kept, const std::string& translatedPath,
                          const std::vector<PendingEntry>& pending, std::size_t current,
                          std::string_view source, std::string_view answer);

} // namespace parlavo
