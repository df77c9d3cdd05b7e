#include "platform/gui/richedit.h"

namespace parlavo {

// Qt's rich text control is part of Qt Widgets itself, so there is no library to probe, load or free:
// the view is always a QPlainTextEdit, and release has nothing to give back.
std::string richEditClass(bool release) {
    if (release) {
        return {};
    }
    return "QPlainTextEdit";
}

} // namespace parlavo
