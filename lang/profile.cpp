#include "lang/profile.h"

#include <list>
#include <unordered_map>
#include <vector>

namespace parlavo {

namespace {

struct Line {
    std::string text; // without its line end
    std::string end;  // "\r\n", "\n", "\r", or "" for a last line without one
};
using LineList = std::list<Line>;
using LineRef = LineList::iterator;

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

std::string fold(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
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
    const std::size_t close = trimmed.rfind(']');
    if (trimmed.front() == '[' && close != std::string_view::npos) {
        return {LineKind::Header, trim(trimmed.substr(1, close - 1))};
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

// Line breaks can never enter a line: they would split it and change the file's structure.
std::string withoutLineBreaks(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return result;
}

struct Section {
    // The last non-blank line of the section's first block; new keys go after it. A section ""
    // with nothing above the first header has none: its keys go to the top of the file.
    std::optional<LineRef> last;
    // The first block's key lines by folded key, in file order (keys that differ only in case share
    // an entry, so one index serves both kinds of lookup).
    struct KeyLines {
        LineRef first;
        std::vector<LineRef> later;
    };
    std::unordered_map<std::string, KeyLines> keys;
};

} // namespace

struct IniDocument::Impl {
    LineList lines;
    std::string newLineEnd = "\r\n";
    std::unordered_map<std::string, Section> sections; // folded name -> section
    bool changed = false;

    void split(std::string_view bytes);
    void chooseLineEnd();
    void index();
    void indexKey(Section& section, std::string_view key, LineRef line);
    const Section* findSection(std::string_view name) const;
    std::string_view keyOf(LineRef line) const;
    std::optional<LineRef> lookup(std::string_view section, std::string_view key, bool exact) const;
    LineRef insertAfter(std::optional<LineRef> after, std::string text);
    Section& addSection(std::string_view name);
    void replaceValue(LineRef line, std::string_view value);
    void addKey(std::string_view sectionName, std::string_view key, std::string_view value);
};

void IniDocument::Impl::split(std::string_view bytes) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t stop = bytes.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
            lines.push_back({std::string(bytes.substr(start)), ""});
            return;
        }
        const std::size_t endLength =
            (bytes[stop] == '\r' && stop + 1 < bytes.size() && bytes[stop + 1] == '\n') ? 2 : 1;
        lines.push_back(
            {std::string(bytes.substr(start, stop - start)), std::string(bytes.substr(stop, endLength))});
        start = stop + endLength;
    }
}

// New lines take the line end most used in the file (CR LF when it has none).
void IniDocument::Impl::chooseLineEnd() {
    std::size_t crlf = 0;
    std::size_t lf = 0;
    std::size_t cr = 0;
    for (const Line& line : lines) {
        crlf += line.end == "\r\n";
        lf += line.end == "\n";
        cr += line.end == "\r";
    }
    if (lf > crlf && lf >= cr) {
        newLineEnd = "\n";
    } else if (cr > crlf && cr > lf) {
        newLineEnd = "\r";
    } else {
        newLineEnd = "\r\n";
    }
}

void IniDocument::Impl::indexKey(Section& section, std::string_view key, LineRef line) {
    const auto [entry, isNew] = section.keys.try_emplace(fold(key), Section::KeyLines{line, {}});
    if (!isNew) {
        entry->second.later.push_back(line);
    }
}

// One pass over the lines. Only a section's first block is indexed: of duplicate blocks the first wins.
void IniDocument::Impl::index() {
    sections.clear();
    Section* current = &sections[""];
    bool firstBlock = true;
    bool firstLine = true;
    for (LineRef line = lines.begin(); line != lines.end(); ++line) {
        const Classified what = classify(line->text, firstLine);
        firstLine = false;
        if (what.kind == LineKind::Header) {
            auto [found, isNew] = sections.try_emplace(fold(what.name));
            current = &found->second;
            firstBlock = isNew;
        }
        if (!firstBlock || what.kind == LineKind::Blank) {
            continue;
        }
        current->last = line;
        if (what.kind == LineKind::Key) {
            indexKey(*current, what.name, line);
        }
    }
}

const Section* IniDocument::Impl::findSection(std::string_view name) const {
    const auto found = sections.find(fold(name));
    return found == sections.end() ? nullptr : &found->second;
}

std::string_view IniDocument::Impl::keyOf(LineRef line) const {
    return classify(line->text, line == lines.begin()).name;
}

