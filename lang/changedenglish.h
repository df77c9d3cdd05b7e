#pragma once

#include "lang/languagefile.h"
#include "lang/profile.h"
#include "lang/textstore.h"
#include "lang/viewtable.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace parlavo {

// A translation kept for an English key, to be checked for a change of its English text.
struct KeptTranslation {
    std::uint32_t translatedLine = 0; // the Translated file's line holding its translation (0-based)
    std::uint32_t englishLine = 0;    // the English file's line of the key, whose text it is (0-based)
};

// What the answer memory says of the Translated file's translations: for each, whether it is the
// answer of a text the English file holds, else the first text no longer there that it answers.
// Made from the two files (which must outlive it), then in one pass over the memory.
class AnswerUses {
  public:
    AnswerUses(const LanguageFile& english, const LanguageFile& translated);
    AnswerUses(AnswerUses&&) noexcept = default;
    AnswerUses& operator=(AnswerUses&&) noexcept = default;

    // Reads the answer memory once. It only reads the settings, so it may run beside other readers;
    // the settings must live as long as this is used.
    void readMemory(const IniDocument& settings);

    // The kept translations (by their place in kept, in its order) whose key's English text changed,
    // with the older text each was made for: a translation that the memory holds only as the answer
    // of texts no key of the English file holds any more was made for such a text, unless the
    // current text has a remembered answer of its own.
    // The texts are views of the settings or of this.
    struct OldSource {
        std::size_t kept = 0;
        std::string_view text;
    };
    std::vector<OldSource> oldSourcesOf(const IniDocument& settings, const LanguageFile& english,
                                        const std::vector<KeptTranslation>& kept) const;

  private:
    // Four bytes, as a memory may hold many answers.
    struct Use {
        std::uint32_t current : 1 = 0; // the answer of a text the English file holds
        // Unless current, 1 + the number in oldSources_ of the first text it answers (0: none).
        std::uint32_t oldSource : 31 = 0;
    };
    // Calls visit with the use and the text (decoded) of each memory entry answering with a
    // translation; the text is valid during the call only.
    void eachUse(const IniDocument& settings,
                 const std::function<void(Use&, std::string_view, bool decoded)>& visit);
    // A text of the settings as it is, a decoded one kept in decoded_.
    std::string_view kept(std::string_view source, bool decoded);
    // The English file's texts, for the memory's entries to be settled beside as they are read.
    ViewTable<bool> englishTexts() const;
    void settleBeside(const ViewTable<bool>& english, Use& use, std::string_view source, bool decoded);
    void settle(Use& use, bool held, std::string_view source);
    void markOnlyOld();

    const LanguageFile* english_;
    const LanguageFile* translated_;
    TextStore decoded_; // the texts of escaped memory keys
    ViewTable<Use> uses_;
    std::vector<std::string_view> oldSources_; // views of the settings or of decoded_
    // By the Translated file's line: its translation answers, in the memory, only texts the English
    // file no longer holds (a bit a line: its use is looked for again only where it is set).
    std::vector<bool> onlyOld_;
};

// Whether a load looks for changed English texts: the setting is on and there is an answer memory.
bool changedEnglishWanted(const IniDocument& settings);

// The old text with the words the new one no longer has marked as *word*.
std::string markChangedWords(std::string_view oldText, std::string_view newText);

} // namespace parlavo
