#pragma once

#include "pass/navigation.h"

#include <optional>
#include <string_view>

namespace parlavo {

// The first English key line after afterLine (1-based; 0 searches from the top, and the search
// wraps round once) whose key, English text or translation in the Translated file on disk contains
// the query (UTF-8 text, sought in each file's encoding), ASCII letters compared without regard to case.
std::optional<int> findEntryLine(PassState& state, std::string_view query, int afterLine);

// Opens the match of the query as the current entry, translated or not: the box holds its
// translation, selected. next continues after the last match of the same query (F3). False when
// nothing matches (the pass stays as it was).
bool reviseMatchingEntry(PassState& state, PassContext& context, std::string_view query, bool next);

// After the revised entry's answer was stored: the pass returns to the entry it was on. False when
// no entry was being revised.
bool endRevision(PassState& state, PassContext& context);

} // namespace parlavo
