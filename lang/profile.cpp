#include "lang/profile.h"

#include "lang/inikeytable.h"
#include "lang/inilines.h"
#include "lang/textstore.h"
#include "platform/bytecount.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace parlavo {

namespace {

using namespace ini;

// The value of a key line: all after the first "=", trimmed, without one pair of enclosing quotes.
std::optional<std::string_view> valueViewOf(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view value = trim(text.substr(equals + 1));
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == '"' || value.front() == '\'')) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

std::optional<std::string> valueOf(std::string_view text) {
    const std::optional<std::string_view> value = valueViewOf(text);
    return value ? std::optional<std::string>(*value) : std::nullopt;
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

} // namespace

// The file's bytes stay in one buffer and the lines refer into it. An edited line refers to its new
// text instead; an added line is chained after the line it follows. Only a section's first block is
// indexed (of duplicate blocks the first wins); its key lines are in keys by section number.
struct IniDocument::Impl final : KeyTable::Reader {
    std::shared_ptr<const std::string> shared; // the bytes parsed, which never change
    std::string_view bytes;
    TextStore added;
    std::vector<Line> lines;                   // the parsed lines in file order, then the added ones
    std::vector<std::string_view> storedTexts; // of lines whose text is not where it was read
    std::size_t parsedCount = 0;
    std::vector<std::string_view> addedKeys; // by added line: the key it was added under
    std::vector<LineId> addedOwners;         // by added line: the parsed line it follows (kNoLine: top)
    LineId top = kNoLine;                    // the first line added above the parsed ones
    LineId lastLine = kNoLine;               // the file's last line
    LineEnd newLineEnd = kCrLf;
    std::vector<Section> sections;
    std::vector<bool> sectionsChanged; // by section number: a key line set since parse
    std::unordered_map<std::string_view, std::uint32_t, CaseBlindHash, CaseBlindEqual> sectionIds;
    KeyTable keys{*this};
    bool changed = false;

    Impl() = default;
    Impl(const Impl&) = delete; // the key table reads this object's lines
    Impl& operator=(const Impl&) = delete;

    std::uint32_t sectionOf(LineId line) const override { return lines[line].section; }
    std::string_view textOf(const Line& line) const {
        return line.size == kStoredText ? storedTexts[line.start]
                                        : std::string_view(bytes.data() + line.start, line.size);
    }
    std::string_view textOf(LineId line) const { return textOf(lines[line]); }
    void setText(Line& line, std::string_view text);
    std::string_view keyOf(LineId line) const override;

    void load();
    void chooseLineEnd();
    std::pair<std::uint32_t, bool> sectionNamed(std::string_view name);
    LineId firstLine() const;
    std::string_view readKey(LineId line) const;
    LineId lookup(std::string_view section, std::string_view key, bool exact) const;
    LineId insertAfter(LineId after, std::string_view text);
    void takeByteOrderMark(Line& line, LineId id);
    LineId followerOf(LineId after, LineId owner) const;
    std::uint32_t addSection(std::string_view name);
    void replaceValue(LineId line, std::string_view value);
    void markChanged(std::uint32_t section);
    void addKey(std::string_view sectionName, std::string_view key, std::string_view value);
    void set(std::string_view section, std::string_view key, std::string_view value, bool exact);
};

