#pragma once

#include "lang/hashslots.h"
#include "lang/inikeytable.h"

#include <bit>

#include <cstddef>
#include <cstdint>
#include <optional>
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
        return place(text, plainHash(text), std::nullopt, value);
    }

    // For many texts at once: addSoon may add a text a few calls later, its hashes worked out and
    // its slot fetched meanwhile (a table larger than the caches otherwise waits for the memory at
    // each text); settle adds the rest. Texts are added in the order given; lookups see a text only
    // once it is in.
    void addSoon(std::string_view text, const Value& value) {
        Soon& soon = soon_[soonCount_ % kAhead];
        if (soonCount_ >= kAhead) {
            place(soon.text, soon.hash, soon.edges, soon.value);
        }
        soon = {text, plainHash(text), edgeHash(text), value};
#if defined(__GNUC__)
        __builtin_prefetch(&slots_[homeSlot(soon.hash, slots_.size())]);
        __builtin_prefetch(&filter_[filterWord(soon.edges)]);
#endif
        ++soonCount_;
    }
    void settle() {
        for (std::size_t i = soonCount_ > kAhead ? soonCount_ - kAhead : 0; i < soonCount_; ++i) {
            const Soon& soon = soon_[i % kAhead];
            place(soon.text, soon.hash, soon.edges, soon.value);
        }
        soonCount_ = 0;
    }
    Value& valueAt(std::size_t entry) {
        return entries_[entry].value;
    }
    const Value& valueAt(std::size_t entry) const {
        return entries_[entry].value;
    }

    const Value* find(std::string_view text) const {
        Probe probed = probe(text);
        narrow(text, probed);
        return find(text, probed);
    }

    // For many lookups at once, in steps that each fetch what the next reads, so that the waits of
    // many texts overlap: probe works out a text's edge hash and fetches its filter word, narrow
    // reads that and works out the hash and fetches the slot of a text that may be in the table,
    // find then reads the slot.
    struct Probe {
        std::uint64_t edges = 0;
        std::uint64_t hash = 0;
        bool maybeIn = false; // false: the text is not in the table
    };
    Probe probe(std::string_view text) const {
        if (entries_.empty()) {
            return {};
        }
        const std::uint64_t edges = edgeHash(text);
#if defined(__GNUC__)
        __builtin_prefetch(&filter_[filterWord(edges)]);
#endif
        return {edges, 0, true};
    }
    void narrow(std::string_view text, Probe& probed) const {
        // Most texts looked for are not in the table: a bit per edge hash, in few cache lines, says
        // so without a look at the slots.
        if (!probed.maybeIn || (filter_[filterWord(probed.edges)] & filterBit(probed.edges)) == 0) {
            probed.maybeIn = false;
            return;
        }
        probed.hash = plainHash(text);
#if defined(__GNUC__)
        __builtin_prefetch(&slots_[homeSlot(probed.hash, slots_.size())]);
#endif
    }
    const Value* find(std::string_view text, const Probe& probed) const {
        if (!probed.maybeIn) {
            return nullptr;
        }
        const std::size_t at = slotOf(probed.hash, text);
        return slots_[at] == 0 ? nullptr : &entries_[(slots_[at] & kIndexBits) - 1].value;
    }
    Value* find(std::string_view text) {
        return const_cast<Value*>(static_cast<const ViewTable&>(*this).find(text));
    }
    Value* find(std::string_view text, const Probe& probed) {
        return const_cast<Value*>(static_cast<const ViewTable&>(*this).find(text, probed));
    }

  private:
    static constexpr std::uint64_t kIndexBits = 0xFFFFFFFFull;
    static constexpr int kFilterShift = 40;
    static std::uint64_t filterBit(std::uint64_t hash) {
        return std::uint64_t{1} << ((hash >> 34) & 63);
    }
    std::size_t filterWord(std::uint64_t hash) const {
        return (hash >> kFilterShift) & (filter_.size() - 1);
    }
    // A text in two parts, which with a small value keeps an entry to sixteen bytes.
    struct Entry {
        const char* text;
        std::uint32_t size;
        Value value;
    };

    static std::string_view textOf(const Entry& entry) {
        return {entry.text, entry.size};
    }

    void markInFilter(std::uint64_t edges) {
        filter_[filterWord(edges)] |= filterBit(edges);
    }

    // Adds text by its hash (and its edge hash, when known) unless it is there; its entry's number.
    std::size_t place(std::string_view text, std::uint64_t hash, std::optional<std::uint64_t> edges,
                      const Value& value) {
        if (slotsFull(entries_.size() + 1, slots_.size())) {
            reserve(2 * entries_.size() + 8);
        }
        const std::size_t at = slotOf(hash, text);
        if (slots_[at] == 0) {
            markInFilter(edges ? *edges : edgeHash(text));
            entries_.push_back({text.data(), static_cast<std::uint32_t>(text.size()), value});
            slots_[at] = (hash & ~kIndexBits) | entries_.size();
        }
        return (slots_[at] & kIndexBits) - 1;
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
            markInFilter(edgeHash(textOf(entry)));
        }
    }

    struct Soon {
        std::string_view text;
        std::uint64_t hash;
        std::uint64_t edges;
        Value value;
    };
    static constexpr std::size_t kAhead = 8;

    std::vector<std::uint64_t> slots_;
    std::vector<std::uint64_t> filter_;
    std::vector<Entry> entries_;
    Soon soon_[kAhead] = {};
    std::size_t soonCount_ = 0;
};

} // namespace parlavo
