#include "lang/selection.h"

#include "lang/answermemory.h"
#include "lang/keyindex.h"

#include <algorithm>

namespace parlavo {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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
std::string fixedExtensionFor(std::string_view key) {
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
std::string findTranslation(const LanguageLine& english, const LanguageFile& translated,
                            const KeyLineIndex& index, IniDocument& settings) {
    std::string t;
    if (const auto found = index.find(english.section, english.key)) {
        t = translated.lines[*found].value;
    }
    if (t.find(kUpdateNeededMarker) != std::string::npos) {
        t.clear();
    }
    if (t.empty()) {
        t = recallAnswer(settings, english.value);
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
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LanguageLine& line = lines[i];
        if (line.key.empty()) {
            work.outputLines.push_back(line.text);
            continue;
        }
        std::string output = line.key + "=";
        if (i == 0 && startsWithByteOrderMark(line.text)) {
            output.insert(0, kByteOrderMark);
        }
        if (!line.value.empty()) {
            const std::string t = findTranslation(line, work.translated, index, settings);
            if (t.empty()) {
                work.pending.push_back({static_cast<int>(i + 1), line.section, line.key, line.value});
            }
            output += t;
        }
        work.outputLines.push_back(std::move(output));
    }
}

} // namespace parlavo
