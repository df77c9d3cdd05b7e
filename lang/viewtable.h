#pragma once

#include "lang/hashslots.h"
#include "lang/inikeytable.h"

#include <bit>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace parlavo {

// Texts (views, not copies, each shorter than 4 GiB) mapped to a value each, compared byte for
// byte. The texts must outlive the table. Open addressing over the hash's high half beside the
// entry's number, so a probe reads a text only when the hashes agree. A filter of the texts' edge
// hashes turns most texts that are not in the table away before their whole hash is worked out.
template <typename Value> class ViewTable {
  public:
    explicit ViewTable(std::size_t expected = 0) {
        reserve(expected);
        entries_.reserve(expected);
    }

    // The value of text, added with value when text is new.
    Value& insert(std::string_view text, const Value& value) { return entries_[add(text, value)].value; }

    // The same, giving the number of text's entry (numbers count up from 0 as texts are added).
    std::size_t add(std::string_view text, const Value& value) {
        if (slotsFull(entries_.size() + 1, slots_.size())) {
            reserve(2 * entries_.size() + 8);
        }
        const std::uint64_t hash = plainHash(text);
        std::size_t at = slotOf(hash, text);
        if (slots_[at] == 0) {
            markInFilter(text);
            entries_.push_back({text.data(), static_cast<std::uint32_t>(text.size()), value});
            slots_[at] = (hash & ~kIndexBits) | entries_.size();
        }
        return (slots_[at] & kIndexBits) - 1;
    }
    Value& valueAt(std::size_t entry) { return entries_[entry].value; }
    const Value& valueAt(std::size_t entry) const { return entries_[entry].value; }

    const Value* find(std::string_view text) const {
        if (entries_.empty()) {
            return nullptr;
        }
        // Most texts looked for are not in the table: a bit per edge hash, in few cache lines, says
        // so without a look at the slots.
        const std::uint64_t edges = edgeHash(text);
        if ((filter_[filterWord(edges)] & filterBit(edges)) == 0) {
            return nullptr;
        }
        const std::size_t at = slotOf(plainHash(text), text);
        return slots_[at] == 0 ? nullptr : &entries_[(slots_[at] & kIndexBits) - 1].value;
    }
    Value* find(std::string_view text) {
        return const_cast<Value*>(static_cast<const ViewTable&>(*this).find(text));
    }

  private:
    static constexpr std::uint64_t kIndexBits = 0xFFFFFFFFull;
    static constexpr int kFilterShift = 40;
    static std::uint64_t filterBit(std::uint64_t hash) { return std::uint64_t{1} << ((hash >> 34) & 63); }
    std::size_t filterWord(std::uint64_t hash) const { return (hash >> kFilterShift) & (filter_.size() - 1); }
    // A text in two parts, which with a small value keeps an entry to sixteen bytes.
    struct Entry {
        const char* text;
        std::uint32_t size;
        Value value;
    };

    static std::string_view textOf(const Entry& entry) { return {entry.text, entry.size}; }

    void markInFilter(std::string_view text) {
        const std::uint64_t edges = edgeHash(text);
        filter_[filterWord(edges)] |= filterBit(edges);
    }

    std::size_t slotOf(std::uint64_t hash, std::string_view text) const {
        const std::size_t size = slots_.size();
        for (std::size_t at = homeSlot(hash, size);; at = nextSlot(at, size)) {
            const std::uint64_t slot = slots_[at];
            if (slot == 0 || ((slot & ~kIndexBits) == (hash & ~kIndexBits) &&
                              textOf(entries_[(slot & kIndexBits) - 1]) == text)) {
                return at;
            }
        }
    }

    void reserve(std::size_t count) {
        const std::size_t size = slotsFor(count);
        if (size <= slots_.size()) {
            return;
        }
        growSlots(slots_, size);
        filter_.assign(std::bit_ceil(size / 8), 0); // about eight bits for each slot
        for (const Entry& entry : entries_) {
            markInFilter(textOf(entry));
        }
    }

    std::vector<std::uint64_t> slots_;
    std::vector<std::uint64_t> filter_;
    std::vector<Entry> entries_;
};

} // namespace parlavo
