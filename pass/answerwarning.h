#pragma once

#include "pass/navigation.h"

namespace parlavo {

// The checks before an answer is confirmed. True when the answer has problems the translator has
// not yet seen for this very text: they are shown under the box and the entry stays. A second
// confirmation of the same text, or AnswerChecks=0 in the settings, lets the answer through.
bool warnBeforeConfirming(PassState& state, PassContext& context);
// Any change of the box text takes the warning away (showing an entry counts as one).
void clearWarningUnlessShownFor(PassState& state, PassContext& context, const std::string& text);
void clearWarning(PassState& state, PassContext& context);

} // namespace parlavo
