#include "pass/workload.h"

#include "lang/answers.h"
#include "lang/changedenglish.h"
#include "lang/settings.h"
#include "pass/firstread.h"
#include "pass/helperwords.h"
#include "pass/loadsteps.h"
#include "platform/aside.h"
#include "platform/files.h"

#include <filesystem>
#include <system_error>

namespace parlavo {

namespace {

bool hasSeparator(const std::string& path) {
    return path.find_first_of("/\\") != std::string::npos;
}

bool isFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

// One spelling for every way of naming a file, so that "./a.lng" and the absolute path of a.lng
// are backed up once.
std::string canonicalPath(const std::string& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) {
        return path;
    }
    std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, error);
    return error ? absolute.lexically_normal().string() : canonical.string();
}

bool namesSameFile(const std::string& a, const std::string& b) {
    return isSameFile(a, b) || canonicalPath(a) == canonicalPath(b);
}

} // namespace

Status checkLoadPaths(const LoadPaths& paths, const LoadCheckOptions& options) {
    if (!isUsableFile(paths.english) || !canReadFile(paths.english)) {
        return Status::failure("Invalid English file.");
    }
    if (paths.translated.empty()) {
        return Status::failure("You need to enter a translation file.");
    }
    if (options.requireCompletePaths && (!hasSeparator(paths.english) || !hasSeparator(paths.translated))) {
        return Status::failure("You need to enter a complete file path.");
    }
    if (paths.english == paths.translated || isSameFile(paths.english, paths.translated)) {
        return Status::failure("You cannot use the same filename for both files.");
    }
    // The backup made before the rewrite would replace the English file.
    if (namesSameFile(backupPathFor(paths.translated), paths.english)) {
        return Status::failure("You cannot use the translation file's backup as the English file.");
    }
    // Loading an unreadable Translated file as empty would rewrite it to almost nothing.
    if (fileExists(paths.translated) && !isFolder(paths.translated) && !canReadFile(paths.translated)) {
        return Status::failure("The translation file cannot be read.");
    }
    // A pass whose Translated file cannot be rewritten would lose every answer.
    if (isFolder(paths.translated) || !canReplaceFile(paths.translated)) {
        return Status::failure("The translation file cannot be written.");
    }
    return Status::success();
}

std::string mixedLinesFinding(const WorkList& work, const std::string& translatedPath) {
    const std::size_t count = work.mixedLines.size();
    const std::string_view label = encodingLabel(work.encodings.translated.name); // without "(Cyrillic)"
    return std::to_string(count) + (count == 1 ? " line of " : " lines of ") +
           std::filesystem::path(translatedPath).filename().string() + (count == 1 ? " is" : " are") +
           " UTF-8, not " + std::string(label.substr(0, label.find(" ("))) + ".";
}

std::string mixedLinesQuestion(const WorkList& work, const std::string& translatedPath) {
    return mixedLinesFinding(work, translatedPath) + " Convert them?";
}

bool BackupRecord::has(const std::string& path) const {
    return backedUp.count(canonicalPath(path)) != 0;
}

void BackupRecord::add(const std::string& path) {
    backedUp.insert(canonicalPath(path));
}

namespace {

// The warning for a settings file that exists but cannot be read. Such a file is not used at all
// (a save would replace the answer memory with almost nothing): the pass goes on without it.
std::string unreadableSettingsWarning(const std::string& settingsFile, const std::string& error) {
    return "The settings file " + settingsFile +
           " cannot be read; the answer memory and the helper words are not used: " + error;
}

// Backs the Translated file up before its first rewrite in this run, which follows at once.
Status backUpOnce(const std::string& translatedPath, BackupRecord& backups, std::size_t translations) {
    if (!fileExists(translatedPath) || backups.has(translatedPath)) {
        return Status::success();
    }
    Status status = backupTranslatedFile(translatedPath, {true, translations});
    if (!status.ok()) {
        return Status::failure("The translation file cannot be backed up: " + status.error);
    }
    backups.add(translatedPath);
    return status;
}

} // namespace

