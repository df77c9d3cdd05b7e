#include "lang/selection.h"

#include "lang/answermemory.h"
#include "lang/keyindex.h"

#include <algorithm>

namespace parlavo {

namespace {

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
// next is where the Translated file's next key line is likely to be (the line after the last found).
std::string_view findTranslation(const LanguageLine& english, const LanguageFile& translated,
                                 const KeyLineIndex& index, std::size_t& next, IniDocument& settings,
                                 std::string& recalled) {
    std::string_view t;
    if (const auto found = index.findFrom(next, english.section, english.key)) {
        t = translated.lines[*found].value;
        next = *found + 1;
    }
    if (t.find(kUpdateNeededMarker) != std::string_view::npos) {
        t = {};
    }
    if (t.empty()) {
        recalled = recallAnswer(settings, english.value);
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

} // namespace

void selectPendingEntries(WorkList& work, IniDocument& settings) {
    const KeyLineIndex index(work.translated);
    const std::vector<LanguageLine>& lines = work.english.lines;
    work.pending.clear();
    work.outputLines.clear();
    work.outputLines.reserve(lines.size());
    std::string recalled;
    std::size_t next = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LanguageLine& line = lines[i];
        if (line.key.empty()) {
            work.outputLines.push_back(line.text);
            continue;
        }
        std::string_view t;
        if (!line.value.empty()) {
            t = findTranslation(line, work.translated, index, next, settings, recalled);
            if (t.empty()) {
                work.pending.push_back({static_cast<int>(i + 1), line.section, line.key, line.value});
            }
        }
        const bool mark = i == 0 && startsWithByteOrderMark(line.text);
        std::string& output = work.outputLines.emplace_back();
        output.reserve((mark ? kByteOrderMark.size() : 0) + line.key.size() + 1 + t.size());
        output.append(mark ? kByteOrderMark : std::string_view()).append(line.key).append(1, '=').append(t);
    }
}

std::optional<std::size_t> entryLineIn(const LanguageFile& file, const PendingEntry& entry,
                                       std::optional<KeyLineIndex>& index) {
    const auto own = static_cast<std::size_t>(entry.line - 1);
    if (entry.line >= 1 && own < file.lines.size()) {
        const LanguageLine& line = file.lines[own];
        if (line.isKeyLine && line.section == entry.section && line.key == entry.key) {
            return own;
        }
    }
    if (!index) {
        index.emplace(file);
    }
    return index->find(entry.section, entry.key);
}

} // namespace parlavo
