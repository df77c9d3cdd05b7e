#include "lang/languagefile.h"

#include "platform/files.h"

namespace parlavo {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Only the space character is stripped; tabs and every other byte stay.
std::string_view stripSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// The line end a file is split at: CR LF when the file holds any, else LF when it holds one.
// A file with neither is a single line and keeps the CR LF default for anything written after it.
std::string_view chooseLineEnd(std::string_view bytes) {
    if (bytes.find("\r\n") != std::string_view::npos) {
        return "\r\n";
    }
    if (bytes.find('\n') != std::string_view::npos) {
        return "\n";
    }
    return "\r\n";
}

std::vector<std::string_view> splitLines(std::string_view bytes, std::string_view lineEnd) {
    std::size_t count = 1;
    for (auto at = bytes.find(lineEnd); at != std::string_view::npos;
         at = bytes.find(lineEnd, at + lineEnd.size())) {
        ++count;
    }
    std::vector<std::string_view> lines;
    lines.reserve(count);
    std::size_t start = 0;
    for (auto at = bytes.find(lineEnd); at != std::string_view::npos; at = bytes.find(lineEnd, start)) {
        lines.push_back(bytes.substr(start, at - start));
        start = at + lineEnd.size();
    }
    lines.push_back(bytes.substr(start));
    return lines;
}

// Classifies one line; classified is the line as the rules see it (without a leading byte-order
// mark on line 1), raw is what the line keeps as its text.
LanguageLine classifyLine(std::string_view raw, std::string_view classified, std::string& section) {
    LanguageLine line;
    line.text = std::string(raw);
    if (classified.size() >= 2 && classified.front() == '[' && classified.back() == ']') {
        section = std::string(classified.substr(1, classified.size() - 2));
        return line;
    }
    const auto equals = classified.find('=');
    if (equals == std::string_view::npos) {
        return line;
    }
    line.isKeyLine = true;
    line.section = section;
    line.key = std::string(stripSpaces(classified.substr(0, equals)));
    line.value = std::string(stripSpaces(classified.substr(equals + 1)));
    return line;
}

} // namespace

bool startsWithByteOrderMark(std::string_view bytes) {
    return bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
}

LanguageFile parseLanguageFile(std::string_view bytes) {
    LanguageFile file;
    file.lineEnd = std::string(chooseLineEnd(bytes));
    const std::vector<std::string_view> raw = splitLines(bytes, file.lineEnd);
    file.lines.reserve(raw.size());
    std::string section;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        std::string_view classified = raw[i];
        if (i == 0 && startsWithByteOrderMark(classified)) {
            classified.remove_prefix(kByteOrderMark.size());
        }
        file.lines.push_back(classifyLine(raw[i], classified, section));
        if (file.lines.back().isKeyLine) {
            ++file.keyCount;
        }
    }
    return file;
}

LanguageFile loadLanguageFile(const std::string& path) {
    const std::optional<std::string> bytes = readWholeFile(path);
    return parseLanguageFile(bytes ? std::string_view(*bytes) : std::string_view());
}

} // namespace parlavo
