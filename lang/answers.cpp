#include "lang/answers.h"

#include "lang/answermemory.h"
#include "lang/keyindex.h"
#include "lang/profile.h"
#include "platform/files.h"

#include <filesystem>
#include <optional>

namespace parlavo {

namespace {

constexpr std::string_view kBreaksLineStructure =
    "This answer cannot be saved: the line would read back as a section header.";

// A key line with the answer after its first "=", keeping the key exactly as it was written.
std::string withValue(std::string_view keyLine, std::string_view answer) {
    std::string line(keyLine.substr(0, keyLine.find('=') + 1));
    line += answer;
    return line;
}

// Adds a key line for each entry the file has no line for, where the profile service puts a new key
// (its section's first block, or a new section at the end of the file).
std::string addMissingKeys(std::string bytes, const std::vector<const PendingEntry*>& missing,
                           std::string_view answer) {
    if (missing.empty()) {
        return bytes;
    }
    IniDocument document = IniDocument::parseOwned(std::move(bytes));
    for (const PendingEntry* entry : missing) {
        document.set(entry->section(), entry->key(), answer);
    }
    return document.serialize();
}

// Writes the kept file with the lines for missing entries added, and keeps what was written. A
// failed write forgets the kept file: the answers are not on disk, so they must not be kept either.
Status writeKeptFile(KeptLanguageFile& kept, const std::string& translatedPath,
                     const std::vector<const PendingEntry*>& missing, std::string_view answer) {
    std::string bytes =
        missing.empty() ? std::string() : addMissingKeys(joinedLines(kept.file()), missing, answer);
    FileStamp stamp;
    const Status written = missing.empty()
                               ? writeFileAtomically(translatedPath, linePieces(kept.file()), &stamp)
                               : writeFileAtomically(translatedPath, bytes, &stamp);
    if (!written.ok()) {
        kept.forget();
        return Status::failure("Cannot save the answer in " + translatedPath + ": " + written.error);
    }
    if (missing.empty()) {
        kept.written(stamp);
    } else {
        kept.keep(translatedPath, parseLanguageFile(std::move(bytes)), stamp); // lines were added
    }
    return Status::success();
}

} // namespace

std::string renderTranslatedFile(const WorkList& work) {
    return work.output;
}

std::string backupPathFor(const std::string& translatedPath) {
    return translatedPath + "backup";
}

namespace {

std::size_t translationsIn(const std::string& path) {
    Result<std::string> bytes = readWholeFile(path);
    return bytes.ok() ? countTranslations(parseLanguageFile(std::move(bytes.value))) : 0;
}

// An old backup holding more translations than the file about to replace it moves aside to the
// first free "backup.N", so no translation ever saved becomes unrecoverable.
Status keepRicherBackup(const std::string& translatedPath, const std::string& backupPath,
                        std::optional<std::size_t> translationsNow) {
    if (!fileExists(backupPath) ||
        translationsIn(backupPath) <= translationsNow.value_or(translationsIn(translatedPath))) {
        return Status::success();
    }
    for (int n = 1;; ++n) {
        const std::string kept = backupPath + "." + std::to_string(n);
        std::error_code error;
        if (std::filesystem::symlink_status(kept, error).type() != std::filesystem::file_type::not_found) {
            continue;
        }
        std::filesystem::rename(backupPath, kept, error);
        return error ? Status::failure("Cannot keep the old backup " + backupPath + ": " + error.message())
                     : Status::success();
    }
}

} // namespace

Status backupTranslatedFile(const std::string& translatedPath, const BackupOptions& options) {
    if (translatedPath.empty() || !fileExists(translatedPath)) {
        return Status::success();
    }
    const std::string backupPath = backupPathFor(translatedPath);
    if (Status kept = keepRicherBackup(translatedPath, backupPath, options.translationsNow); !kept.ok()) {
        return kept;
    }
    if (options.rewriteFollows && linkAtomically(translatedPath, backupPath).ok()) {
        return Status::success();
    }
    return copyFileAtomically(translatedPath, backupPath, LinkHandling::Replace);
}

std::string singleLineAnswer(std::string_view answer) {
    std::string single;
    single.reserve(answer.size());
    for (std::size_t i = 0; i < answer.size(); ++i) {
        if (answer[i] == '\r' && i + 1 < answer.size() && answer[i + 1] == '\n') {
            ++i; // CR LF is one line break
        }
        single += (answer[i] == '\r' || answer[i] == '\n') ? ' ' : answer[i];
    }
    return single;
}

Status storeAnswers(const std::string& translatedPath, const std::vector<const PendingEntry*>& entries,
                    std::string_view answer, std::vector<std::size_t>* refused) {
    KeptLanguageFile fresh;
    return storeAnswers(fresh, translatedPath, entries, answer, refused);
}

Status storeAnswers(KeptLanguageFile& kept, const std::string& translatedPath,
                    const std::vector<const PendingEntry*>& entries, std::string_view answer,
                    std::vector<std::size_t>* refused) {
    if (Status read = kept.refresh(translatedPath); !read.ok()) {
        return Status::failure("Cannot read the translation file " + translatedPath + ": " + read.error);
    }
    const std::string single = singleLineAnswer(answer);
    LanguageFile& file = kept.file();
    std::vector<const PendingEntry*> missing;
    bool changed = false;
    for (std::size_t e = 0; e < entries.size(); ++e) {
        const PendingEntry& entry = *entries[e];
        const std::optional<std::size_t> target = entryLineIn(file, entry, kept.index());
        const std::string line =
            target ? withValue(file.lines[*target].text(), single) : std::string(entry.key()) + "=" + single;
        if (!keyLineReadsBack(line, target ? file.lines[*target].key() : entry.key(), target == 0)) {
            if (refused == nullptr) {
                if (changed) {
                    kept.forget(); // the answers given to earlier entries are not written
                }
                return Status::failure(std::string(kBreaksLineStructure));
            }
            refused->push_back(e);
        } else if (target) {
            file.setKeyLineText(*target, line);
            changed = true;
        } else {
            missing.push_back(&entry);
        }
    }
    return writeKeptFile(kept, translatedPath, missing, single);
}

Status writeAnswer(const std::string& translatedPath, const std::string& settingsPath,
                   const PendingEntry& entry, const AnswerText& answer, AnswerWrite* failedWrite) {
    KeptLanguageFile translated;
    KeptSettingsFile settings;
    return writeAnswer({translated, settings}, translatedPath, settingsPath, entry, answer, failedWrite);
}

Status writeAnswer(KeptPair kept, const std::string& translatedPath, const std::string& settingsPath,
                   const PendingEntry& entry, const AnswerText& answer, AnswerWrite* failedWrite) {
    AnswerWrite ignored = AnswerWrite::None;
    AnswerWrite& failed = failedWrite != nullptr ? *failedWrite : ignored;
    failed = AnswerWrite::TranslatedFile;
    // The answer memory keeps the same single-line text as the file, so both agree.
    if (Status stored =
            storeAnswers(kept.translated, translatedPath, {&entry}, singleLineAnswer(answer.fileBytes));
        !stored.ok()) {
        return stored;
    }
    failed = AnswerWrite::AnswerMemory;
    if (Status read = kept.settings.refresh(settingsPath); !read.ok()) {
        return Status::failure("Cannot read the settings file " + settingsPath + ": " + read.error);
    }
    rememberAnswerText(kept.settings.document(), answer.sourceText, singleLineAnswer(answer.answerText));
    if (Status saved = kept.settings.save(); !saved.ok()) {
        return Status::failure("Cannot save the answer memory in " + settingsPath + ": " + saved.error);
    }
    failed = AnswerWrite::None;
    return Status::success();
}

SpreadResult spreadAnswer(const std::string& translatedPath, const std::vector<PendingEntry>& pending,
                          std::size_t current, std::string_view source, std::string_view answer) {
    KeptLanguageFile fresh;
    return spreadAnswer(fresh, translatedPath, pending, current, source, answer);
}

SpreadResult spreadAnswer(KeptLanguageFile& kept, const std::string& translatedPath,
                          const std::vector<PendingEntry>& pending, std::size_t current,
                          std::string_view source, std::string_view answer) {
    SpreadResult result;
    std::vector<const PendingEntry*> entries;
    for (std::size_t i = current + 1; i < pending.size(); ++i) {
        if (pending[i].source() == source) {
            entries.push_back(&pending[i]);
            result.indexes.push_back(i);
        }
    }
    if (!entries.empty()) {
        std::vector<std::size_t> refused; // their lines would not read back: they stay pending
        result.status = storeAnswers(kept, translatedPath, entries, answer, &refused);
        for (auto at = refused.rbegin(); at != refused.rend(); ++at) {
            result.indexes.erase(result.indexes.begin() + static_cast<std::ptrdiff_t>(*at));
        }
    }
    return result;
}

} // namespace parlavo
