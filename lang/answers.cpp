#include "lang/answers.h"

#include "lang/answermemory.h"
#include "lang/keyindex.h"
#include "lang/profile.h"
#include "platform/files.h"

#include <optional>

namespace parlavo {

namespace {

// Puts the answer after the first "=" of a key line, keeping the key exactly as it was written.
void replaceValue(LanguageLine& line, std::string_view answer) {
    const auto equals = line.text.find('=');
    line.text.resize(equals + 1);
    line.text += answer;
}

// Joins the lines again with the file's own line end.
std::string joinLines(const LanguageFile& file) {
    std::string bytes;
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        if (i > 0) {
            bytes += file.lineEnd;
        }
        bytes += file.lines[i].text;
    }
    return bytes;
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
        document.set(entry->section, entry->key, answer);
    }
    return document.serialize();
}

// A missing file reads as empty (the answer creates it).
Result<std::string> readTranslatedFile(const std::string& path) {
    if (!fileExists(path)) {
        return {};
    }
    Result<std::string> bytes = readWholeFile(path);
    if (!bytes.ok()) {
        bytes.status =
            Status::failure("Cannot read the translation file " + path + ": " + bytes.status.error);
    }
    return bytes;
}

} // namespace

std::string renderTranslatedFile(const WorkList& work) {
    std::size_t size = 0;
    for (const std::string& line : work.outputLines) {
        size += line.size() + work.english.lineEnd.size();
    }
    std::string bytes;
    bytes.reserve(size);
    for (const std::string& line : work.outputLines) {
        bytes += line;
        bytes += work.english.lineEnd;
    }
    return bytes;
}

Status writeTranslatedFile(const std::string& translatedPath, const WorkList& work) {
    return writeFileAtomically(translatedPath, renderTranslatedFile(work));
}

std::string backupPathFor(const std::string& translatedPath) {
    return translatedPath + "backup";
}

Status backupTranslatedFile(const std::string& translatedPath) {
    if (translatedPath.empty() || !fileExists(translatedPath)) {
        return Status::success();
    }
    return copyFileAtomically(translatedPath, backupPathFor(translatedPath));
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
                    std::string_view answer) {
    const Result<std::string> bytes = readTranslatedFile(translatedPath);
    if (!bytes.ok()) {
        return bytes.status;
    }
    const std::string single = singleLineAnswer(answer);
    LanguageFile file = parseLanguageFile(bytes.value);
    std::optional<KeyLineIndex> index; // built only when a line has moved
    std::vector<const PendingEntry*> missing;
    for (const PendingEntry* entry : entries) {
        if (const std::optional<std::size_t> target = entryLineIn(file, *entry, index)) {
            replaceValue(file.lines[*target], single);
        } else {
            missing.push_back(entry);
        }
    }
    const Status written =
        writeFileAtomically(translatedPath, addMissingKeys(joinLines(file), missing, single));
    if (!written.ok()) {
        return Status::failure("Cannot save the answer in " + translatedPath + ": " + written.error);
    }
    return Status::success();
}

Status writeAnswer(const std::string& translatedPath, const std::string& settingsPath,
                   const PendingEntry& entry, const AnswerText& answer, AnswerWrite* failedWrite) {
    AnswerWrite ignored = AnswerWrite::None;
    AnswerWrite& failed = failedWrite != nullptr ? *failedWrite : ignored;
    failed = AnswerWrite::TranslatedFile;
    // The answer memory keeps the same single-line text as the file, so both agree.
    if (Status stored = storeAnswers(translatedPath, {&entry}, singleLineAnswer(answer.fileBytes));
        !stored.ok()) {
        return stored;
    }
    failed = AnswerWrite::AnswerMemory;
    Result<ProfileFile> settings = ProfileFile::open(settingsPath);
    if (!settings.ok()) {
        return Status::failure("Cannot read the settings file " + settingsPath + ": " +
                               settings.status.error);
    }
    rememberAnswerText(settings.value.document(), answer.sourceText, singleLineAnswer(answer.answerText));
    if (Status saved = settings.value.save(); !saved.ok()) {
        return Status::failure("Cannot save the answer memory in " + settingsPath + ": " + saved.error);
    }
    failed = AnswerWrite::None;
    return Status::success();
}

SpreadResult spreadAnswer(const std::string& translatedPath, const std::vector<PendingEntry>& pending,
                          std::size_t current, std::string_view source, std::string_view answer) {
    SpreadResult result;
    std::vector<const PendingEntry*> entries;
    for (std::size_t i = current + 1; i < pending.size(); ++i) {
        if (pending[i].source == source) {
            entries.push_back(&pending[i]);
            result.indexes.push_back(i);
        }
    }
    if (!entries.empty()) {
        result.status = storeAnswers(translatedPath, entries, answer);
    }
    return result;
}

} // namespace parlavo
