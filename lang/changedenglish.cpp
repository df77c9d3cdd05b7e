#include "lang/changedenglish.h"

#include "lang/answermemory.h"
#include "lang/settings.h"
#include "lang/suggestions.h"

#include <algorithm>
#include <functional>
#include <optional>

#include <vector>

namespace parlavo {

bool changedEnglishWanted(const IniDocument& settings) {
    return settingTextOn(settings.get(kSettingsSection, kChangedEnglishSetting)) &&
           settings.mayHaveEntries(kAnswerMemorySection);
}

namespace {

bool isTranslation(const LanguageLine& line) {
    return line.isKeyLine() && !line.value().empty();
}

} // namespace

AnswerUses::AnswerUses(const LanguageFile& english, const LanguageFile& translated)
    : english_(&english), translated_(&translated) {
    const auto translations = std::count_if(translated.lines.begin(), translated.lines.end(), isTranslation);
    if (translations == 0) {
        return; // nothing for the memory to say
    }
    uses_ = ViewTable<Use>(static_cast<std::size_t>(translations));
    for (const LanguageLine& line : translated.lines) {
        if (isTranslation(line)) {
            uses_.addSoon(line.value(), {});
        }
    }
    uses_.settle();
}

// Once the memory is read: the Translated file's lines whose translation answers only texts that
// are gone.
void AnswerUses::markOnlyOld() {
    onlyOld_.clear();
    if (oldSources_.empty()) {
        return; // no translation answers a text that is gone
    }
    onlyOld_.assign(translated_->lines.size(), false);
    for (std::size_t i = 0; i < translated_->lines.size(); ++i) {
        const LanguageLine& line = translated_->lines[i];
        const Use* use = isTranslation(line) ? uses_.find(line.value()) : nullptr;
        onlyOld_[i] = use != nullptr && use->current == 0 && use->oldSource != 0;
    }
}

void AnswerUses::eachUse(const IniDocument& settings,
                         const std::function<void(Use&, std::string_view, bool)>& visit) {
    std::string decodedAnswer, decodedSource;
    settings.forEachEntries(kAnswerMemorySection, [&](std::span<const IniDocument::Entry> entries) {
        // The answers are looked up together, each step for all of them before the next.
        ViewTable<Use>::Probe probes[IniDocument::kEntriesAtOnce];
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const std::string_view answer = entries[i].value;
            probes[i] =
                answer.empty() || isEscapedMemoryText(answer) ? ViewTable<Use>::Probe{} : uses_.probe(answer);
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            uses_.narrow(entries[i].value, probes[i]);
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const std::string_view value = entries[i].value;
            Use* use = nullptr;
            if (isEscapedMemoryText(value)) {
                decodedAnswer = decodeMemoryText(value);
                use = decodedAnswer.empty() ? nullptr : uses_.find(decodedAnswer);
            } else {
                use = uses_.find(value, probes[i]);
            }
            if (use == nullptr) {
                continue;
            }
            const std::string_view key = entries[i].key();
            if (!isEscapedMemoryText(key)) {
                visit(*use, key, false);
                continue;
            }
            decodedSource = decodeMemoryText(key);
            visit(*use, decodedSource, true);
        }
    });
}

std::string_view AnswerUses::kept(std::string_view source, bool decoded) {
    return decoded ? decoded_.keep(source) : source;
}

// One more text the translation answers, in the memory's order; held: the English file holds it.
void AnswerUses::settle(Use& use, bool held, std::string_view source) {
    if (held) {
        use.current = 1;
    } else if (use.oldSource == 0 && !source.empty()) {
        oldSources_.push_back(source);
        use.oldSource = static_cast<std::uint32_t>(oldSources_.size());
    }
}