// One pass: each line is split off and indexed while its bytes are at hand. CR LF, a lone LF and
// a lone CR each end a line. Only a section's first block is indexed: of duplicate blocks the
// first wins.
void IniDocument::Impl::load() {
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    const std::size_t expected = countByte(bytes, '\n') + 1;
    // Room for lines added later (answers, helper words), so that adding a few never copies them all.
    lines.reserve(expected + expected / 16 + 64);
    keys.reserve(expected);
    std::uint32_t current = sectionNamed("").first;
    bool firstBlock = true;
    for (const char* start = begin; start < end;) {
        const char* const stop = findLineBreak(start, end);
        const bool crlf = stop + 1 < end && *stop == '\r' && stop[1] == '\n';
        const LineEnd lineEnd = stop == end ? kNoEnd : (crlf ? kCrLf : (*stop == '\r' ? kCr : kLf));
        const auto i = static_cast<LineId>(lines.size());
        lines.push_back({0, 0, kNoLine, 0, lineEnd});
        setText(lines.back(), std::string_view(start, static_cast<std::size_t>(stop - start)));
        parsedCount = lines.size();
        start = stop == end ? end : stop + (crlf ? 2 : 1);

        const Classified what = classify(textOf(i), i == 0);
        if (what.kind == LineKind::Header) {
            std::tie(current, firstBlock) = sectionNamed(what.name);
        }
        if (!firstBlock || what.kind == LineKind::Blank) {
            continue;
        }
        sections[current].last = i;
        if (what.kind == LineKind::Key) {
            lines[i].section = current;
            keys.addSoon(current, what.name, i);
        }
    }
    keys.settle();
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

// A text within the file's bytes is kept as its place there (when that fits the line); any other is
// stored.
void IniDocument::Impl::setText(Line& line, std::string_view text) {
    const std::less_equal<const char*> notAfter;
    const bool inBytes = notAfter(bytes.data(), text.data()) &&
                         notAfter(text.data() + text.size(), bytes.data() + bytes.size());
    const auto start = inBytes ? static_cast<std::size_t>(text.data() - bytes.data()) : 0;
    if (text.empty()) {
        line.start = line.size = 0;
    } else if (inBytes && start <= kStoredText && text.size() < kStoredText) {
        line.start = static_cast<std::uint32_t>(start);
        line.size = static_cast<std::uint32_t>(text.size());
    } else {
        line.start = static_cast<std::uint32_t>(storedTexts.size());
        line.size = kStoredText;
        storedTexts.push_back(text);
    }
}

LineId IniDocument::Impl::firstLine() const {
    return top != kNoLine ? top : (parsedCount > 0 ? 0 : kNoLine);
}

// The key as the line reads now.
std::string_view IniDocument::Impl::readKey(LineId line) const {
    return classify(textOf(line), line == firstLine()).name;
}

// The key the line is filed under: as it read when the file was parsed, or as it was added.
std::string_view IniDocument::Impl::keyOf(LineId line) const {
    return line < parsedCount ? classify(textOf(line), line == firstLine()).name
                              : addedKeys[line - parsedCount];
}

// The first line of the section's first block whose key matches: without regard to ASCII case, or
// byte for byte when exact.
LineId IniDocument::Impl::lookup(std::string_view section, std::string_view key, bool exact) const {
    const auto found = sectionIds.find(section);
    if (found == sectionIds.end()) {
        return kNoLine;
    }
    const LineId first = keys.findGroup(found->second, key);
    if (first == kNoLine || !exact || readKey(first) == key) {
        return first;
    }
    for (const LineId line : keys.laterLines(first)) {
        if (readKey(line) == key) {
            return line;
        }
    }
    return kNoLine;
}

// Adds a line after the given one (at the top of the file without one). The line before a new line
// always gets a line end, so a file that lacked a final line end gains one there.
// The line that comes right after the given one (kNoLine: the top) in the file; owner is the parsed
// line whose chain of added lines holds it.
LineId IniDocument::Impl::followerOf(LineId after, LineId owner) const {
    const LineId next = after == kNoLine ? top : lines[after].next;
    if (next != kNoLine) {
        return next;
    }
    const LineId parsed = owner == kNoLine ? 0 : owner + 1;
    return parsed < parsedCount ? parsed : kNoLine;
}

// A byte-order mark stays at the very start of the file, where it belongs: a line added above the
// first one (to be line id) takes it over.
void IniDocument::Impl::takeByteOrderMark(Line& line, LineId id) {
    const LineId first = firstLine();
    if (first == kNoLine || !startsWithByteOrderMark(textOf(first))) {
        return;
    }
    setText(lines[first], textOf(first).substr(kByteOrderMark.size()));
    setText(line, added.join({kByteOrderMark, textOf(line)}));
    // A file of the mark alone: what is left of its line is nothing at all, so the new line is the
    // file's last line (a later line goes right after it, with no blank line between).
    if (first == lastLine && lines[first].size == 0 && lines[first].end == kNoEnd) {
        lastLine = id;
    }
}

LineId IniDocument::Impl::insertAfter(LineId after, std::string_view text) {
    const auto id = static_cast<LineId>(lines.size());
    Line line{0, 0, kNoLine, 0, newLineEnd};
    setText(line, text);
    const LineId owner = after == kNoLine || after < parsedCount ? after : addedOwners[after - parsedCount];
    if (after == kNoLine) {
        takeByteOrderMark(line, id); // first, so that the blank-line check below sees the line without it
    }
    // A lone CR in front of a blank line ending in LF would read as one CR LF with it, and the blank
    // line would be gone.
    const LineId follower = followerOf(after, owner);
    if (line.end == kCr && follower != kNoLine && lines[follower].size == 0 && lines[follower].end == kLf) {
        line.end = kCrLf;
    }
    if (after == kNoLine) {
        line.next = top;
        top = id;
        lastLine = lastLine == kNoLine ? id : lastLine;
    } else {
        if (after == lastLine) {
            if (lines[after].end == kNoEnd) {
                lines[after].end = newLineEnd;
            }
            lastLine = id;
        }
        line.next = lines[after].next;
        lines[after].next = id;
    }
    lines.push_back(line);
    addedKeys.emplace_back();
    addedOwners.push_back(owner);
    return id;
}

std::uint32_t IniDocument::Impl::addSection(std::string_view name) {
    const std::uint32_t section = sectionNamed(added.keep(name)).first;
    sections[section].last = insertAfter(lastLine, added.join({"[", name, "]"}));
    return section;
}

// Keeps the line's key, the "=" and the blanks after it, and its line end; only the value changes.
void IniDocument::Impl::replaceValue(LineId line, std::string_view value) {
    const std::string_view text = textOf(line);
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        setText(lines[line], added.join({text, "=", value}));
        markChanged(lines[line].section);
        return;
    }
    std::size_t valueStart = equals + 1;
    while (!value.empty() && valueStart < text.size() && isBlank(text[valueStart])) {
        ++valueStart;
    }
    if (!equalsWithoutLineBreaks(text.substr(valueStart), value)) {
        setText(lines[line], added.join({text.substr(0, valueStart), value}));
        markChanged(lines[line].section);
    }
}

