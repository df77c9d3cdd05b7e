#include "pass/navigation.h"

#include "lang/answers.h"
#include "lang/changedenglish.h"
#include "lang/encodingchoice.h"
#include "lang/keyindex.h"
#include "lang/languagefile.h"
#include "lang/profile.h"
#include "pass/answerwarning.h"
#include "pass/helperwords.h"
#include "pass/search.h"
#include "pass/suggest.h"
#include "platform/files.h"

#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

namespace parlavo {

namespace {

constexpr std::string_view kDoneCaption = "All Done! :)";
constexpr std::string_view kDoneText = "There is nothing new to translate.";
constexpr std::string_view kErrorCaption = "Error";
// A source text longer than this is not copied into the translation box as its pre-fill: a box
// holding megabytes keeps the window busy for minutes, and nobody edits such a text in a box.
constexpr std::size_t kLongestPreFill = 10'000;
constexpr std::string_view kQuestionCaption = "Translations would be removed";
constexpr std::string_view kMixedCaption = "Lines in another encoding";

const PendingEntry& currentEntry(const PassState& state) {
    return state.currentEntry();
}

void finishPass(PassContext& context) {
    context.window.hideTranslationPanel();
    context.window.showInformation(kDoneCaption, kDoneText);
}

// The translation box's text (UTF-8) as bytes of the Translated file: an untouched pre-fill keeps
// the bytes it was shown from. A character the file's encoding cannot hold is shown and nothing is
// returned: the caller writes nothing and leaves the entry and the box as they are.
std::optional<std::string> answerBytes(const PassState& state, PassContext& context,
                                       const std::string& text) {
    if (!state.preFillBytes.empty() && text == state.preFillText) {
        return state.preFillBytes;
    }
    const std::string& encoding = state.work.encodings.translated.name;
    Encoded encoded = fromUtf8(text, encoding);
    if (!encoded.ok()) {
        context.window.showError(kErrorCaption, unencodableMessage(encoded.unconvertible, encoding) +
                                                    "\n\nNothing was saved.");
        return std::nullopt;
    }
    return std::move(encoded.bytes);
}

// Stores the answer for the current entry. On failure the translator is told that nothing was
// saved, and the caller leaves the entry and the box as they are.
bool storeCurrentAnswer(PassState& state, PassContext& context, const std::string& answer,
                        const std::string& answerText) {
    AnswerWrite failed = AnswerWrite::None;
    const PendingEntry& entry = currentEntry(state);
    const std::string sourceText = toUtf8Lossy(entry.source(), state.work.encodings.english.name);
    const Status written =
        writeAnswer({state.kept.translated, state.kept.settings}, state.translatedPath,
                    context.settingsFile(), entry, {answer, sourceText, answerText}, &failed);
    if (failed != AnswerWrite::TranslatedFile) {
        state.answerWritten = true;
    }
    if (written.ok()) {
        return true;
    }
    const std::string what = failed == AnswerWrite::TranslatedFile
                                 ? "The answer was NOT saved."
                                 : "The answer is saved in the translation file, but it could NOT be "
                                   "remembered for other entries and files.";
    context.window.showError(kErrorCaption, what + "\n\n" + written.error +
                                                "\n\nThe entry stays open with your text: change it, or "
                                                "confirm it again once the file can be written.");
    return false;
}

// Gives the answer to the later entries with the same source text, on disk and in the view.
void spreadToLaterEntries(PassState& state, PassContext& context, const std::string& answer,
                          const std::string& answerText) {
    const std::string_view source = currentEntry(state).source();
    const std::size_t index = static_cast<std::size_t>(state.current - 1);
    const SpreadResult spread =
        spreadAnswer(state.kept.translated, state.translatedPath, state.work.pending, index, source, answer);
    if (!spread.status.ok()) {
        context.window.showError(kErrorCaption,
                                 "The answer was saved for this entry, but NOT for the later entries with "
                                 "the same text; they keep their old value.\n\n" +
                                     spread.status.error);
        return;
    }
    for (const std::size_t later : spread.indexes) {
        showValueInView(state, context, state.work.pending[later], answerText); // shown as written
    }
}

// The path from the current folder, absolute, so that the pass keeps writing the files it loaded
// after a browse moves the current folder. Only "." parts are dropped: ".." stays for the system to
// resolve (it may follow a symbolic link). A path that cannot be made absolute is kept as it is.
std::string absoluteLoadPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) {
        return path;
    }
    std::filesystem::path cleaned;
    for (const std::filesystem::path& part : absolute) {
        if (part != ".") {
            cleaned /= part;
        }
    }
    return cleaned.string();
}

} // namespace

