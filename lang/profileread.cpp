// IniDocument read and written out: lookups, the entries of a section, the text in pieces.

#include "lang/inidocument.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parlavo {

namespace {

using namespace ini;

std::optional<std::string> copiedValueOf(std::string_view text) {
    const std::optional<std::string_view> value = ini::valueOf(text);
    return value ? std::optional<std::string>(*value) : std::nullopt;
}

// True when the bytes from at (up to limit) begin with the line end (compared in place: a library
// call for its one or two bytes took half the time of writing a large file out in pieces).
bool followedBy(const char* at, const char* limit, std::string_view end) {
    if (static_cast<std::size_t>(limit - at) < end.size()) {
        return false;
    }
    for (std::size_t i = 0; i < end.size(); ++i) {
        if (at[i] != end[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string_view IniDocument::parsedBytes() const {
    return impl_->bytes;
}

std::shared_ptr<const std::string> IniDocument::sharedBytes() const {
    return impl_->shared;
}

bool IniDocument::sectionAsRead(std::string_view section) const {
    const std::optional<std::uint32_t> id = impl_->sectionId(section);
    return !id || *id >= impl_->sectionsChanged.size() || !impl_->sectionsChanged[*id];
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
    // Bytes of the parsed text join the piece before them when they follow it there.
    auto addParsed = [&](const char* start, std::size_t size) {
        if (!pieces.empty() && pieces.back().data() + pieces.back().size() == start) {
            pieces.back() = {pieces.back().data(), pieces.back().size() + size};
        } else {
            pieces.emplace_back(start, size);
        }
    };
    auto emit = [&](const Line& line) {
        const std::string_view end = kLineEnds[line.end];
        const std::string_view text = impl.textOf(line);
        const char* const start = text.data();
        const bool inParsed =
            std::less_equal<const char*>()(parsed.data(), start) &&
            std::less_equal<const char*>()(start + text.size(), parsed.data() + parsed.size());
        // A line still as it was read, with the same end, is part of the parsed text.
        if (inParsed && followedBy(start + text.size(), parsed.data() + parsed.size(), end)) {
            addParsed(start, text.size() + end.size());
            return;
        }
        pieces.push_back(text);
        pieces.push_back(end);
    };
    auto emitAdded = [&](LineId from) {
        for (LineId id = from; id != kNoLine; id = impl.nextOf(id)) {
            emit(impl.lines[id]);
        }
    };
    // Parsed lines [from, to) that read as in the parsed text: one range of it.
    auto emitUnchanged = [&](LineId from, LineId to) {
        if (from >= to || !impl.parsedInPlace) {
            for (LineId id = from; id < to; ++id) {
                emit(impl.lines[id]);
            }
            return;
        }
        const Line& last = impl.lines[to - 1];
        const std::size_t stop = last.start + last.size + kLineEnds[last.end].size();
        addParsed(parsed.data() + impl.lines[from].start, stop - impl.lines[from].start);
    };
    // Only the parsed lines changed or followed by added ones are looked at one by one.
    std::vector<LineId> marked = impl.touched;
    for (const auto& [line, next] : impl.parsedNext) {
        marked.push_back(line);
    }
    std::sort(marked.begin(), marked.end());
    marked.erase(std::unique(marked.begin(), marked.end()), marked.end());
    emitAdded(impl.top);
    LineId from = 0;
    for (const LineId line : marked) {
        emitUnchanged(from, line);
        emit(impl.lines[line]);
        if (const auto next = impl.parsedNext.find(line); next != impl.parsedNext.end()) {
            emitAdded(next->second);
        }
        from = line + 1;
    }
    emitUnchanged(from, static_cast<LineId>(impl.parsedCount));
    return pieces;
}

std::optional<std::string> IniDocument::find(std::string_view section, std::string_view key) const {
    const LineId line = impl_->lookup(section, key, false);
    return line != kNoLine ? copiedValueOf(impl_->textOf(line)) : std::nullopt;
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
    return line != kNoLine ? copiedValueOf(impl_->textOf(line)) : std::nullopt;
}

void IniDocument::setExact(std::string_view section, std::string_view rawKey, std::string_view rawValue) {
    impl_->set(section, rawKey, rawValue, true);
}

bool IniDocument::mayHaveEntries(std::string_view section) const {
    const std::optional<std::uint32_t> id = impl_->sectionId(section);
    return id && *id != 0;
}

void IniDocument::forEachEntry(
    std::string_view section,
    const std::function<void(std::string_view key, std::string_view value)>& visit) const {
    forEachEntries(section, [&](std::span<const Entry> entries) {
        for (const Entry& entry : entries) {
            visit(entry.key(), entry.value);
        }
    });
}

std::string_view IniDocument::Entry::key() const {
    return ini::keyBefore(beforeEquals, beforeEquals.size(), firstLine);
}

void IniDocument::forEachEntries(std::string_view section,
                                 const std::function<void(std::span<const Entry>)>& visit) const {
    const Impl& impl = *impl_;
    const std::optional<std::uint32_t> found = impl.sectionId(section);
    // Only the key lines of a section's first block know their section; others say 0, the number
    // of the section above the first header, which is therefore never listed.
    if (!found || *found == 0) {
        return;
    }
    const std::uint32_t id = *found;
    std::vector<bool> later(impl.lines.size(), false); // lines sharing their key with an earlier one
    for (const LineId line : impl.keys.allLaterLines()) {
        later[line] = true;
    }
    const LineId first = impl.firstLine();
    Entry gathered[kEntriesAtOnce];
    std::size_t count = 0;
    auto each = [&](LineId line) {
        impl.fetchTextAhead(line);
        if (impl.lines[line].section != id) {
            return;
        }
        // A key line of the section: its key and value are read around its first "=" (a line
        // without one has no value and is not listed).
        const std::string_view text = impl.textOf(line);
        const std::size_t equals = ini::firstEquals(text);
        if (equals == std::string_view::npos) {
            return;
        }
        Entry& entry = gathered[count]; // filled in place: a copy stalled on its parts' stores
        entry.value = ini::valueAfter(text, equals);
        entry.beforeEquals = text.substr(0, equals);
        entry.firstLine = line == first;
        // A line sharing its key with an earlier one (letter case aside) is read only when no
        // earlier line has exactly its key.
        if (later[line] && impl.lookup(section, entry.key(), true) != line) {
            return;
        }
        ++count;
        if (count == kEntriesAtOnce) {
            visit({gathered, count});
            count = 0;
        }
    };
    impl.eachInOrder(each);
    if (count != 0) {
        visit({gathered, count});
    }
}

bool IniDocument::changed() const {
    return impl_->changed;
}

void IniDocument::markSaved() {
    impl_->changed = false;
}

} // namespace parlavo
