#include "sync/sync.h"

#include "lang/settings.h"
#include "parlavo_buildinfo.h"
#include "pass/workload.h"
#include "sync/check.h"

#include <optional>
#include <ostream>

namespace parlavo {

namespace {

constexpr const char* kUsage =
    "Usage: parlavo-sync [--dry-run] [--allow-drop] ENGLISH TRANSLATED\n"
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
    "  --check      write nothing; list the problems of the translated entries instead\n"
    "               (see below)\n"
    "  --help       show this text\n"
    "  --version    show the version\n"
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
    "where LINE is the line number in the English file and a backslash, tab, carriage return or\n"
    "line feed inside a field is written as \\\\, \\t, \\r or \\n; then the line\n"
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
    bool check = false;
    LoadPaths paths;
};

// The arguments, or the reason they cannot be used.
std::optional<SyncArguments> parseArguments(const std::vector<std::string>& args, std::string& problem) {
    SyncArguments parsed;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
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
        } else {
            problem = "unknown option '" + arg + "' (try --help)";
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

std::string entryList(const LoadResult& result) {
    std::string text;
    for (const PendingEntry& entry : result.work.pending) {
        text += std::to_string(entry.line);
        text += '\t';
        text += escapeSyncField(entry.section);
        text += '\t';
        text += escapeSyncField(entry.key);
        text += '\t';
        text += escapeSyncField(entry.source);
        text += '\n';
    }
    text += std::to_string(result.work.pending.size()) + " of " +
            std::to_string(result.work.english.keyCount) + " need translating\n";
    return text;
}

int fail(std::ostream& err, const std::string& message) {
    err << "parlavo-sync: " << message << '\n';
    return kSyncUsageError;
}

} // namespace

std::string escapeSyncField(const std::string& field) {
    std::string escaped;
    escaped.reserve(field.size());
    for (char c : field) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\n':
            escaped += "\\n";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

int runSync(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string problem;
    std::optional<SyncArguments> parsed = parseArguments(args, problem);
    if (!parsed) {
        return fail(err, problem);
    }
    if (parsed->help) {
        out << kUsage;
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
    LoadResult result = prepareWorkList(parsed->paths, settingsPath(), backups,
                                        {.dryRun = parsed->dryRun || parsed->check,
                                         .confirmDrop = [allowDrop](const WorkList&) { return allowDrop; }});
    if (result.declined) {
        return fail(err, result.status.error + " Give --allow-drop to rewrite it anyway.");
    }
    if (!result.status.ok()) {
        return fail(err, result.status.error);
    }
    for (const std::string& warning : result.warnings) {
        err << "parlavo-sync: warning: " << warning << '\n';
    }
    if (parsed->check) {
        std::size_t problems = 0;
        out << checkReport(result, problems);
        out.flush();
        return problems == 0 ? kSyncNothingPending : kSyncEntriesPending;
    }
    out << entryList(result);
    out.flush();
    return result.work.pending.empty() ? kSyncNothingPending : kSyncEntriesPending;
}

} // namespace parlavo
