#include "lang/profile.h"

#include "lang/inikeytable.h"
#include "lang/textstore.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace parlavo {

namespace {

using LineId = std::uint32_t;
constexpr LineId kNoLine = KeyTable::kNone;

enum LineEnd : std::uint8_t { kNoEnd, kCrLf, kLf, kCr };
constexpr std::string_view kLineEnds[] = {"", "\r\n", "\n", "\r"};

// One line: its text without the line end, and the first line added right after it. Added lines
// chain on through next, so adding a line never moves another one.
struct Line {
    std::string_view text;
    LineId next = kNoLine;
    LineEnd end = kNoEnd;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

enum class LineKind { Blank, Comment, Header, Key };

struct Classified {
    LineKind kind = LineKind::Blank;
    std::string_view name; // section name of a header, key of a key line
};

// How a line reads. A UTF-8 byte-order mark in front of the file's first line is looked past.
Classified classify(std::string_view text, bool firstLine) {
    if (firstLine && text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    const std::string_view trimmed = trim(text);
    if (trimmed.empty()) {
        return {LineKind::Blank, {}};
    }
    if (trimmed.front() == ';') {
        return {LineKind::Comment, {}};
    }
    if (trimmed.front() == '[') {
        const std::size_t close = trimmed.rfind(']');
        if (close != std::string_view::npos) {
            return {LineKind::Header, trim(trimmed.substr(1, close - 1))};
        }
    }
    return {LineKind::Key, trim(trimmed.substr(0, trimmed.find('=')))};
}

// The value of a key line: all after the first "=", trimmed, without one pair of enclosing quotes.
std::optional<std::string> valueOf(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view value = trim(text.substr(equals + 1));
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == '"' || value.front() == '\'')) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

// True when text is value with its line breaks written as spaces.
bool equalsWithoutLineBreaks(std::string_view text, std::string_view value) {
    return text.size() == value.size() && std::equal(text.begin(), text.end(), value.begin(),
                                                     [](char a, char b) { return a == withoutLineBreak(b); });
}

struct Section {
    // The last non-blank line of the section's first block; new keys go after it. A section ""
    // with nothing above the first header has none: its keys go to the top of the file.
    LineId last = kNoLine;
};

// The first CR or LF at or after from (end when there is none), looked for eight bytes at a time.
const char* findLineBreak(const char* from, const char* end) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOnes = 0x0101010101010101ull;
        constexpr std::uint64_t kHighs = 0x8080808080808080ull;
        for (; end - from >= 8; from += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, from, 8);
            const std::uint64_t cr = word ^ (kOnes * '\r');
            const std::uint64_t lf = word ^ (kOnes * '\n');
            // The lowest flagged byte is the first zero byte of cr or lf, exactly.
            const std::uint64_t found = (((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHighs;
            if (found != 0) {
                return from + std::countr_zero(found) / 8;
            }
        }
    }
    while (from < end && *from != '\r' && *from != '\n') {
        ++from;
    }
    return from;
}

} // namespace

// The file's bytes stay in one buffer and the lines refer into it. An edited line refers to its new
// text instead; an added line is chained after the line it follows. Only a section's first block is
// indexed (of duplicate blocks the first wins); its key lines are in keys by section number.
struct IniDocument::Impl {
    std::string bytes;
    TextStore added;
    std::vector<Line> lines; // the parsed lines in file order, then the added ones
    std::size_t parsedCount = 0;
    LineId top = kNoLine;      // the first line added above the parsed ones
    LineId lastLine = kNoLine; // the file's last line
    LineEnd newLineEnd = kCrLf;
    std::vector<Section> sections;
    std::unordered_map<std::string_view, std::uint32_t, CaseBlindHash, CaseBlindEqual> sectionIds;
    KeyTable keys;
    bool changed = false;

