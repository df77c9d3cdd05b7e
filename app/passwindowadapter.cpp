#include "app/passwindowadapter.h"

#include "platform/gui/bytetext.h"
#include "platform/gui/fileviewwidget.h"
#include "platform/gui/mainwindow.h"
#include "platform/gui/messagebox.h"

#include <QLineEdit>
#include <QPalette>

namespace parlavo {

namespace {
constexpr QRgb kWarningColour = qRgb(0x9C, 0x00, 0x06); // dark red, readable on the window's grey
} // namespace

void PassWindowAdapter::setEntryHeading(std::string_view text) {
    window_.setControlText(ctl::Heading, text);
}

// A very long source text is shown shortened; the pass keeps the text itself.
void PassWindowAdapter::setSourceText(std::string_view text) {
    auto* box = window_.controlAs<QLineEdit>(ctl::Source);
    if (box == nullptr || text.size() <= kShownTextBytes) {
        window_.setControlText(ctl::Source, text);
        return;
    }
    box->setText(shortenedForDisplay(text));
    box->setCursorPosition(0);
}

std::string PassWindowAdapter::sourceText() const {
    return window_.controlText(ctl::Source);
}

// The window turns the box's change into a command for ctl::Translation, which the handler passes to
// onTranslationChanged, all before setControlText returns.
void PassWindowAdapter::setTranslationText(std::string_view text) {
    window_.setControlText(ctl::Translation, text);
}

std::string PassWindowAdapter::translationText() const {
    return window_.controlText(ctl::Translation);
}

void PassWindowAdapter::selectAllTranslationAndFocus() {
    if (auto* box = window_.controlAs<QLineEdit>(ctl::Translation)) {
        box->selectAll();
    }
    window_.focusControl(ctl::Translation);
}

// The warning takes the hint's place while it has something to say, in a colour that stands out.
void PassWindowAdapter::setWarning(std::string_view text) {
    QWidget* warning = window_.control(ctl::Warning);
    QPalette palette = warning->palette();
    palette.setColor(QPalette::WindowText, QColor(kWarningColour));
    warning->setPalette(palette);
    window_.setControlText(ctl::Warning, text);
    warning->setVisible(!text.empty());
    const bool panelShown = !window_.control(ctl::Translation)->isHidden();
    window_.control(ctl::Hint)->setVisible(text.empty() && panelShown);
}

// The suggestions take the tip's place while there are any.
void PassWindowAdapter::setSuggestions(std::string_view text) {
    window_.setControlText(ctl::Suggestions, text);
    const bool panelShown = !window_.control(ctl::Translation)->isHidden();
    window_.control(ctl::Suggestions)->setVisible(!text.empty() && panelShown);
    window_.control(ctl::Tip)->setVisible(text.empty() && panelShown);
}

void PassWindowAdapter::showTranslationPanel() {
    window_.showTranslationPanel();
}

void PassWindowAdapter::hideTranslationPanel() {
    setWarning({});
    setSuggestions({});
    window_.hideTranslationPanel();
}

void PassWindowAdapter::setTitle(std::string_view text) {
    window_.setWindowTitle(bytesToDisplay(text));
}

void PassWindowAdapter::setRedraw(bool on) {
    window_.setRedraw(on);
}

FileView& PassWindowAdapter::fileView() {
    return *window_.controlAs<FileViewWidget>(ctl::FileView);
}

void PassWindowAdapter::showInformation(std::string_view caption, std::string_view text) {
    showMessageBox(nullptr, caption, text, MessageIcon::Information);
}

void PassWindowAdapter::showError(std::string_view caption, std::string_view text) {
    showMessageBox(nullptr, caption, text, MessageIcon::Error);
}

bool PassWindowAdapter::askYesNo(std::string_view caption, std::string_view text) {
    return askQuestion(nullptr, caption, text);
}

} // namespace parlavo