void IniDocument::Impl::addKey(std::string_view sectionName, std::string_view key, std::string_view value) {
    const auto found = sectionIds.find(sectionName);
    const std::uint32_t section = found != sectionIds.end() ? found->second : addSection(sectionName);
    const std::string_view text = added.join({key, "=", value});
    const LineId line = insertAfter(sections[section].last, text);
    sections[section].last = line;
    lines[line].section = section;
    addedKeys[line - parsedCount] = text.substr(0, key.size());
    keys.add(section, addedKeys[line - parsedCount], line);
    markChanged(section);
}

void IniDocument::Impl::markChanged(std::uint32_t section) {
    changed = true;
    if (section >= sectionsChanged.size()) {
        sectionsChanged.resize(section + 1, false);
    }
    sectionsChanged[section] = true;
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

IniDocument::IniDocument() : IniDocument(nullptr) {
    impl_->load();
}
IniDocument::IniDocument(std::nullptr_t) : impl_(std::make_unique<Impl>()) {}
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
    return parseShared(std::make_shared<const std::string>(std::move(bytes)));
}

IniDocument IniDocument::parseShared(std::shared_ptr<const std::string> bytes) {
    IniDocument document(nullptr);
    Impl& impl = *document.impl_;
    impl.shared = std::move(bytes);
    impl.bytes = impl.shared ? std::string_view(*impl.shared) : std::string_view();
    impl.load();
    impl.chooseLineEnd();
    return document;
}

std::string_view IniDocument::parsedBytes() const {
    return impl_->bytes;
}

std::shared_ptr<const std::string> IniDocument::sharedBytes() const {
    return impl_->shared;
}

bool IniDocument::sectionAsRead(std::string_view section) const {
    const auto found = impl_->sectionIds.find(section);
    return found == impl_->sectionIds.end() || found->second >= impl_->sectionsChanged.size() ||
           !impl_->sectionsChanged[found->second];
}

std::string IniDocument::serialize() const {
    const std::vector<std::string_view> parts = pieces();
    std::size_t size = 0;
    for (const std::string_view part : parts) {
        size += part.size();
    }
    std::string bytes;
    bytes.reserve(size);
    for (const std::string_view part : parts) {
        bytes += part;
    }
    return bytes;
}

