#pragma once

#include "pass/navigation.h"

namespace parlavo {

// Starts building the suggestion index of the settings file in the background (nothing when
// Suggestions=0 in the settings).
void startSuggestions(PassState& state, PassContext& context);
// The suggestions for the current entry on the line under the translation box.
void showSuggestions(PassState& state, PassContext& context);
// Alt+1..3: puts suggestion number (0-based) into the translation box, selected. False when there
// is no such suggestion.
bool pickSuggestion(PassState& state, PassContext& context, std::size_t number);

} // namespace parlavo
