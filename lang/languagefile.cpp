#include "lang/languagefile.h"

#include "platform/bytecount.h"
#include "platform/files.h"

namespace parlavo {

namespace {

// The line end used most (CR LF on a tie or when there is none).
std::string_view mostUsedLineEnd(const std::size_t (&counts)[4]) {
    const std::size_t crlf = counts[ini::kCrLf];
    const std::size_t lf = counts[ini::kLf];
    const std::size_t cr = counts[ini::kCr];
    if (lf > crlf && lf >= cr) {
        return ini::kLineEnds[ini::kLf];
    }
    if (cr > crlf && cr > lf) {
        return ini::kLineEnds[ini::kCr];
    }
    return ini::kLineEnds[ini::kCrLf];
}

bool isHeader(std::string_view classified) {
    return classified.size() >= 2 && classified.front() == '[' && classified.back() == ']';
}

// Classifies one line into line (made with its text); classified is the line as the rules see it
// (without a leading byte-order mark on line 1, which is then markSkipped). A header adds its name
// to sections.
void classifyLine(std::string_view classified, bool markSkipped, std::deque<std::string_view>& sections,
                  LanguageLine& line) {
    if (isHeader(classified)) {
        sections.push_back(classified.substr(1, classified.size() - 2));
        return;
    }
    const auto equals = classified.find('=');
    if (equals == std::string_view::npos) {
        return;
    }
    line.setKey(sections.empty() ? nullptr : &sections.back(),
                equals + (markSkipped ? kByteOrderMark.size() : 0), markSkipped);
}

} // namespace

void LanguageFile::setKeyLineText(std::size_t i, std::string_view text) {
    if (!changedTexts) {
        changedTexts = std::make_shared<TextStore>();
    }
    lines[i].setText(changedTexts->keep(text));
}

LanguageFile parseLanguageFile(std::string text) {
    const std::size_t feeds = countByte(text, '\n');
    return parseLanguageFile(std::move(text), feeds);
}

LanguageFile parseLanguageFile(std::string text, std::size_t feeds) {
    LanguageFile file;
    file.bytes = std::make_shared<const std::string>(std::move(text));
    const std::string_view bytes = *file.bytes;
    // Most files end every line with an LF, or (old Mac files) every line with a CR.
    file.lines.reserve((feeds > 0 ? feeds : countByte(bytes, '\r')) + 1);
    std::size_t endCounts[4] = {};
    file.sections = std::make_shared<std::deque<std::string_view>>();
    const char* const begin = bytes.data();
    const char* const stop = begin + bytes.size();
    for (const char* start = begin;;) {
        const char* const at = ini::findLineBreak(start, stop);
        const std::string_view raw(start, static_cast<std::size_t>(at - start));
        std::string_view classified = raw;
        const bool markSkipped = start == begin && startsWithByteOrderMark(classified);
        if (markSkipped) {
            classified.remove_prefix(kByteOrderMark.size());
        }
        LanguageLine& line = file.lines.emplace_back(raw, ini::kNoEnd);
        classifyLine(classified, markSkipped, *file.sections, line);
        file.keyCount += line.isKeyLine() ? 1 : 0;
        if (at == stop) {
            break;
        }
        const bool crlf = *at == '\r' && at + 1 < stop && at[1] == '\n';
        line.setEnd(crlf ? ini::kCrLf : (*at == '\r' ? ini::kCr : ini::kLf));
        ++endCounts[line.end()];
        start = at + (crlf ? 2 : 1);
    }
    file.lineEnd = mostUsedLineEnd(endCounts);
    return file;
}

bool keyLineReadsBack(std::string_view text, std::string_view key, bool firstLine) {
    std::string_view classified = text;
    if (firstLine && startsWithByteOrderMark(classified)) {
        classified.remove_prefix(kByteOrderMark.size());
    }
    const std::size_t equals = classified.find('=');
    if (isHeader(classified) || equals == std::string_view::npos ||
        LanguageLine::withoutSpaces(classified.substr(0, equals)) != key) {
        return false;
    }
    const std::string_view keyPart = text.substr(0, text.size() - classified.size() + equals + 1);
    return !ini::readsAsHeader(text, firstLine) || ini::readsAsHeader(keyPart, firstLine);
}

bool anyValueReadsBack(std::string_view key) {
    return !key.empty() && key.front() != '[' && !ini::isBlank(key.front()) && key.back() != ' ' &&
           key.find('=') == std::string_view::npos;
}

LanguageFile loadLanguageFile(const std::string& path) {
    Result<std::string> bytes = readWholeFile(path);
    return parseLanguageFile(std::move(bytes.value)); // empty when unreadable
}

} // namespace parlavo