namespace {

// Settings that would be overwritten by a language file or its backup, or overwrite one.
std::optional<std::string> settingsClash(const LoadPaths& paths, const std::string& settingsFile) {
    if (namesSameFile(settingsFile, paths.english) || namesSameFile(settingsFile, paths.translated)) {
        return "The settings file " + settingsFile + " cannot be used as a language file.";
    }
    if (namesSameFile(settingsFile, backupPathFor(paths.translated))) {
        return "The settings file " + settingsFile + " cannot be used as the translation file's backup.";
    }
    return std::nullopt;
}

// False (with the refusal in result) when the rewrite would drop most translations and that is not
// allowed.
bool dropAllowed(const LoadOptions& options, LoadResult& result) {
    const WorkList& work = result.work;
    if (!dropNeedsConsent(work) || (options.confirmDrop && options.confirmDrop(work))) {
        return true;
    }
    if (options.dryRun) {
        result.warnings.push_back("The rewrite would remove " + std::to_string(work.dropped) + " of " +
                                  std::to_string(work.translations) + " translations.");
        return true;
    }
    result.declined = true;
    result.status = Status::failure("The rewrite would remove " + std::to_string(work.dropped) + " of " +
                                    std::to_string(work.translations) +
                                    " translations; the translation file is left as it was.");
    return false;
}

// The settings file written ahead, beside the selection, when a load that writes is sure to change
// it: what the selection and the helper words add to it is then all that is left to write when the
// Translated file is, and most of it is on its way to the disk by then.
struct SettingsDraft {
    AtomicWrite write;
    std::string path;
    std::vector<std::string_view> pieces; // to draft, when wanted
    bool wanted = false;

    void decide(const LoadOptions& options, Result<ProfileFile>& settings) {
        if (options.dryRun || !settings.ok()) {
            return;
        }
        IniDocument& document = settings.value.document();
        for (const auto& [key, value] : options.settingsToStore) {
            document.set(kSettingsSection, key, valueReadingBackAs(value));
        }
        wanted = document.changed() || helperWordsNoteMissing(document);
        if (wanted) {
            path = settings.value.path();
            pieces = document.pieces();
        }
    }
    // On the thread that reads the memory (a thread of its own else): it is the shorter one.
    void writeHere() {
        if (wanted) {
            write.draft(path, pieces);
        }
    }
};

// The Translated file backed up and written, with the stamp of what was written.
struct TranslatedWrite {
    Status status;
    std::optional<FileStamp> stamp;
};

// drafted: the rewrite, written to it in parts as it was made.
TranslatedWrite writeTranslated(const LoadPaths& paths, BackupRecord& backups, std::size_t translations,
                                AtomicWrite& drafted) {
    TranslatedWrite done{backUpOnce(paths.translated, backups, translations), std::nullopt};
    if (done.status.ok()) {
        FileStamp stamp;
        Status written = drafted.prepareDrafted(paths.translated);
        written = written.ok() ? drafted.commit(&stamp) : written;
        done.stamp = stamp;
        if (!written.ok()) {
            done.status = Status::failure("The translation file cannot be written: " + written.error);
        }
    }
    return done;
}

// Writes the settings when they were read (from where they differ from their draft, see
// SettingsDraft) while the Translated file is written, and puts them in their file's place once the
// Translated file is in its, so a failed rewrite still leaves the settings file as it was.
void saveSettings(Aside<TranslatedWrite>& translated, const std::string& settingsFile,
                  Result<ProfileFile>& settings, SettingsDraft& draft, LoadResult& result) {
    AtomicWrite& settingsWrite = draft.write;
    Status saved = settings.ok() ? settings.value.prepareSave(settingsWrite) : Status::success();
    TranslatedWrite done = translated.get();
    result.status = done.status;
    result.translatedStamp = done.stamp;
    if (!result.status.ok() || !settings.ok()) {
        return; // what was written aside is removed with settingsWrite
    }
    if (saved.ok()) {
        saved = settings.value.commitSave(settingsWrite);
    }
    if (!saved.ok()) {
        result.warnings.push_back(
            "The settings file " + settingsFile +
            " cannot be saved; the answer memory and the helper words are not updated: " + saved.error);
    } else {
        result.settings = std::move(settings.value);
    }
}

} // namespace

bool dropNeedsConsent(const WorkList& work) {
    return work.dropped >= kDropGuardMinimum && 2 * work.dropped > work.translations;
}

std::string dropQuestion(const WorkList& work, const std::string& translatedPath) {
    return "This will remove " + std::to_string(work.dropped) + " of " + std::to_string(work.translations) +
           " translations from " + std::filesystem::path(translatedPath).filename().string() + ". Continue?";
}

