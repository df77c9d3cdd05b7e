#pragma once

#include "lang/languagefile.h"
#include "lang/profile.h"

#include <string>
#include <string_view>
#include <vector>

namespace parlavo {

// A translation kept for an English key, to be checked for a change of its English text.
struct KeptTranslation {
    std::string_view source;      // the key's English text now
    std::string_view translation; // the translation the Translated file holds for it
};

// For each kept translation, the older English text it was made for, or "" when the key's text did
// not change. The answer memory pairs every answered English text with its answer; a translation that
// the memory holds only as the answer of texts no key of the English file holds any more (the first
// of them in the memory is named) was made for such a text, unless the current text has a remembered
// answer of its own. One pass over the memory, whatever the number of translations.
std::vector<std::string> oldSourcesOf(const IniDocument& settings, const LanguageFile& english,
                                      const std::vector<KeptTranslation>& kept);

// The old text with the words the new one no longer has marked as *word*.
std::string markChangedWords(std::string_view oldText, std::string_view newText);

} // namespace parlavo
