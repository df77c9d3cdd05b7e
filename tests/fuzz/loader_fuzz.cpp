// The loader with selection and rewrite: whatever the English file, the Translated file and the
// answer memory hold, the rewrite re-reads as one line per English line, each English key on its
// own line in its own section.

#include "fuzzinput.h"
#include "lang/answers.h"
#include "lang/languagefile.h"
#include "lang/profile.h"
#include "lang/selection.h"

using namespace parlavo;
using namespace parlavo::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    IniDocument settings = IniDocument::parse(input.piece());
    const std::string_view translated = input.piece();
    WorkList work;
    work.english = parseLanguageFile(std::string(input.rest()));
    work.translated = parseLanguageFile(std::string(translated));
    selectPendingEntries(work, settings);
    const LanguageFile rewritten = parseLanguageFile(renderTranslatedFile(work));

    const std::vector<LanguageLine>& english = work.english.lines;
    const std::size_t count = rewritten.lines.size();
    // A line end after the last line reads as one more, empty line.
    require(count == english.size() || (count == english.size() + 1 && rewritten.lines.back().text().empty()),
            "the rewrite has one line per English line");
    for (std::size_t i = 0; i < english.size(); ++i) {
        if (english[i].isKeyLine()) {
            const LanguageLine& line = rewritten.lines[i];
            require(line.isKeyLine() && line.key() == english[i].key() &&
                        line.section() == english[i].section(),
                    "every English key is on its own line of the rewrite, in its section");
        }
    }
    for (const PendingEntry& entry : work.pending) {
        const auto line = static_cast<std::size_t>(entry.line - 1);
        require(entry.line >= 1 && line < english.size() && english[line].key() == entry.key(),
                "a pending entry names its English line");
    }
    return 0;
}