namespace {

// Starts the thread that drafts the settings (when wanted) and reads what the answer memory says of
// the translations (when wanted, see AnswerUses); the selection waits for that through what this
// returns.
PreparedAnswerUses startMemoryRead(Aside<void>& memoryRead, SettingsDraft& draft,
                                   std::optional<AnswerUses>& uses, const WorkList& work,
                                   const IniDocument& document) {
    if (!changedEnglishWanted(document)) {
        uses.reset();
        if (draft.wanted) {
            memoryRead = Aside<void>([&draft] { draft.writeHere(); });
        }
        return {};
    }
    // The table is made here when the Translated file was parsed again (or was not made beside it).
    const bool makeUses = work.mixedLinesConverted || !uses;
    memoryRead = Aside<void>([&, makeUses] {
        draft.writeHere();
        if (makeUses) {
            uses.emplace(work.english, work.translated);
        }
        uses->readMemory(document);
    });
    return [&memoryRead, &uses]() -> const AnswerUses& {
        memoryRead.get();
        return *uses;
    };
}

// The end of a load once its entries are selected: what is given the pending entries, and the
// Translated file's backup and write, each on a thread of its own while the helper words are found;
// then the settings are saved (see saveSettings).
void finishLoad(const LoadPaths& paths, const std::string& settingsFile, BackupRecord& backups,
                const LoadOptions& options, LoadResult& result, Result<ProfileFile>& settings,
                IniDocument& document, SettingsDraft& draft, Aside<void>& memoryRead,
                AtomicWrite& translatedDraft) {
    Aside<void> pendingUsed;
    if (options.withPending) {
        pendingUsed = Aside<void>([&] { options.withPending(result.work); });
    }
    Aside<TranslatedWrite> translatedWritten;
    if (!options.dryRun) {
        translatedWritten = Aside<TranslatedWrite>([&, translations = result.work.translations] {
            return writeTranslated(paths, backups, translations, translatedDraft);
        });
    }
    result.helperWords =
        collectHelperWords(result.work.pending, document, result.work.encodings.english.name);
    if (!options.dryRun) {
        if (memoryRead.valid()) {
            memoryRead.get(); // the draft is written
        }
        saveSettings(translatedWritten, settingsFile, settings, draft, result);
    }
    if (pendingUsed.valid()) {
        pendingUsed.get();
    }
    // Parsed last, once the helper words' and the writes' own memory is given back (beside them it
    // raised the window's peak by half a megabyte at 50,000 keys).
    if (options.keepRewrite && result.status.ok()) {
        result.rewritten = parseLanguageFile(std::move(result.work.output));
    }
}

} // namespace

LoadResult prepareWorkList(const LoadPaths& paths, const std::string& settingsFile, BackupRecord& backups,
                           const LoadOptions& options) {
    LoadResult result;
    // Saving the settings would overwrite the language file, or the rewrite the settings.
    if (const std::optional<std::string> clash = settingsClash(paths, settingsFile)) {
        result.status = Status::failure(*clash);
        return result;
    }
    FirstStep first;
    result.status = readFirst(paths, settingsFile, options, result.work, first);
    if (!result.status.ok()) {
        return result;
    }
    Result<ProfileFile>& settings = first.settings;
    if (!settings.ok()) {
        result.warnings.push_back(unreadableSettingsWarning(settingsFile, settings.status.error));
    }
    IniDocument unsaved; // stands in for a settings file that cannot be read
    IniDocument& document = settings.ok() ? settings.value.document() : unsaved;
    result.status = loadsteps::decideEncodings(paths, options, document, first.kinds, result);
    if (!result.status.ok()) {
        return result;
    }
    SettingsDraft draft;
    draft.decide(options, settings);
    Aside<void> memoryRead;
    const PreparedAnswerUses prepared = startMemoryRead(memoryRead, draft, first.uses, result.work, document);
    if (result.work.mixedLinesConverted) { // the Translated file was parsed again
        first.translatedIndex.emplace(result.work.translated);
        first.translations = translationLines(result.work.translated);
    }
    AtomicWrite translatedDraft; // the rewrite as it is made; removed unless the load writes it
    if (!options.dryRun) {
        result.work.outputSink = [&](std::string_view part) {
            translatedDraft.draftPart(paths.translated, part);
        };
        result.work.keepOutput = options.keepRewrite;
    }
    selectPendingEntries(result.work, document, prepared, &*first.translatedIndex, &first.translations);
    result.work.outputSink = nullptr;
    // What only the selection reads goes before the end of the load, whose peak it would raise (the
    // memory's thread is over once the selection has what it found).
    first.translatedIndex.reset();
    if (!memoryRead.valid()) {
        first.uses.reset();
    }
    if (!result.work.unconvertedLines.empty()) {
        result.warnings.push_back(loadsteps::unconvertedWarning(result.work));
    }
    if (dropAllowed(options, result)) {
        finishLoad(paths, settingsFile, backups, options, result, settings, document, draft, memoryRead,
                   translatedDraft);
    }
    return result;
}

} // namespace parlavo
