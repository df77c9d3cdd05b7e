#include "lang/selection.h"

#include "lang/answermemory.h"
#include "lang/answers.h"
#include "lang/changedenglish.h"
#include "lang/inikeytable.h"
#include "lang/keyindex.h"
#include "lang/settings.h"

#include <algorithm>
#include <optional>

namespace parlavo {

namespace {

constexpr std::size_t kNotFromFile = static_cast<std::size_t>(-1);

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Texts that need no translation: nothing in them is an ASCII letter, or they are a lone x or y
// (either case), which the host uses as axis names.
bool needsNoTranslation(std::string_view value) {
    if (value == "x" || value == "X" || value == "y" || value == "Y") {
        return true;
    }
    return std::none_of(value.begin(), value.end(), isAsciiLetter);
}

// Fixed values for the host's file-name lists, which hold file extensions rather than words.
std::string_view fixedExtensionFor(std::string_view key) {
    if (key.find("MainForm.cbActiveDLLSelect.Items") != std::string_view::npos) {
        return ".dll";
    }
    if (key.find("MainForm.pmLatestConfig") != std::string_view::npos ||
        key.find("MainForm.tbLatestConfig") != std::string_view::npos) {
        return ".ini";
    }
    return {};
}

// The translation an English key line gets: from the Translated file unless marked for update,
// else from the answer memory, else by the rules for texts that need none. Empty means pending.
// A text recalled from the answer memory is kept in recalled; the others stay in the files.
// next is where the Translated file's next key line is likely to be (the line after the last found);
// from is the Translated file's line the translation was taken from (kNotFromFile when it was not).
std::string_view findTranslation(const LanguageLine& english, const LanguageFile& translated,
                                 const KeyLineIndex& index, std::size_t& next, IniDocument& settings,
                                 std::string& recalled, std::size_t& from) {
    std::string_view t;
    from = kNotFromFile;
    if (const auto found = index.findFrom(next, english.section, english.key)) {
        t = translated.lines[*found].value;
        next = *found + 1;
        from = *found;
    }
    if (t.find(kUpdateNeededMarker) != std::string_view::npos) {
        t = {};
    }
    if (t.empty()) {
        from = kNotFromFile;
        recalled = recallAnswer(settings, english.value);
        if (recalled.find_first_of("\r\n") != std::string::npos) {
            recalled = singleLineAnswer(recalled); // as a typed answer: no line break in a value
        }
        t = recalled;
    }
    if (t.empty() && needsNoTranslation(english.value)) {
        t = english.value;
        rememberAnswer(settings, english.value, english.value);
    }
    if (t.empty()) {
        t = fixedExtensionFor(english.key);
    }
    return t;
}

// A line the host program reads as a comment (";TODO: key=value") is no translation.
bool isTranslation(const LanguageLine& line) {
    return line.isKeyLine && !line.value.empty() && !line.key.starts_with(';') &&
           line.value.find(kUpdateNeededMarker) == std::string::npos;
}

// The part of a rewritten key line before "=": the key, after the file's byte-order mark on line 1.
// A first key that itself begins with a mark keeps the blanks that led it in the English line, so
// that the mark is not taken for the file's own.
std::string_view keyPart(const LanguageLine& line, bool first, bool& mark) {
    mark = first && startsWithByteOrderMark(line.text);
    if (first && !mark && startsWithByteOrderMark(line.key)) {
        return std::string_view(line.text).substr(0, line.text.find('='));
    }
    return line.key;
}

// The key line of the rewrite, or nothing when it would not read back as its own key (the
// translation then is not used).
bool composeKeyLine(const LanguageLine& line, std::string_view t, bool first, std::string& output) {
    bool mark = false;
    const std::string_view key = keyPart(line, first, mark);
    output.clear();
    output.reserve((mark ? kByteOrderMark.size() : 0) + key.size() + 1 + t.size());
    output.append(mark ? kByteOrderMark : std::string_view()).append(key).append(1, '=').append(t);
    return t.empty() || keyLineReadsBack(output, line.key, first);
}

} // namespace

std::size_t countTranslations(const LanguageFile& file) {
    return static_cast<std::size_t>(std::count_if(file.lines.begin(), file.lines.end(), isTranslation));
}

void selectPendingEntries(WorkList& work, IniDocument& settings) {
    const KeyLineIndex index(work.translated);
    const std::vector<LanguageLine>& lines = work.english.lines;
    work.pending.clear();
    work.outputLines.clear();
    work.outputLines.reserve(lines.size());
    std::vector<bool> carried(work.translated.lines.size(), false);
    std::string recalled;
    std::size_t next = 0;
    std::optional<ChangedEnglishIndex> changed;
    if (settingTextOn(settings.get(kSettingsSection, kChangedEnglishSetting))) {
        changed.emplace(settings, work.english);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LanguageLine& line = lines[i];
        if (line.key.empty()) {
            work.outputLines.push_back(line.text);
            continue;
        }
        std::string_view t;
        std::size_t from = kNotFromFile;
        if (!line.value.empty()) {
            t = findTranslation(line, work.translated, index, next, settings, recalled, from);
        }
        std::string& output = work.outputLines.emplace_back();
        if (!composeKeyLine(line, t, i == 0, output)) {
            t = {};
            from = kNotFromFile;
            composeKeyLine(line, t, i == 0, output);
        }
        if (from != kNotFromFile) {
            carried[from] = true;
        }
        if (!line.value.empty() && t.empty()) {
            work.pending.push_back({static_cast<int>(i + 1), line.section, line.key, line.value, {}});
        } else if (changed && from != kNotFromFile) {
            std::string old = changed->oldSourceOf(settings, line.value, t);
            if (!old.empty()) { // the translation stays and is offered for confirming
                work.pending.push_back(
                    {static_cast<int>(i + 1), line.section, line.key, line.value, std::move(old)});
            }
        }
    }
    work.translations = 0;
    work.dropped = 0;
    for (std::size_t i = 0; i < carried.size(); ++i) {
        const bool counts = isTranslation(work.translated.lines[i]);
        work.translations += counts ? 1 : 0;
        work.dropped += counts && !carried[i] ? 1 : 0;
    }
}

std::optional<std::size_t> entryLineIn(const LanguageFile& file, const PendingEntry& entry,
                                       std::optional<KeyLineIndex>& index) {
    const auto own = static_cast<std::size_t>(entry.line - 1);
    if (entry.line >= 1 && own < file.lines.size()) {
        const LanguageLine& line = file.lines[own];
        if (line.isKeyLine && caseBlindEqual(line.section, entry.section) &&
            caseBlindEqual(line.key, entry.key)) {
            return own;
        }
    }
    if (!index) {
        index.emplace(file);
    }
    if (const std::optional<std::size_t> exact = index->find(entry.section, entry.key)) {
        return exact;
    }
    // Names that differ only in letter case are one name to the host's reader.
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        const LanguageLine& line = file.lines[i];
        if (line.isKeyLine && caseBlindEqual(line.section, entry.section) &&
            caseBlindEqual(line.key, entry.key)) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace parlavo
