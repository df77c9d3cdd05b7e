#include "lang/profile.h"

#include "lang/inidocument.h"

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

// True when text is value with its line breaks written as spaces.
bool equalsWithoutLineBreaks(std::string_view text, std::string_view value) {
    return text.size() == value.size() && std::equal(text.begin(), text.end(), value.begin(),
                                                     [](char a, char b) { return a == withoutLineBreak(b); });
}

} // namespace

// One pass: each line is split off and indexed while its bytes are at hand. CR LF, a lone LF and
// a lone CR each end a line. Only a section's first block is indexed: of duplicate blocks the
// first wins.
void IniDocument::Impl::load(std::size_t lineFeeds) {
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    const std::size_t expected = lineFeeds + 1;
    // Room for lines and keys added later (answers, helper words), so that adding a few never copies
    // the lines or grows the key table.
    const std::size_t room = expected + expected / 16 + 64;
    lines.reserve(room);
    keys.reserve(room);
    std::uint32_t current = sectionNamed("").first;
    bool firstBlock = true;
    std::size_t endCounts[std::size(kLineEnds)] = {};
    // Every line's text can be kept as its place in the bytes (see setText).
    const bool inPlace = bytes.size() < kStoredText;
    parsedInPlace = inPlace;
    for (const char* start = begin; start < end;) {
        const char* equals = nullptr;
        const char* const stop = findLineBreak(start, end, equals);
        const bool crlf = stop + 1 < end && *stop == '\r' && stop[1] == '\n';
        const LineEnd lineEnd = stop == end ? kNoEnd : (crlf ? kCrLf : (*stop == '\r' ? kCr : kLf));
        ++endCounts[lineEnd];
        const auto i = static_cast<LineId>(lines.size());
        const std::string_view text(start, static_cast<std::size_t>(stop - start));
        if (inPlace) {
            lines.push_back({static_cast<std::uint32_t>(start - begin),
                             static_cast<std::uint32_t>(text.size()), 0, lineEnd});
        } else {
            lines.push_back({0, 0, 0, lineEnd});
            setText(lines.back(), text);
        }
        parsedCount = lines.size();
        start = stop == end ? end : stop + (crlf ? 2 : 1);

        const Classified what = classify(text, i == 0,
                                         equals != nullptr ? static_cast<std::size_t>(equals - text.data())
                                                           : std::string_view::npos);
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
    chooseLineEnd(endCounts);
}

// New lines take the line end most used in the file (CR LF when it has none).
void IniDocument::Impl::chooseLineEnd(const std::size_t (&counts)[std::size(kLineEnds)]) {
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
        sectionNames.push_back(name);
    }
    return {found->second, isNew};
}

// A settings file has a few sections, which are compared one by one: hashing the name for the table
// took half the time of a lookup in the answer memory. A file of many goes through the table.
std::optional<std::uint32_t> IniDocument::Impl::sectionId(std::string_view name) const {
    constexpr std::size_t kFewSections = 8;
    if (sectionNames.size() <= kFewSections) {
        for (std::size_t id = 0; id < sectionNames.size(); ++id) {
            if (caseBlindEqual(sectionNames[id], name)) {
                return static_cast<std::uint32_t>(id);
            }
        }
        return std::nullopt;
    }
    const auto found = sectionIds.find(name);
    return found != sectionIds.end() ? std::optional<std::uint32_t>(found->second) : std::nullopt;
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

void IniDocument::Impl::touch(LineId line) {
    if (line < parsedCount) {
        touched.push_back(line);
    }
}

LineId IniDocument::Impl::nextOf(LineId line) const {
    if (line >= parsedCount) {
        return addedNext[line - parsedCount];
    }
    const auto found = parsedNext.find(line);
    return found != parsedNext.end() ? found->second : kNoLine;
}

void IniDocument::Impl::setNext(LineId line, LineId next) {
    if (line >= parsedCount) {
        addedNext[line - parsedCount] = next;
    } else {
        parsedNext[line] = next;
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
    const std::optional<std::uint32_t> id = sectionId(section);
    if (!id) {
        return kNoLine;
    }
    const LineId first = keys.findGroup(*id, key);
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
    const LineId next = after == kNoLine ? top : nextOf(after);
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
    touch(first);
    setText(line, added.join({kByteOrderMark, textOf(line)}));
    // A file of the mark alone: what is left of its line is nothing at all, so the new line is the
    // file's last line (a later line goes right after it, with no blank line between).
    if (first == lastLine && lines[first].size == 0 && lines[first].end == kNoEnd) {
        lastLine = id;
    }
}

LineId IniDocument::Impl::insertAfter(LineId after, std::string_view text) {
    const auto id = static_cast<LineId>(lines.size());
    Line line{0, 0, 0, newLineEnd};
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
    LineId next = kNoLine;
    if (after == kNoLine) {
        next = top;
        top = id;
        lastLine = lastLine == kNoLine ? id : lastLine;
    } else {
        if (after == lastLine) {
            if (lines[after].end == kNoEnd) {
                lines[after].end = newLineEnd;
                touch(after);
            }
            lastLine = id;
        }
        next = nextOf(after);
        setNext(after, id);
    }
    lines.push_back(line);
    addedKeys.emplace_back();
    addedOwners.push_back(owner);
    addedNext.push_back(next);
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
        touch(line);
        markChanged(lines[line].section);
        return;
    }
    std::size_t valueStart = equals + 1;
    while (!value.empty() && valueStart < text.size() && isBlank(text[valueStart])) {
        ++valueStart;
    }
    if (!equalsWithoutLineBreaks(text.substr(valueStart), value)) {
        setText(lines[line], added.join({text.substr(0, valueStart), value}));
        touch(line);
        markChanged(lines[line].section);
    }
}

void IniDocument::Impl::addKey(std::string_view sectionName, std::string_view key, std::string_view value) {
    const std::optional<std::uint32_t> id = sectionId(sectionName);
    const std::uint32_t section = id ? *id : addSection(sectionName);
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
    impl_->load(0); // no bytes
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

IniDocument IniDocument::parseOwned(std::string bytes, std::optional<std::size_t> lineFeeds) {
    return parseShared(std::make_shared<const std::string>(std::move(bytes)), lineFeeds);
}

IniDocument IniDocument::parseShared(std::shared_ptr<const std::string> bytes,
                                     std::optional<std::size_t> lineFeeds) {
    IniDocument document(nullptr);
    Impl& impl = *document.impl_;
    impl.shared = std::move(bytes);
    impl.bytes = impl.shared ? std::string_view(*impl.shared) : std::string_view();
    impl.load(lineFeeds ? *lineFeeds : countByte(impl.bytes, '\n'));
    return document;
}

} // namespace parlavo
