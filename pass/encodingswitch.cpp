#include "lang/encodingchoice.h"
#include "pass/navigation.h"

namespace parlavo {

// The Translated file on disk still holds what the load wrote, so decoding it again is enough while
// no answer was written. The English file's lines went into that file converted from the English
// encoding, and written answers are bytes of the old encoding: both need the load done again.
bool changeEncoding(PassState& state, PassContext& context, FileSide side, const std::string& name) {
    FileEncoding& changed =
        side == FileSide::English ? state.work.encodings.english : state.work.encodings.translated;
    if (changed.name == name) {
        return true;
    }
    // A byte-order mark outranks any choice: the load decides again, and says so.
    if (side == FileSide::English || state.answerWritten || changed.reason == EncodingReason::ByteOrderMark) {
        return startPass(state, context);
    }
    KeptLanguageFile& kept = state.kept.translated;
    if (!kept.refresh(state.translatedPath).ok()) {
        return startPass(state, context); // the load reports what is wrong with the file
    }
    changed = {name, EncodingReason::YourChoice};
    PassWindow& window = context.window;
    window.setRedraw(false);
    showTranslatedFile(state, context, std::make_shared<const std::string>(joinedLines(kept.file())));
    showEntry(state, context);
    selectCurrentKey(state, context);
    window.setRedraw(true);
    return true;
}

} // namespace parlavo