std::string existingAnswer(const PendingEntry& entry, const std::string& translatedPath,
                           KeptLanguageFile& kept) {
    if (!kept.refresh(translatedPath).ok()) {
        return {};
    }
    const LanguageFile& file = kept.file();
    const std::optional<std::size_t> found = entryLineIn(file, entry, kept.index());
    return found ? std::string(file.lines[*found].value()) : std::string();
}

const IniDocument& currentSettings(PassState& state, PassContext& context) {
    return state.kept.settings.current(context.settingsFile());
}

bool startPass(PassState& state, PassContext& context) {
    PassWindow& window = context.window;
    state.englishPath = absoluteLoadPath(state.englishPath);
    state.translatedPath = absoluteLoadPath(state.translatedPath);
    LoadOptions options;
    options.confirmDrop = [&](const WorkList& work) {
        return window.askYesNo(kQuestionCaption, dropQuestion(work, state.translatedPath));
    };
    options.convertMixedLines = [&](const WorkList& work) {
        return window.askYesNo(kMixedCaption, mixedLinesQuestion(work, state.translatedPath));
    };
    // The paths the pass writes, absolute (a relative one would name other files after a browse).
    options.settingsToStore = {{"InputFile", state.englishPath}, {"OutputFile", state.translatedPath}};
    LoadResult result = prepareWorkList({state.englishPath, state.translatedPath}, context.settingsFile(),
                                        state.backups, options);
    if (result.declined) {
        return false; // the translator said No: nothing was changed
    }
    if (!result.status.ok()) {
        window.showError(kErrorCaption, result.status.error);
        return false;
    }
    for (const std::string& warning : result.warnings) {
        window.showError(kErrorCaption, warning);
    }
    state.revising.reset(); // it views the old work list's texts
    state.work = std::move(result.work);
    // The pass reads the Translated file as written (state.kept), never as it was before the load.
    state.work.translated = LanguageFile{};
    if (result.settings) {
        state.kept.settings.keep(std::move(*result.settings)); // as the load saved it
    }
    state.current = 1;
    state.suggestions.reset(); // the new pass's are built once its first entry is on screen
    state.shownSuggestions.clear();
    state.highestReached = 0;
    state.progress = Progress{};
    state.progress.keyCount = state.work.english.keyCount;
    state.progress.total = state.pendingCount();

    state.answerWritten = false;
    // The file just written is kept as the first answer's starting point.
    LanguageFile written = std::move(result.rewritten);
    const std::shared_ptr<const std::string> shown = written.bytes;
    if (result.translatedStamp) {
        state.kept.translated.keep(state.translatedPath, std::move(written), *result.translatedStamp);
    } else {
        state.kept.translated.forget();
    }

    window.setRedraw(false);
    showTranslatedFile(state, context, shown);
    window.setTitle(titleText(state.progress));
    const bool anythingPending = state.pendingCount() > 0;
    if (anythingPending) {
        window.showTranslationPanel();
        showEntry(state, context);
    } else {
        window.hideTranslationPanel(); // a panel left from an earlier pass must not stay answerable
    }
    window.setRedraw(true);
    // Built on a second thread, which would otherwise compete with the load for the processor.
    startSuggestions(state, context);
    if (!anythingPending) {
        window.showInformation(kDoneCaption, kDoneText);
    }
    state.progress.lastMark = static_cast<float>(context.clock.seconds());
    return true;
}

