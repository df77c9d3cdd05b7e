#include "lang/languagefile.h"

#include "lang/bytecount.h"
#include "platform/files.h"

namespace parlavo {

namespace {

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

// The position of the next line end at or after from, or npos.
std::size_t findLineEnd(std::string_view bytes, std::size_t from, std::string_view lineEnd) {
    if (lineEnd.size() == 1) {
        return bytes.find(lineEnd.front(), from);
    }
    for (std::size_t at = bytes.find('\r', from); at != std::string_view::npos;
         at = bytes.find('\r', at + 1)) {
        if (at + 1 < bytes.size() && bytes[at + 1] == '\n') {
            return at;
        }
    }
    return std::string_view::npos;
}

// Classifies one line into line (a fresh one); classified is the line as the rules see it (without
// a leading byte-order mark on line 1), raw is what the line keeps as its text.
void classifyLine(std::string_view raw, std::string_view classified, std::string& section,
                  LanguageLine& line) {
    line.text.assign(raw);
    if (classified.size() >= 2 && classified.front() == '[' && classified.back() == ']') {
        section.assign(classified.substr(1, classified.size() - 2));
        return;
    }
    const auto equals = classified.find('=');
    if (equals == std::string_view::npos) {
        return;
    }
    line.isKeyLine = true;
    line.section = section;
    line.key.assign(stripSpaces(classified.substr(0, equals)));
    line.value.assign(stripSpaces(classified.substr(equals + 1)));
}

} // namespace

LanguageFile parseLanguageFile(std::string_view bytes) {
    LanguageFile file;
    file.lineEnd = std::string(chooseLineEnd(bytes));
    const std::string_view lineEnd = file.lineEnd;
    // Every line end holds an LF: their count bounds the number of lines.
    file.lines.reserve(countByte(bytes, '\n') + 1);
    std::string section;
    for (std::size_t start = 0;;) {
        const std::size_t at = findLineEnd(bytes, start, lineEnd);
        const std::string_view raw = bytes.substr(start, at == std::string_view::npos ? at : at - start);
        std::string_view classified = raw;
        if (start == 0 && startsWithByteOrderMark(classified)) {
            classified.remove_prefix(kByteOrderMark.size());
        }
        LanguageLine& line = file.lines.emplace_back();
        classifyLine(raw, classified, section, line);
        file.keyCount += line.isKeyLine ? 1 : 0;
        if (at == std::string_view::npos) {
            break;
        }
        start = at + lineEnd.size();
    }
    return file;
}

LanguageFile loadLanguageFile(const std::string& path) {
    const Result<std::string> bytes = readWholeFile(path);
    return parseLanguageFile(bytes.value); // empty when unreadable
}

} // namespace parlavo
