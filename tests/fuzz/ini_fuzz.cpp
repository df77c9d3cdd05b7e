// The INI service: a text reads and writes back unchanged; a write reads back as written and leaves
// every other line as it was, byte for byte (a file without a final line end gains one when a line
// is added after it).

#include "fuzzinput.h"
#include "lang/profile.h"
#include "platform/byteordermark.h"

#include <string>

using namespace parlavo;
using namespace parlavo::fuzz;

namespace {

// Names and values as the service's callers must give them: no line breaks and no blanks at the
// edges; a key with no "=", not starting with "[", ";" or a byte-order mark (at the top of the file
// that reads as the file's own); a value in no enclosing quotes.
std::string cleaned(std::string_view raw, std::string_view dropped) {
    std::string text;
    for (const char c : raw) {
        text += dropped.find(c) == std::string_view::npos ? std::string(1, c) : std::string();
    }
    const std::size_t start = text.find_first_not_of(" \t\v");
    return start == std::string::npos ? std::string()
                                      : text.substr(start, text.find_last_not_of(" \t\v") + 1 - start);
}

std::string keyName(std::string_view raw) {
    std::string key = cleaned(raw, "\r\n=");
    while (!key.empty() && (key.front() == '[' || key.front() == ';' || key.starts_with(kByteOrderMark))) {
        key = cleaned(key.substr(key.front() == '[' || key.front() == ';' ? 1 : kByteOrderMark.size()), "");
    }
    return key.empty() ? "k" : key;
}

std::string valueText(std::string_view raw) {
    std::string value = cleaned(raw, "\r\n");
    while (value.size() >= 2 && value.front() == value.back() &&
           (value.front() == '"' || value.front() == '\'')) {
        value = cleaned(std::string_view(value).substr(0, value.size() - 1), "");
    }
    return value;
}

// The same line, or the file's last line that has gained a line end.
bool sameLine(const TextLine& before, const TextLine& after, bool lastBefore) {
    return before.text == after.text && (before.end == after.end || (lastBefore && before.end.empty()));
}

// One line changed, or one or two lines added (a key, or a new section's header and its key). A
// byte-order mark stays at the start of the file, also when a line is added above the first.
void requireOneLineChanged(std::string_view beforeText, std::string_view afterText) {
    if (beforeText.starts_with(kByteOrderMark)) {
        require(afterText.starts_with(kByteOrderMark), "a byte-order mark stays at the start");
        beforeText.remove_prefix(kByteOrderMark.size());
        afterText.remove_prefix(kByteOrderMark.size());
        // A file of the mark alone: its one (empty) line gains a line end before the added lines.
        if (beforeText.empty()) {
            const bool crlf = afterText.starts_with("\r\n");
            const bool lone = afterText.starts_with("\n") || afterText.starts_with("\r");
            afterText.remove_prefix(crlf ? 2 : (lone ? 1 : 0));
        }
    }
    const std::vector<TextLine> before = splitTextLines(beforeText);
    const std::vector<TextLine> after = splitTextLines(afterText);
    std::size_t head = 0;
    while (head < before.size() && head < after.size() &&
           sameLine(before[head], after[head], head + 1 == before.size())) {
        ++head;
    }
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           sameLine(before[before.size() - 1 - tail], after[after.size() - 1 - tail], tail == 0)) {
        ++tail;
    }
    const std::size_t removed = before.size() - head - tail;
    const std::size_t added = after.size() - head - tail;
    const bool replaced =
        removed == 1 && added == 1 &&
        (before[head].end == after[head].end || (head + 1 == before.size() && before[head].end.empty()));
    require(replaced || (removed == 0 && added <= 2),
            "a write changes one line or adds one or two, and leaves every other line as it was");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::string_view text = input.piece();
    IniDocument document = IniDocument::parse(text);
    require(document.serialize() == text, "a text reads and writes back unchanged");
    for (int write = 0; write < 4 && !input.empty(); ++write) {
        const std::string section = cleaned(input.piece(), "\r\n");
        const std::string key = keyName(input.piece());
        const std::string value = valueText(input.piece());
        const std::string before = document.serialize();
        document.set(section, key, value);
        const std::string after = document.serialize();
        require(document.get(section, key) == value, "a write reads back as written");
        require(IniDocument::parse(after).get(section, key) == value, "a write reads back from the file");
        requireOneLineChanged(before, after);
    }
    return 0;
}