// The first line of the section's first block whose key matches: without regard to ASCII case, or
// byte for byte when exact.
std::optional<LineRef> IniDocument::Impl::lookup(std::string_view section, std::string_view key,
                                                 bool exact) const {
    const Section* found = findSection(section);
    if (found == nullptr) {
        return std::nullopt;
    }
    const auto entry = found->keys.find(fold(key));
    if (entry == found->keys.end()) {
        return std::nullopt;
    }
    if (!exact || keyOf(entry->second.first) == key) {
        return entry->second.first;
    }
    for (const LineRef line : entry->second.later) {
        if (keyOf(line) == key) {
            return line;
        }
    }
    return std::nullopt;
}

// Adds a line after the given one (at the top of the file without one). The line before a new line
// always gets a line end, so a file that lacked a final line end gains one there.
LineRef IniDocument::Impl::insertAfter(std::optional<LineRef> after, std::string text) {
    const LineRef position = after ? std::next(*after) : lines.begin();
    if (position == lines.end() && !lines.empty() && lines.back().end.empty()) {
        lines.back().end = newLineEnd;
    }
    // A byte-order mark stays at the very start of the file, where it belongs.
    if (position == lines.begin() && position != lines.end() && position->text.starts_with(kByteOrderMark)) {
        position->text.erase(0, kByteOrderMark.size());
        text.insert(0, kByteOrderMark);
    }
    return lines.insert(position, Line{std::move(text), newLineEnd});
}

Section& IniDocument::Impl::addSection(std::string_view name) {
    Section& section = sections[fold(name)];
    const std::optional<LineRef> end = lines.empty() ? std::nullopt : std::optional(std::prev(lines.end()));
    section.last = insertAfter(end, "[" + withoutLineBreaks(name) + "]");
    return section;
}

// Keeps the line's key, the "=" and the blanks after it, and its line end; only the value changes.
void IniDocument::Impl::replaceValue(LineRef line, std::string_view value) {
    const std::string clean = withoutLineBreaks(value);
    std::string text = line->text;
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) {
        text += "=" + clean;
    } else {
        std::size_t valueStart = equals + 1;
        while (!clean.empty() && valueStart < text.size() && isBlank(text[valueStart])) {
            ++valueStart;
        }
        text.replace(valueStart, std::string::npos, clean);
    }
    if (text != line->text) {
        line->text = std::move(text);
        changed = true;
    }
}

void IniDocument::Impl::addKey(std::string_view sectionName, std::string_view key, std::string_view value) {
    const auto found = sections.find(fold(sectionName));
    Section& section = found != sections.end() ? found->second : addSection(sectionName);
    const std::string cleanKey = withoutLineBreaks(key);
    const LineRef line = insertAfter(section.last, cleanKey + "=" + withoutLineBreaks(value));
    section.last = line;
    indexKey(section, cleanKey, line);
    changed = true;
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
    IniDocument document;
    document.impl_->split(bytes);
    document.impl_->chooseLineEnd();
    document.impl_->index();
    return document;
}

std::string IniDocument::serialize() const {
    std::size_t size = 0;
    for (const Line& line : impl_->lines) {
        size += line.text.size() + line.end.size();
    }
    std::string bytes;
    bytes.reserve(size);
    for (const Line& line : impl_->lines) {
        bytes += line.text;
        bytes += line.end;
    }
    return bytes;
}

std::optional<std::string> IniDocument::find(std::string_view section, std::string_view key) const {
    const std::optional<LineRef> line = impl_->lookup(section, key, false);
    return line ? valueOf((*line)->text) : std::nullopt;
}

std::string IniDocument::get(std::string_view section, std::string_view key) const {
    return find(section, key).value_or("");
}

void IniDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    const std::optional<LineRef> line = impl_->lookup(section, key, false);
    if (line) {
        impl_->replaceValue(*line, value);
    } else {
        impl_->addKey(section, key, value);
    }
}

std::optional<std::string> IniDocument::findExact(std::string_view section, std::string_view rawKey) const {
    const std::optional<LineRef> line = impl_->lookup(section, rawKey, true);
    return line ? valueOf((*line)->text) : std::nullopt;
}

void IniDocument::setExact(std::string_view section, std::string_view rawKey, std::string_view rawValue) {
    const std::optional<LineRef> line = impl_->lookup(section, rawKey, true);
    if (line) {
        impl_->replaceValue(*line, rawValue);
    } else {
        impl_->addKey(section, rawKey, rawValue);
    }
}

bool IniDocument::changed() const {
    return impl_->changed;
}

void IniDocument::markSaved() {
    impl_->changed = false;
}

} // namespace parlavo