std::vector<std::string_view> IniDocument::pieces() const {
    const Impl& impl = *impl_;
    const std::string_view parsed = impl.bytes;
    std::vector<std::string_view> pieces;
    auto emit = [&](const Line& line) {
        const std::string_view end = kLineEnds[line.end];
        const std::string_view text = impl.textOf(line);
        const char* const start = text.data();
        const bool inParsed =
            std::less_equal<const char*>()(parsed.data(), start) &&
            std::less_equal<const char*>()(start + text.size(), parsed.data() + parsed.size());
        // A line still as it was read, with the same end, is part of the parsed text.
        if (inParsed &&
            parsed.substr(static_cast<std::size_t>(start - parsed.data()) + text.size()).starts_with(end)) {
            if (!pieces.empty() && pieces.back().data() + pieces.back().size() == start) {
                pieces.back() = {pieces.back().data(), pieces.back().size() + text.size() + end.size()};
            } else {
                pieces.emplace_back(start, text.size() + end.size());
            }
            return;
        }
        pieces.push_back(text);
        pieces.push_back(end);
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
    return pieces;
}

std::optional<std::string> IniDocument::find(std::string_view section, std::string_view key) const {
    const LineId line = impl_->lookup(section, key, false);
    return line != kNoLine ? valueOf(impl_->textOf(line)) : std::nullopt;
}

std::string IniDocument::get(std::string_view section, std::string_view key) const {
    return find(section, key).value_or("");
}

void IniDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    impl_->set(section, key, value, false);
}

std::string valueReadingBackAs(std::string_view value) {
    // Reading trims blanks and takes off one pair of enclosing quotes: a value that would lose
    // either goes inside a pair of quotes.
    const bool quoted =
        value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\'');
    if (quoted || (!value.empty() && (isBlank(value.front()) || isBlank(value.back())))) {
        return "\"" + std::string(value) + "\"";
    }
    return std::string(value);
}

std::optional<std::string> IniDocument::findExact(std::string_view section, std::string_view rawKey) const {
    const LineId line = impl_->lookup(section, rawKey, true);
    return line != kNoLine ? valueOf(impl_->textOf(line)) : std::nullopt;
}

void IniDocument::setExact(std::string_view section, std::string_view rawKey, std::string_view rawValue) {
    impl_->set(section, rawKey, rawValue, true);
}

bool IniDocument::mayHaveEntries(std::string_view section) const {
    const auto found = impl_->sectionIds.find(section);
    return found != impl_->sectionIds.end() && found->second != 0;
}

void IniDocument::forEachEntry(
    std::string_view section,
    const std::function<void(std::string_view key, std::string_view value)>& visit) const {
    const Impl& impl = *impl_;
    const auto found = impl.sectionIds.find(section);
    // Only the key lines of a section's first block know their section; others say 0, the number
    // of the section above the first header, which is therefore never listed.
    if (found == impl.sectionIds.end() || found->second == 0) {
        return;
    }
    const std::uint32_t id = found->second;
    std::vector<LineId> later = impl.keys.allLaterLines();
    std::sort(later.begin(), later.end());
    auto each = [&](LineId line) {
        if (impl.lines[line].section != id) {
            return;
        }
        const std::string_view key = impl.readKey(line);
        // A line sharing its key with an earlier one (letter case aside) is read only when no
        // earlier line has exactly its key.
        if (std::binary_search(later.begin(), later.end(), line) && impl.lookup(section, key, true) != line) {
            return;
        }
        if (const std::optional<std::string_view> value = valueViewOf(impl.textOf(line))) {
            visit(key, *value);
        }
    };
    for (LineId line = impl.top; line != kNoLine; line = impl.lines[line].next) {
        each(line);
    }
    for (std::size_t i = 0; i < impl.parsedCount; ++i) {
        each(static_cast<LineId>(i));
        for (LineId line = impl.lines[i].next; line != kNoLine; line = impl.lines[line].next) {
            each(line);
        }
    }
}

bool IniDocument::changed() const {
    return impl_->changed;
}

void IniDocument::markSaved() {
    impl_->changed = false;
}

} // namespace parlavo
