#include "sync/sync.h"

#include "lang/inilines.h"
#include "lang/settings.h"
#include "parlavo_buildinfo.h"
#include "pass/workload.h"
#include "platform/encoding.h"
#include "sync/check.h"

#include <bit>
#include <optional>
#include <ostream>

namespace parlavo {

namespace {

constexpr const char* kUsage =
    "Usage: parlavo-sync [--dry-run] [--allow-drop] ENGLISH TRANSLATED\n"
    "       parlavo-sync [--dry-run] [--allow-drop] [--english-encoding NAME]\n"
    "                    [--translated-encoding NAME] [--fix-encoding] ENGLISH TRANSLATED\n"
    "       parlavo-sync --check ENGLISH TRANSLATED\n"
    "       parlavo-sync --help\n"
    "       parlavo-sync --version\n"
    "\n"
    "Brings the Translated language file into the shape of the English file and lists the entries\n"
    "that still need translating, as the Parlavo window does when it loads the two files.\n"
    "\n"
    "  ENGLISH      the English language file (.lng), only read\n"
    "  TRANSLATED   the Translated language file; created when it does not exist\n"
    "  --dry-run    report the same list, but create or change no file\n"
    "  --allow-drop rewrite TRANSLATED even when that removes more than half of its\n"
    "               translations (at least 5); without it such a rewrite is refused\n"
    "  --english-encoding NAME, --translated-encoding NAME\n"
    "               read and write that file in this encoding instead of the one decided\n"
    "               (the choice is remembered for the file in ./Parlavo.ini, as the window's)\n"
    "  --fix-encoding\n"
    "               convert the lines of a legacy-encoded TRANSLATED that are UTF-8 (written\n"
    "               there by an earlier version) into its encoding; without it they are only\n"
    "               reported\n"
    "  --check      write nothing; list the problems of the translated entries instead\n"
    "               (see below)\n"
    "  --help       show this text\n"
    "  --version    show the version\n"
    "\n"
    "Encodings: each file's encoding is decided in this order: a UTF-8 byte-order mark; the\n"
    "choice remembered for the file; a code page the file declares (LanguageCodePage=1251);\n"
    "UTF-8 when the file is valid UTF-8; what the detector finds. A new or pure ASCII\n"
    "TRANSLATED takes the English file's encoding; when nothing can tell, Windows-1252.\n"
    "Lines taken from ENGLISH are converted into TRANSLATED's encoding.\n"
    "\n"
    "Files read and written (not with --dry-run):\n"
    "  TRANSLATED         rewritten with the English file's lines, keys and sections; each\n"
    "                     translation is kept, every key still to translate gets an empty value\n"
    "  TRANSLATEDbackup   a copy of TRANSLATED as it was, made before the rewrite\n"
    "  ./Parlavo.ini      the settings file of the current folder: its [AlreadyTranslated]\n"
    "                     answers fill keys without a translation, texts that need no\n"
    "                     translation are added to them, and the most common words of the\n"
    "                     texts still to translate are listed in [Helper Words]\n"
    "\n"
    "Output: one line per entry that needs translating,\n"
    "  LINE<TAB>SECTION<TAB>KEY<TAB>SOURCE\n"
    "where LINE is the line number in the English file, every field is UTF-8 text (read with\n"
    "its own file's encoding), and a backslash, tab, carriage return or line feed inside a\n"
    "field is written as \\\\, \\t, \\r or \\n; then the line\n"
    "  N of M need translating\n"
    "with N the entries listed and M the keys of the English file.\n"
    "\n"
    "Exit status:\n"
    "  0  nothing needs translating\n"
    "  1  entries need translating\n"
    "  2  wrong arguments, or a file that cannot be used (nothing is written then)\n"
    "\n"
    "With --check: one line per problem of a translation against its English text (a placeholder\n"
    "such as %1, %s or {0} missing or added, the accelerator '&', \\n and other line breaks, spaces\n"
    "at either end, the closing ':', '...', '.' or '!', unbalanced brackets, quotes or tags),\n"
    "and one per entry whose English text changed since it was translated (\"English changed,\n"
    "was: OLD TEXT\"; ChangedEnglish=0 in [Settings] of Parlavo.ini leaves these out),\n"
    "  LINE<TAB>SECTION<TAB>KEY<TAB>PROBLEM\n"
    "escaped as above, then the line\n"
    "  N problems in M entries\n"
    "Exit status 0 with no problem, 1 with problems, 2 as above.\n";

struct SyncArguments {
    bool help = false;
    bool version = false;
    bool dryRun = false;
    bool allowDrop = false;
    bool fixEncoding = false;
    std::optional<std::string> englishEncoding;
    std::optional<std::string> translatedEncoding;
    bool check = false;
    LoadPaths paths;
};

// The usage text with the encoding names accepted.
std::string usage() {
    std::string text = kUsage;
    text += "\nEncoding names (letter case, \"-\" and \"_\" do not matter; cp1251, 1251, shift_jis,\n"
            "big5, gbk and latin1 are understood too):\n";
    for (const EncodingInfo& info : offeredEncodings()) {
        text += "  " + std::string(info.name);
        text.append(info.name.size() < 14 ? 14 - info.name.size() : 1, ' ');
        text += std::string(info.label) + "\n";
    }
    return text;
}

// The value of an option that takes one ("--english-encoding NAME" or "--english-encoding=NAME"):
// false when arg is not that option; problem is set when its value is missing or unknown.
bool encodingOption(const std::string& option, const std::vector<std::string>& args, std::size_t& i,
                    std::optional<std::string>& value, std::string& problem) {
    const std::string& arg = args[i];
    std::string given;
    if (arg == option) {
        if (i + 1 == args.size()) {
            problem = option + " needs an encoding name (try --help)";
            return true;
        }
        given = args[++i];
    } else if (arg.starts_with(option + "=")) {
        given = arg.substr(option.size() + 1);
    } else {
        return false;
    }
    value = canonicalEncodingName(given);
    if (!value) {
        problem = "unknown encoding '" + given + "' (try --help for the names)";
    }
    return true;
}

// The arguments, or the reason they cannot be used.
std::optional<SyncArguments> parseArguments(const std::vector<std::string>& args, std::string& problem) {
    SyncArguments parsed;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else if (arg == "--version") {
            parsed.version = true;
        } else if (arg == "--dry-run") {
            parsed.dryRun = true;
        } else if (arg == "--allow-drop") {
            parsed.allowDrop = true;
        } else if (arg == "--check") {
            parsed.check = true;
        } else if (arg == "--fix-encoding") {
            parsed.fixEncoding = true;
        } else if (!encodingOption("--english-encoding", args, i, parsed.englishEncoding, problem) &&
                   !encodingOption("--translated-encoding", args, i, parsed.translatedEncoding, problem)) {
            problem = "unknown option '" + arg + "' (try --help)";
        }
        if (!problem.empty()) {
            return std::nullopt;
        }
    }
    if (parsed.help || parsed.version) {
        return parsed;
    }
    if (positional.size() != 2) {
        problem = "expected two files, ENGLISH and TRANSLATED, got " + std::to_string(positional.size()) +
                  " (try --help)";
        return std::nullopt;
    }
    parsed.paths = {positional[0], positional[1]};
    return parsed;
}

bool isEscaped(char c) {
    return c == '\\' || c == '\t' || c == '\r' || c == '\n';
}

// The place of the first byte from at on that a field escapes (the field's size when none), looked
// for sixteen bytes at a time with SSE2 (the line breaks as the line rules find them).
std::size_t nextEscaped(std::string_view field, std::size_t at) {
#if defined(__SSE2__)
    constexpr std::size_t kBlock = sizeof(__m128i);
    for (; at + kBlock <= field.size(); at += kBlock) {
        const __m128i bytes = ini::detail::sixteenAt(field.data() + at);
        const unsigned others = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
            _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')))));
        if (const unsigned found = ini::detail::lineBreaksIn(bytes) | others; found != 0) {
            return at + static_cast<std::size_t>(std::countr_zero(found));
        }
    }
#endif
    while (at < field.size() && !isEscaped(field[at])) {
        ++at;
    }
    return at;
}

// Appends the field with a backslash, tab, CR or LF written as \\, \t, \r or \n; the runs
// between them go at once.
void appendSyncField(std::string& out, std::string_view field) {
    std::size_t start = 0; // the first byte not yet appended
    for (std::size_t at = nextEscaped(field, 0); at < field.size(); at = nextEscaped(field, at + 1)) {
        const char c = field[at];
        out.append(field.substr(start, at - start)).append(1, '\\');
        out += c == '\\' ? '\\' : (c == '\t' ? 't' : (c == '\r' ? 'r' : 'n'));
        start = at + 1;
    }
    out.append(field.substr(start));
}

// Appends a field of the list: the bytes as UTF-8 text (read in their encoding), escaped.
void appendAsUtf8(std::string& out, std::string_view bytes, std::string_view encoding) {
    if (isUtf8Already(bytes, encoding)) {
        appendSyncField(out, bytes);
    } else {
        appendSyncField(out, toUtf8Lossy(bytes, encoding));
    }
}

// The list of entries, every field UTF-8 text (read with its own file's encoding).
std::string entryList(const WorkList& work) {
    const FileEncodings& encodings = work.encodings;
    std::string text;
    for (const PendingEntry& entry : work.pending) {
        text += std::to_string(entry.line);
        text += '\t';
        appendAsUtf8(text, entry.section(), encodings.translated.name);
        text += '\t';
        appendAsUtf8(text, entry.key(), encodings.translated.name);
        text += '\t';
        appendAsUtf8(text, entry.source(), encodings.english.name);
        text += '\n';
    }
    text += std::to_string(work.pending.size()) + " of " + std::to_string(work.english.keyCount) +
            " need translating\n";
    return text;
}

// What became of the UTF-8 lines of a legacy-encoded Translated file.
std::string mixedLinesReport(const WorkList& work, const std::string& translatedPath) {
    return mixedLinesFinding(work, translatedPath) +
           (work.mixedLinesConverted ? " They were converted." : " Give --fix-encoding to convert them.");
}

int fail(std::ostream& err, const std::string& message) {
    err << "parlavo-sync: " << message << '\n';
    return kSyncUsageError;
}

} // namespace