    void split();
    void chooseLineEnd();
    void index();
    std::pair<std::uint32_t, bool> sectionNamed(std::string_view name);
    LineId firstLine() const;
    std::string_view keyOf(LineId line) const;
    LineId lookup(std::string_view section, std::string_view key, bool exact) const;
    LineId insertAfter(LineId after, std::string_view text);
    std::uint32_t addSection(std::string_view name);
    void replaceValue(LineId line, std::string_view value);
    void addKey(std::string_view sectionName, std::string_view key, std::string_view value);
    void set(std::string_view section, std::string_view key, std::string_view value, bool exact);
};

// CR LF, a lone LF and a lone CR each end a line.
void IniDocument::Impl::split() {
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    lines.reserve(bytes.size() / 32 + 1); // most lines are longer; the vector grows for the others
    for (const char* start = begin; start < end;) {
        const char* const stop = findLineBreak(start, end);
        const std::string_view text(start, static_cast<std::size_t>(stop - start));
        if (stop == end) {
            lines.push_back({text, kNoLine, kNoEnd});
            break;
        }
        const bool crlf = *stop == '\r' && stop + 1 < end && stop[1] == '\n';
        lines.push_back({text, kNoLine, crlf ? kCrLf : (*stop == '\r' ? kCr : kLf)});
        start = stop + (crlf ? 2 : 1);
    }
    parsedCount = lines.size();
    lastLine = lines.empty() ? kNoLine : static_cast<LineId>(lines.size() - 1);
}

// New lines take the line end most used in the file (CR LF when it has none).
void IniDocument::Impl::chooseLineEnd() {
    std::size_t counts[4] = {};
    for (const Line& line : lines) {
        ++counts[line.end];
    }
    const std::size_t crlf = counts[kCrLf];
    const std::size_t lf = counts[kLf];
    const std::size_t cr = counts[kCr];
    if (lf > crlf && lf >= cr) {
        newLineEnd = kLf;
    } else if (cr > crlf && cr > lf) {
        newLineEnd = kCr;
    } else {
        newLineEnd = kCrLf;
    }
}

// The section's number, and whether it is new.
std::pair<std::uint32_t, bool> IniDocument::Impl::sectionNamed(std::string_view name) {
    const auto [found, isNew] = sectionIds.try_emplace(name, static_cast<std::uint32_t>(sections.size()));
    if (isNew) {
        sections.emplace_back();
    }
    return {found->second, isNew};
}

// One pass over the lines.
void IniDocument::Impl::index() {
    keys.reserve(parsedCount);
    std::uint32_t current = sectionNamed("").first;
    bool firstBlock = true;
    for (LineId i = 0; i < parsedCount; ++i) {
        const Classified what = classify(lines[i].text, i == 0);
        if (what.kind == LineKind::Header) {
            std::tie(current, firstBlock) = sectionNamed(what.name);
        }
        if (!firstBlock || what.kind == LineKind::Blank) {
            continue;
        }
        sections[current].last = i;
        if (what.kind == LineKind::Key) {
            keys.addLater(current, what.name, i);
        }
    }
    keys.settle();
}

LineId IniDocument::Impl::firstLine() const {
    return top != kNoLine ? top : (parsedCount > 0 ? 0 : kNoLine);
}

std::string_view IniDocument::Impl::keyOf(LineId line) const {
    return classify(lines[line].text, line == firstLine()).name;
}

// The first line of the section's first block whose key matches: without regard to ASCII case, or
// byte for byte when exact.
LineId IniDocument::Impl::lookup(std::string_view section, std::string_view key, bool exact) const {
    const auto found = sectionIds.find(section);
    if (found == sectionIds.end()) {
        return kNoLine;
    }
    const std::uint32_t group = keys.findGroup(found->second, key);
    if (group == KeyTable::kNone || !exact) {
        return group == KeyTable::kNone ? kNoLine : keys.line(group);
    }
    for (std::uint32_t entry = group; entry != KeyTable::kNone; entry = keys.next(entry)) {
        if (keyOf(keys.line(entry)) == key) {
            return keys.line(entry);
        }
    }
    return kNoLine;
}

// Adds a line after the given one (at the top of the file without one). The line before a new line
// always gets a line end, so a file that lacked a final line end gains one there.
LineId IniDocument::Impl::insertAfter(LineId after, std::string_view text) {
    const auto id = static_cast<LineId>(lines.size());
    Line line{text, kNoLine, newLineEnd};
    if (after == kNoLine) {
        // A byte-order mark stays at the very start of the file, where it belongs.
        const LineId first = firstLine();
        if (first != kNoLine && lines[first].text.starts_with(kByteOrderMark)) {
            lines[first].text.remove_prefix(kByteOrderMark.size());
            line.text = added.join({kByteOrderMark, text});
        }
        line.next = top;
        top = id;
        lastLine = lastLine == kNoLine ? id : lastLine;
    } else {
        if (after == lastLine) {
            lines[after].end = lines[after].end == kNoEnd ? newLineEnd : lines[after].end;
            lastLine = id;
        }
        line.next = lines[after].next;
        lines[after].next = id;
    }
    lines.push_back(line);
    return id;
}

std::uint32_t IniDocument::Impl::addSection(std::string_view name) {
    const std::uint32_t section = sectionNamed(added.keep(name)).first;
    sections[section].last = insertAfter(lastLine, added.join({"[", name, "]"}));
    return section;
}

// Keeps the line's key, the "=" and the blanks after it, and its line end; only the value changes.
void IniDocument::Impl::replaceValue(LineId line, std::string_view value) {
    const std::string_view text = lines[line].text;
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        lines[line].text = added.join({text, "=", value});
        changed = true;
        return;
    }
    std::size_t valueStart = equals + 1;
    while (!value.empty() && valueStart < text.size() && isBlank(text[valueStart])) {
        ++valueStart;
    }
    if (!equalsWithoutLineBreaks(text.substr(valueStart), value)) {
        lines[line].text = added.join({text.substr(0, valueStart), value});
        changed = true;
    }
}

