#pragma once

#include "pass/passwindow.h"

#include <functional>
#include <string>
#include <vector>

namespace parlavo::test {

// A file view that keeps its text line by line and records every decoration it is given.
class FakeFileView final : public FileView {
  public:
    struct Decoration {
        int line = 0;
        int column = 0;
        int length = 0;
        ViewFormat format;
        std::string text; // the bytes of the range when it was formatted
    };
    struct Selection {
        int line = -1;
        int column = 0;
        int length = 0;
        std::string text;
    };

    void setContent(std::string_view bytes, std::string_view lineEnd) override;
    int lineCount() const override { return static_cast<int>(lines_.size()); }
    std::string lineText(int line) const override;
    void formatRange(int line, int column, int length, const ViewFormat& format) override;
    void selectRange(int line, int column, int length) override;
    void replaceToLineEnd(int line, int column, std::string_view text) override;
    void setRedraw(bool on) override { redrawOn = on; }

    // The lines joined with the line end they were loaded with.
    std::string content() const;
    // "line:column:text" of every range formatted with the attribute, in call order.
    std::vector<std::string> boldRanges() const;
    std::vector<std::string> enlargedRanges(int points) const;
    std::vector<std::string> highlightedRanges(std::uint32_t colour) const;

    std::vector<Decoration> decorations;
    Selection selection;
    int replacements = 0;
    bool redrawOn = true;

  private:
    bool inRange(int line, int column, int length, const char* operation) const;

    std::vector<std::string> lines_;
    std::string lineEnd_ = "\r\n";
};

// The main window as a translation pass sees it. Setting the translation text calls
// onTranslationChange before returning, as the real window's change notification does.
class FakePassWindow final : public PassWindow {
  public:
    struct Message {
        std::string caption;
        std::string text;
    };

    void setEntryHeading(std::string_view text) override { heading = text; }
    void setSourceText(std::string_view text) override { source = text; }
    std::string sourceText() const override { return source; }
    void setTranslationText(std::string_view text) override;
    std::string translationText() const override { return translation; }
    void selectAllTranslationAndFocus() override { ++selectAllAndFocusCount; }
    void showTranslationPanel() override { panelShown = true; }
    void hideTranslationPanel() override { panelShown = false; }
    void setTitle(std::string_view text) override { title = text; }
    void setRedraw(bool on) override { redrawOn = on; }
    FileView& fileView() override { return view; }
    void showInformation(std::string_view caption, std::string_view text) override;
    void showError(std::string_view caption, std::string_view text) override;
    bool askYesNo(std::string_view caption, std::string_view text) override {
        questions.push_back({std::string(caption), std::string(text)});
        return answerYes;
    }

    // The translator types: the box's whole text becomes text.
    void type(std::string_view text) { setTranslationText(text); }

    std::function<void()> onTranslationChange;
    std::string heading;
    std::string source;
    std::string translation;
    std::vector<std::string> translationHistory; // every text the box was given, in order
    int selectAllAndFocusCount = 0;
    bool panelShown = false;
    std::string title;
    bool redrawOn = true;
    std::vector<Message> informations;
    std::vector<Message> errors;
    std::vector<Message> questions;
    bool answerYes = false;
    FakeFileView view;
};

} // namespace parlavo::test
