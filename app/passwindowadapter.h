#pragma once

#include "pass/passwindow.h"

#include <string>
#include <string_view>

namespace parlavo {

class MainWindow;

// The translation pass's view of the main window: the entry heading, the source and translation
// boxes, the translation panel, the title, the file view and the message boxes.
class PassWindowAdapter final : public PassWindow {
  public:
    explicit PassWindowAdapter(MainWindow& window) : window_(window) {}

    void setEntryHeading(std::string_view text) override;
    void setSourceText(std::string_view text) override;
    std::string sourceText() const override;
    // The box notifies like typing: the handler runs onTranslationChanged before this returns.
    void setTranslationText(std::string_view text) override;
    std::string translationText() const override;
    void selectAllTranslationAndFocus() override;
    void setWarning(std::string_view text) override;
    void setSuggestions(std::string_view text) override;
    void showTranslationPanel() override;
    void hideTranslationPanel() override;
    void setTitle(std::string_view text) override;
    void setRedraw(bool on) override;
    FileView& fileView() override;
    void showInformation(std::string_view caption, std::string_view text) override;
    void showError(std::string_view caption, std::string_view text) override;
    bool askYesNo(std::string_view caption, std::string_view text) override;

  private:
    MainWindow& window_;
};

} // namespace parlavo