void IniDocument::Impl::addKey(std::string_view sectionName, std::string_view key, std::string_view value) {
    const auto found = sectionIds.find(sectionName);
    const std::uint32_t section = found != sectionIds.end() ? found->second : addSection(sectionName);
    const std::string_view text = added.join({key, "=", value});
    const LineId line = insertAfter(sections[section].last, text);
    sections[section].last = line;
    keys.add(section, text.substr(0, key.size()), line);
    changed = true;
}

void IniDocument::Impl::set(std::string_view section, std::string_view key, std::string_view value,
                            bool exact) {
    const LineId line = lookup(section, key, exact);
    if (line != kNoLine) {
        replaceValue(line, value);
    } else {
        addKey(section, key, value);
    }
}

IniDocument::IniDocument() : impl_(std::make_unique<Impl>()) {
    impl_->index();
}
IniDocument::~IniDocument() = default;
IniDocument::IniDocument(IniDocument&&) noexcept = default;
IniDocument& IniDocument::operator=(IniDocument&&) noexcept = default;

// A copy is parsed again from the text: its indexes then point into its own lines.
IniDocument::IniDocument(const IniDocument& other) : IniDocument(parse(other.serialize())) {
    impl_->newLineEnd = other.impl_->newLineEnd;
    impl_->changed = other.impl_->changed;
}

IniDocument& IniDocument::operator=(const IniDocument& other) {
    if (this != &other) {
        *this = IniDocument(other);
    }
    return *this;
}

IniDocument IniDocument::parse(std::string_view bytes) {
    return parseOwned(std::string(bytes));
}

IniDocument IniDocument::parseOwned(std::string bytes) {
    IniDocument document;
    Impl& impl = *document.impl_;
    impl = Impl();
    impl.bytes = std::move(bytes);
    impl.split();
    impl.chooseLineEnd();
    impl.index();
    return document;
}

std::string IniDocument::serialize() const {
    const Impl& impl = *impl_;
    std::size_t size = 0;
    for (const Line& line : impl.lines) {
        size += line.text.size() + kLineEnds[line.end].size();
    }
    std::string bytes;
    bytes.resize(size);
    char* at = bytes.data();
    auto emit = [&](const Line& line) {
        at = std::copy(line.text.begin(), line.text.end(), at);
        const std::string_view end = kLineEnds[line.end];
        at = std::copy(end.begin(), end.end(), at);
    };
    for (LineId id = impl.top; id != kNoLine; id = impl.lines[id].next) {
        emit(impl.lines[id]);
    }
    for (std::size_t i = 0; i < impl.parsedCount; ++i) {
        emit(impl.lines[i]);
        for (LineId id = impl.lines[i].next; id != kNoLine; id = impl.lines[id].next) {
            emit(impl.lines[id]);
        }
    }
    return bytes;
}

std::optional<std::string> IniDocument::find(std::string_view section, std::string_view key) const {
    const LineId line = impl_->lookup(section, key, false);
    return line != kNoLine ? valueOf(impl_->lines[line].text) : std::nullopt;
}

std::string IniDocument::get(std::string_view section, std::string_view key) const {
    return find(section, key).value_or("");
}

void IniDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    impl_->set(section, key, value, false);
}

std::optional<std::string> IniDocument::findExact(std::string_view section, std::string_view rawKey) const {
    const LineId line = impl_->lookup(section, rawKey, true);
    return line != kNoLine ? valueOf(impl_->lines[line].text) : std::nullopt;
}

void IniDocument::setExact(std::string_view section, std::string_view rawKey, std::string_view rawValue) {
    impl_->set(section, rawKey, rawValue, true);
}

bool IniDocument::changed() const {
    return impl_->changed;
}

void IniDocument::markSaved() {
    impl_->changed = false;
}

} // namespace parlavo
