// The steps of a load that read the two language files and decide their encodings.
#include "pass/loadsteps.h"

#include "lang/encodingchoice.h"
#include "lang/mixedlines.h"
#include "platform/files.h"

namespace parlavo::loadsteps {

namespace {

// How many line numbers a warning lists.
constexpr std::size_t kListedLines = 10;

// A file's encoding: the caller's choice for this load (remembered unless remember is false), else
// the decision with the choice remembered earlier.
Result<FileEncoding> encodingFor(const std::string& path, const std::optional<std::string>& choice,
                                 IniDocument& settings, std::string_view bytes, ByteKind kind,
                                 const FileEncoding* english, bool remember) {
    Result<FileEncoding> result;
    if (!choice) {
        result.value = decideEncoding(bytes, kind, rememberedEncoding(settings, path), english);
        return result;
    }
    const std::optional<std::string> name = canonicalEncodingName(*choice);
    if (!name) {
        result.status = Status::failure("Unknown encoding: " + *choice);
        return result;
    }
    if (remember) {
        rememberEncoding(settings, path, *name);
    }
    result.value = {*name, EncodingReason::YourChoice};
    return result;
}

} // namespace

Status readBothFiles(const LoadPaths& paths, LanguageBytes& english, LanguageBytes& translated) {
    Result<std::string> englishBytes = readWholeFile(paths.english, '\n', english.lineFeeds);
    if (!englishBytes.ok()) {
        return Status::failure("The English file cannot be read: " + englishBytes.status.error);
    }
    english.bytes = std::move(englishBytes.value);
    if (fileExists(paths.translated)) {
        Result<std::string> bytes = readWholeFile(paths.translated, '\n', translated.lineFeeds);
        if (!bytes.ok()) {
            return Status::failure("The translation file cannot be read: " + bytes.status.error);
        }
        translated.bytes = std::move(bytes.value);
    }
    if (english.bytes.size() > kLargestLanguageFile || translated.bytes.size() > kLargestLanguageFile) {
        return Status::failure(std::string(english.bytes.size() > kLargestLanguageFile
                                               ? "The English file"
                                               : "The translation file") +
                               " is too large: a language file must be smaller than 4 GiB.");
    }
    return Status::success();
}

ByteKinds kindsToDecide(const WorkList& work, const LoadOptions& options) {
    ByteKinds kinds;
    if (!options.englishEncoding) {
        kinds.english = kindOfBytes(*work.english.bytes);
    }
    if (!options.translatedEncoding) {
        kinds.translated = kindOfBytes(*work.translated.bytes);
    }
    return kinds;
}

Status parseBothFiles(LanguageBytes english, LanguageBytes translated, WorkList& work) {
    work.english = parseLanguageFile(std::move(english.bytes), english.lineFeeds);
    // A file without keys (an interrupted copy, the wrong file) would empty the Translated file.
    if (work.english.keyCount == 0) {
        return Status::failure("The English file has no keys.");
    }
    work.translated = parseLanguageFile(std::move(translated.bytes), translated.lineFeeds);
    return Status::success();
}

Status decideEncodings(const LoadPaths& paths, const LoadOptions& options, IniDocument& settings,
                       const ByteKinds& kinds, LoadResult& result) {
    WorkList& work = result.work;
    const std::string_view translated = *work.translated.bytes;
    const bool remember = !options.dryRun;
    const Result<FileEncoding> englishEncoding =
        encodingFor(paths.english, options.englishEncoding, settings, *work.english.bytes, kinds.english,
                    nullptr, remember);
    const Result<FileEncoding> translatedEncoding =
        encodingFor(paths.translated, options.translatedEncoding, settings, translated, kinds.translated,
                    &englishEncoding.value, remember);
    if (!englishEncoding.ok() || !translatedEncoding.ok()) {
        return englishEncoding.ok() ? translatedEncoding.status : englishEncoding.status;
    }
    work.encodings = {englishEncoding.value, translatedEncoding.value};
    if (work.encodings.translated.name != kUtf8) {
        work.mixedLines = findUtf8Lines(translated);
    }
    if (!work.mixedLines.empty() && options.convertMixedLines && options.convertMixedLines(work)) {
        std::string converted(translated);
        const std::size_t kept = convertUtf8Lines(converted, work.mixedLines, work.encodings.translated.name);
        work.mixedLinesConverted = true;
        if (kept != 0) {
            result.warnings.push_back(std::to_string(kept) + " of the UTF-8 lines cannot be written in " +
                                      std::string(encodingLabel(work.encodings.translated.name)) +
                                      " and stay as they are.");
        }
        work.translated = parseLanguageFile(std::move(converted));
    }
    return Status::success();
}

std::string unconvertedWarning(const WorkList& work) {
    std::string lines;
    for (std::size_t i = 0; i < work.unconvertedLines.size() && i < kListedLines; ++i) {
        lines += (i == 0 ? "" : ", ") + std::to_string(work.unconvertedLines[i]);
    }
    if (work.unconvertedLines.size() > kListedLines) {
        lines += ", ...";
    }
    return std::to_string(work.unconvertedLines.size()) + " lines of the English file cannot be written in " +
           std::string(encodingLabel(work.encodings.translated.name)) +
           " and are copied as they are (English file lines " + lines + ").";
}

} // namespace parlavo::loadsteps