std::string escapeSyncField(std::string_view field) {
    std::string escaped;
    escaped.reserve(field.size());
    appendSyncField(escaped, field);
    return escaped;
}

int runSync(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            LoadResult* leftovers) {
    std::string problem;
    std::optional<SyncArguments> parsed = parseArguments(args, problem);
    if (!parsed) {
        return fail(err, problem);
    }
    if (parsed->help) {
        out << usage();
        return kSyncNothingPending;
    }
    if (parsed->version) {
        out << "parlavo-sync " << kParlavoVersion << '\n';
        return kSyncNothingPending;
    }
    // Relative names are normal on a command line, so no folder separator is asked for.
    if (const Status refused = checkLoadPaths(parsed->paths, {.requireCompletePaths = false});
        !refused.ok()) {
        return fail(err, refused.error);
    }
    BackupRecord backups;
    const bool allowDrop = parsed->allowDrop || parsed->check; // a check writes nothing
    const bool fix = parsed->fixEncoding;
    LoadResult kept;
    LoadResult& result = leftovers != nullptr ? *leftovers : kept;
    std::string list; // made while the files are written, printed once they are
    LoadOptions options{.dryRun = parsed->dryRun || parsed->check,
                        .keepRewrite = parsed->check, // the check reads the rewrite
                        .confirmDrop = [allowDrop](const WorkList&) { return allowDrop; },
                        .englishEncoding = parsed->englishEncoding,
                        .translatedEncoding = parsed->translatedEncoding,
                        .convertMixedLines = [fix](const WorkList&) { return fix; }};
    if (!parsed->check) {
        options.withPending = [&list](const WorkList& work) { list = entryList(work); };
    }
    result = prepareWorkList(parsed->paths, settingsPath(), backups, options);
    if (result.declined) {
        return fail(err, result.status.error + " Give --allow-drop to rewrite it anyway.");
    }
    if (!result.status.ok()) {
        return fail(err, result.status.error);
    }
    for (const std::string& warning : result.warnings) {
        err << "parlavo-sync: warning: " << warning << '\n';
    }
    if (!result.work.mixedLines.empty()) {
        err << "parlavo-sync: warning: " << mixedLinesReport(result.work, parsed->paths.translated) << '\n';
    }
    if (parsed->check) {
        std::size_t problems = 0;
        out << checkReport(result, problems);
        out.flush();
        return problems == 0 ? kSyncNothingPending : kSyncEntriesPending;
    }
    out << list;
    out.flush();
    return result.work.pending.empty() ? kSyncNothingPending : kSyncEntriesPending;
}

} // namespace parlavo
