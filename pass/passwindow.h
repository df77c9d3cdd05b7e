#pragma once

#include "platform/fileview.h"

#include <string>
#include <string_view>

namespace parlavo {

// What a translation pass needs of the main window. Every text given and returned is UTF-8: the pass
// decodes the files' bytes before showing them and encodes typed text before writing it. Setting the
// translation text notifies like typing: the window calls onTranslationChanged before
// setTranslationText returns.
class PassWindow {
  public:
    virtual ~PassWindow() = default;
    virtual void setEntryHeading(std::string_view text) = 0; // the heading above the source
    virtual void setSourceText(std::string_view text) = 0;   // the source text box
    virtual std::string sourceText() const = 0;
    virtual void setTranslationText(std::string_view text) = 0; // the translation box
    virtual std::string translationText() const = 0;
    virtual void selectAllTranslationAndFocus() = 0;
    // The line under the translation box telling what may be wrong with the answer; "" hides it.
    virtual void setWarning(std::string_view text) = 0;
    // The line of suggestions from the answer memory; "" hides it.
    virtual void setSuggestions(std::string_view text) = 0;
    virtual void showTranslationPanel() = 0;
    virtual void hideTranslationPanel() = 0;
    virtual void setTitle(std::string_view text) = 0;
    virtual void setRedraw(bool on) = 0;
    virtual FileView& fileView() = 0;
    virtual void showInformation(std::string_view caption, std::string_view text) = 0;
    virtual void showError(std::string_view caption, std::string_view text) = 0;
    // A question answered Yes or No (No is the default); true for Yes.
    virtual bool askYesNo(std::string_view caption, std::string_view text) = 0;
};

} // namespace parlavo
