// The answer memory: whatever settings file it lives in, an answer stored for a text is the one
// recalled for it, from the document and from the file written out, and storing it recalls every
// other text's answer as before.

#include "fuzzinput.h"
#include "lang/answermemory.h"
#include "lang/profile.h"

#include <string>

using namespace parlavo;
using namespace parlavo::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    IniDocument settings = IniDocument::parse(input.piece());
    const std::string_view firstSource = input.piece();
    const std::string_view firstAnswer = input.piece();
    const std::string_view source = input.piece();
    const std::string_view answer = input.rest();
    rememberAnswer(settings, firstSource, firstAnswer);
    require(recallAnswer(settings, firstSource) == firstAnswer, "an answer is recalled as it was stored");
    rememberAnswer(settings, source, answer);
    IniDocument reread = IniDocument::parse(settings.serialize());
    for (const IniDocument* document : {&settings, &reread}) {
        require(recallAnswer(*document, source) == answer, "the last answer is recalled as it was stored");
        if (source != firstSource) {
            require(recallAnswer(*document, firstSource) == firstAnswer,
                    "storing an answer keeps the other texts' answers");
        }
    }
    return 0;
}
