#pragma once

#include "lang/languagefile.h"
#include "lang/profile.h"

#include <string>
#include <string_view>
#include <unordered_map>

namespace parlavo {

// Finds translations made for an English text that has changed since. The answer memory pairs
// every answered English text with its answer; an answer remembered only for texts that no key of
// the English file holds any more points back to the text it was made for. Built once per load.
class ChangedEnglishIndex {
  public:
    ChangedEnglishIndex(const IniDocument& settings, const LanguageFile& english);
    // The older English text the translation was made for, "" when the key's text did not change:
    // the translation is no such answer, or the current text has a remembered answer of its own.
    std::string oldSourceOf(const IniDocument& settings, std::string_view source,
                            std::string_view translation) const;

  private:
    std::unordered_map<std::string, std::string> oldSourceByAnswer_;
};

// The old text with the words the new one no longer has marked as *word*.
std::string markChangedWords(std::string_view oldText, std::string_view newText);

} // namespace parlavo
