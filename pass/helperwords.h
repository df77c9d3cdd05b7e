#pragma once

#include "lang/profile.h"
#include "lang/selection.h"
#include "platform/encoding.h"

#include <string>
#include <string_view>
#include <vector>

namespace parlavo {

inline constexpr std::string_view kHelperWordsSection = "Helper Words";
inline constexpr std::string_view kHelperWordsNote =
    "These are the most common words from all the missing values, which you can translate in order to "
    "make things go quicker.";

// Lists the frequent words of the pending source texts (bytes of the English file, decoded from
// englishEncoding) in "Helper Words" of settings, as UTF-8: writes the "Attention" note, then every
// word that qualifies with an empty value unless it already has a translation. Returns the
// qualifying words, most frequent first.
std::vector<std::string> collectHelperWords(const std::vector<PendingEntry>& pending, IniDocument& settings,
                                            std::string_view englishEncoding = kUtf8);

// Whether collectHelperWords is sure to change settings: its note is not there as it writes it.
bool helperWordsNoteMissing(const IniDocument& settings);

// The pre-fill for an entry without an answer: source (UTF-8 text) with every helper word that has a
// translation replaced by it (UTF-8 text).
std::string applyHelperWords(std::string_view source, const IniDocument& settings);

} // namespace parlavo