// Most memories answer with few of the translations: those entries are gathered, and a table of
// their texts finds the ones the English file holds in one pass over it. When they outnumber the
// English texts, a table of those serves instead: the entries gathered so far and the rest of the
// memory are settled beside it, in the memory's order.
void AnswerUses::readMemory(const IniDocument& settings) {
    struct Candidate {
        Use* use;
        std::string_view source; // a view of the settings or of decoded_
    };
    std::vector<Candidate> candidates;
    const auto most = static_cast<std::size_t>(english_->keyCount);
    std::optional<ViewTable<bool>> english;
    eachUse(settings, [&](Use& use, std::string_view source, bool decoded) {
        if (!english && candidates.size() == most) {
            english.emplace(englishTexts());
            for (const Candidate& candidate : candidates) {
                settleBeside(*english, *candidate.use, candidate.source, false); // kept already
            }
            candidates = {};
        }
        if (english) {
            settleBeside(*english, use, source, decoded);
        } else {
            candidates.push_back({&use, kept(source, decoded)});
        }
    });
    if (!english) {
        ViewTable<bool> held(candidates.size()); // whether the English file holds the text
        for (const Candidate& candidate : candidates) {
            held.insert(candidate.source, false);
        }
        for (const LanguageLine& line : english_->lines) {
            if (bool* found = isTranslation(line) ? held.find(line.value()) : nullptr) {
                *found = true;
            }
        }
        for (const Candidate& candidate : candidates) {
            settle(*candidate.use, *held.find(candidate.source), candidate.source);
        }
    }
    markOnlyOld();
}

ViewTable<bool> AnswerUses::englishTexts() const {
    ViewTable<bool> english(static_cast<std::size_t>(english_->keyCount));
    for (const LanguageLine& line : english_->lines) {
        if (isTranslation(line)) {
            english.insert(line.value(), true);
        }
    }
    return english;
}

void AnswerUses::settleBeside(const ViewTable<bool>& english, Use& use, std::string_view source,
                              bool decoded) {
    if (use.current) {
        return;
    }
    const bool held = english.find(source) != nullptr;
    // A decoded text is kept only when it may become the use's older text.
    settle(use, held, held || use.oldSource != 0 ? source : kept(source, decoded));
}

std::vector<AnswerUses::OldSource> AnswerUses::oldSourcesOf(const IniDocument& settings,
                                                            const LanguageFile& english,
                                                            const std::vector<KeptTranslation>& kept) const {
    std::vector<OldSource> old;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const std::size_t line = kept[i].translatedLine;
        if (line < onlyOld_.size() && onlyOld_[line] &&
            recallAnswer(settings, english.lines[kept[i].englishLine].value()).empty()) {
            const Use* use = uses_.find(translated_->lines[line].value());
            old.push_back({i, oldSources_[use->oldSource - 1]});
        }
    }
    return old;
}

namespace {

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> found;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(' ', at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(text.find(' ', start), text.size());
        found.push_back(text.substr(start, end - start));
        at = end;
    }
    return found;
}

constexpr std::size_t kMostWordsCompared = 400; // beyond this, every differing text is one change

// For each word of a: whether it is part of a longest sequence a and b have in common.
std::vector<bool> commonWords(const std::vector<std::string_view>& a,
                              const std::vector<std::string_view>& b) {
    std::vector<std::vector<int>> length(a.size() + 1, std::vector<int>(b.size() + 1, 0));
    for (std::size_t i = a.size(); i-- > 0;) {
        for (std::size_t j = b.size(); j-- > 0;) {
            length[i][j] =
                a[i] == b[j] ? length[i + 1][j + 1] + 1 : std::max(length[i + 1][j], length[i][j + 1]);
        }
    }
    std::vector<bool> kept(a.size(), false);
    for (std::size_t i = 0, j = 0; i < a.size() && j < b.size();) {
        if (a[i] == b[j]) {
            kept[i++] = true;
            ++j;
        } else if (length[i + 1][j] >= length[i][j + 1]) {
            ++i;
        } else {
            ++j;
        }
    }
    return kept;
}

} // namespace

std::string markChangedWords(std::string_view oldText, std::string_view newText) {
    const std::vector<std::string_view> oldWords = words(oldText);
    const std::vector<std::string_view> newWords = words(newText);
    std::vector<bool> kept(oldWords.size(), false);
    if (oldWords.size() <= kMostWordsCompared && newWords.size() <= kMostWordsCompared) {
        kept = commonWords(oldWords, newWords);
    }
    std::string marked;
    for (std::size_t i = 0; i < oldWords.size(); ++i) {
        marked += (i == 0 ? "" : " ");
        marked += kept[i] ? std::string(oldWords[i]) : "*" + std::string(oldWords[i]) + "*";
    }
    return marked;
}

} // namespace parlavo