void showEntry(PassState& state, PassContext& context) {
    if (!state.hasCurrentEntry()) {
        return; // the last entry stays on screen
    }
    PassWindow& window = context.window;
    // A copy, with the texts it views kept alive: the box notifications run re-entrantly.
    const PendingEntry entry = currentEntry(state);
    const std::shared_ptr<const std::string> englishBytes = state.work.english.bytes;
    const std::shared_ptr<TextStore> entryTexts = state.work.texts;
    const FileEncodings& encodings = state.work.encodings;
    const std::string sourceText = toUtf8Lossy(entry.source(), encodings.english.name);
    state.preFillBytes = existingAnswer(entry, state.translatedPath, state.kept.translated);
    state.preFillText = toUtf8Lossy(state.preFillBytes, encodings.translated.name);
    clearWarning(state, context);
    // The entry names its section and key as the Translated file writes them.
    std::string heading = "[" + toUtf8Lossy(entry.section(), encodings.translated.name) + "] - " +
                          toUtf8Lossy(entry.key(), encodings.translated.name);
    // An entry opened by a search is shown as it is now.
    const std::string_view oldSource =
        state.revising ? std::string_view() : oldSourceOf(state.work, entry.line);
    if (!oldSource.empty()) {
        heading += "    English changed, was: " +
                   markChangedWords(toUtf8Lossy(oldSource, encodings.english.name), sourceText);
    }
    window.setEntryHeading(heading);
    window.setSourceText(sourceText);
    if (state.preFillBytes.empty() && entry.source().size() > kLongestPreFill) {
        window.setTranslationText({});
    } else {
        window.setTranslationText(state.preFillBytes.empty() ? sourceText : state.preFillText);
        if (state.preFillBytes.empty()) {
            window.setTranslationText(applyHelperWords(sourceText, currentSettings(state, context)));
        }
    }
    showSuggestions(state, context);
    window.selectAllTranslationAndFocus();
}

void onTranslationChanged(PassState& state, PassContext& context) {
    std::string text = context.window.translationText();
    if (text == state.lastSeenTranslation) {
        return;
    }
    state.lastSeenTranslation = std::move(text);
    clearWarningUnlessShownFor(state, context, state.lastSeenTranslation);
    if (!state.hasCurrentEntry()) {
        return;
    }
    showValueInView(state, context, currentEntry(state), state.lastSeenTranslation);
    selectCurrentKey(state, context);
}

namespace {

// Reads the translation box and stores the answer for the current entry. False when there is no
// current entry or the answer could not be saved (the reason is shown then).
bool storeBoxForCurrentEntry(PassState& state, PassContext& context, std::string& answer,
                             std::string& answerText) {
    if (!state.hasCurrentEntry()) {
        return false;
    }
    answerText = context.window.translationText();
    std::optional<std::string> bytes = answerBytes(state, context, answerText);
    if (!bytes) {
        return false;
    }
    answer = std::move(*bytes);
    return storeCurrentAnswer(state, context, answer, answerText);
}

} // namespace

void goBack(PassState& state, PassContext& context) {
    std::string answer;
    std::string answerText;
    if (!storeBoxForCurrentEntry(state, context, answer, answerText) || endRevision(state, context)) {
        return;
    }
    if (state.current > 1) {
        --state.current;
    }
    showEntry(state, context);
    selectCurrentKey(state, context);
}

void confirmAnswer(PassState& state, PassContext& context) {
    std::string answer;
    std::string answerText;
    if (warnBeforeConfirming(state, context) ||
        !storeBoxForCurrentEntry(state, context, answer, answerText) || endRevision(state, context)) {
        return;
    }
    spreadToLaterEntries(state, context, answer, answerText);
    ++state.current; // a current entry exists, so this stays within |pending| + 1
    if (state.current > state.highestReached) {
        state.highestReached = state.current;
        ++state.progress.answered;
        recordProgress(state.progress, context.clock);
    }
    context.window.setTitle(titleText(state.progress));
    showEntry(state, context);
    if (state.progress.total - state.progress.answered == 0) {
        finishPass(context);
        context.window.fileView().setRedraw(true);
    }
}

} // namespace parlavo
