#include "app/displaycommands.h"

#include "app/appstate.h"
#include "app/passwindowadapter.h"
#include "lang/settings.h"
#include "platform/gui/bytetext.h"
#include "platform/gui/mainwindow.h"
#include "platform/gui/ownerdraw.h"
#include "widgets/colourchooser.h"
#include "widgets/filedialog.h"
#include "widgets/fontpicker.h"
#include "widgets/swatch.h"

#include <QComboBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

namespace parlavo {

namespace {

constexpr std::string_view kLanguageFilter = "LNG files (*.lng)|*.lng|All files (*.*)|*.*|";
constexpr std::string_view kLanguageExtension = "lng";
// The largest size the view is given; larger sizes are stored but leave the view as it is.
constexpr int kLargestViewSize = 1638;

bool isClick(int code) {
    return code == notify::Clicked || code == notify::Accelerator;
}

// The pass's view decorations work on the window through an adapter made for the call.
template <class Operation> void withPass(MainWindow& window, AppState& state, Operation operation) {
    static const SteadyClock steady;
    PassWindowAdapter adapter(window);
    PassContext context{adapter, state.clock ? *state.clock : steady, state.display};
    operation(state.pass, context);
}

void selectCurrentKeyOf(MainWindow& window, AppState& state) {
    withPass(window, state, [](PassState& pass, PassContext& context) { selectCurrentKey(pass, context); });
}

void reformatView(MainWindow& window, AppState& state) {
    withPass(window, state, [](PassState& pass, PassContext& context) {
        formatFileView(pass, context);
        selectCurrentKey(pass, context);
    });
}

// Repaints the window and all its controls at once after redrawing was switched back on.
void redrawAll(MainWindow& window) {
    window.setRedraw(true);
    window.repaint();
}

// The setting each colour swatch stands for.
struct SwatchSetting {
    int controlId;
    std::uint32_t DisplaySettings::*colour;
    std::string_view key;
};
constexpr SwatchSetting kSwatchSettings[] = {
    {ctl::TextColorSwatch, &DisplaySettings::Color, "Color"},
    {ctl::HighlightSwatch, &DisplaySettings::HighlightColor, "HighlightColor"},
    {ctl::BackgroundSwatch, &DisplaySettings::BGColor, "BGColor"},
};

const SwatchSetting* swatchSetting(int controlId) {
    for (const SwatchSetting& swatch : kSwatchSettings) {
        if (swatch.controlId == controlId) {
            return &swatch;
        }
    }
    return nullptr;
}

// Shows a new colour in the view. Recolouring the whole text is done with the window's redrawing off
// and one repaint at the end; the background needs neither.
void refreshViewColours(MainWindow& window, AppState& state, int controlId) {
    if (controlId == ctl::BackgroundSwatch) {
        applyViewBackground(window, state);
        selectCurrentKeyOf(window, state);
        return;
    }
    window.setRedraw(false);
    if (controlId == ctl::TextColorSwatch) {
        applyViewColor(window, state);
        selectCurrentKeyOf(window, state);
    } else {
        withPass(window, state, [](PassState& pass, PassContext& context) {
            formatFileView(pass, context);
            selectCurrentKey(pass, context);
        });
    }
    redrawAll(window);
}

std::string comboItemText(const QComboBox& box, int index) {
    return index >= 0 ? displayToBytes(box.itemText(index)) : std::string();
}

// Fills the size box's list without notifying; the box's own text is set by the caller.
void fillSizeList(QComboBox& box, const std::vector<int>& sizes) {
    const QSignalBlocker blockBox(&box);
    const QSignalBlocker blockEdit(box.lineEdit());
    box.clear();
    for (const int size : sizes) {
        box.addItem(QString::number(size));
    }
    box.setCurrentIndex(-1);
}

// Selects the face in the family list by its name (exact, case-sensitive); no selection when absent.
int findFace(const QComboBox& list, const std::string& face) {
    for (int index = 0; index < list.count(); ++index) {
        if (comboItemText(list, index) == face) {
            return index;
        }
    }
    return -1;
}

// Selects the face in the list; a face that is not installed selects the family the system draws
// for it (its fontconfig substitute), so the list shows what the view really uses. Returns the
// selected family ("" when none).
std::string selectFace(QComboBox& list, const std::string& face) {
    std::string shown = face;
    int found = findFace(list, face);
    if (found < 0) {
        shown = QFontInfo(QFont(QString::fromStdString(face))).family().toStdString();
        found = findFace(list, shown);
    }
    const QSignalBlocker blocker(&list);
    list.setCurrentIndex(found);
    return found < 0 ? std::string() : shown;
}

// The size box offers the sizes of the new face; the text in it stays, and selects its size in the
// list when the list has it. The size setting itself does not change.
void rebuildSizeList(MainWindow& window, const std::string& face) {
    QComboBox* box = window.controlAs<QComboBox>(ctl::SizeBox);
    if (box == nullptr) {
        return;
    }
    const std::string kept = window.controlText(ctl::SizeBox);
    const std::vector<int> sizes = listFontSizes(face);
    fillSizeList(*box, sizes);
    const auto match = std::find(sizes.begin(), sizes.end(), readNumber(kept));
    const QSignalBlocker blockBox(box);
    const QSignalBlocker blockEdit(box->lineEdit());
    if (match != sizes.end()) {
        box->setCurrentIndex(static_cast<int>(match - sizes.begin()));
    } else if (!kept.empty()) {
        window.setControlText(ctl::SizeBox, kept);
    }
}

} // namespace

void initDisplayControls(MainWindow& window, AppState& state) {
    const DisplaySettings& display = state.display;
    std::string shownFace = display.Font;
    if (QComboBox* list = window.controlAs<QComboBox>(ctl::FontList)) {
        if (auto* drawn = qobject_cast<OwnerDrawComboBox*>(list)) {
            drawn->setItemHeight(drawn->itemHeight() + 4); // room around each face's own height
        }
        fillFontFamilies(*list);
        shownFace = selectFace(*list, display.Font);
    }
    if (QComboBox* box = window.controlAs<QComboBox>(ctl::SizeBox)) {
        // Typed text stays as typed: no completion from the list, no new list entries.
        box->setCompleter(nullptr);
        box->setInsertPolicy(QComboBox::NoInsert);
        fillSizeList(*box, listFontSizes(shownFace));
    }
    window.setControlText(ctl::SizeBox, formatNumber(display.Size));
    window.setControlText(ctl::TextColorSwatch, swatchText(display.Color));
    window.setControlText(ctl::HighlightSwatch, swatchText(display.HighlightColor));
    window.setControlText(ctl::BackgroundSwatch, swatchText(display.BGColor));
}

int drawOwnerItem(MainWindow& /*window*/, AppState& /*state*/, const Message& message) {
    if (message.drawItem == nullptr) {
        return 1;
    }
    switch (message.controlId) {
    case ctl::TextColorSwatch:
    case ctl::HighlightSwatch:
    case ctl::BackgroundSwatch:
        drawSwatch(*message.drawItem);
        break;
    case ctl::FontList:
        drawFontItem(*message.drawItem);
        break;
    default:
        break;
    }
    return 1;
}

void onColourPick(MainWindow& window, AppState& state, int controlId, int code) {
    const SwatchSetting* swatch = swatchSetting(controlId);
    if (!isClick(code) || swatch == nullptr) {
        return;
    }
    const std::uint32_t shown = swatchColourFromText(window.controlText(controlId));
    const std::optional<std::uint32_t> chosen = chooseColour(&window, shown);
    if (chosen) {
        window.setControlText(controlId, swatchText(*chosen));
    }
    if (!chosen || *chosen == state.display.*swatch->colour) {
        return; // cancelled, or the colour the view already has: nothing to write
    }
    state.display.*swatch->colour = *chosen;
    refreshViewColours(window, state, controlId);
    saveSetting(state, &window, swatch->key, formatNumber(*chosen));
}

void onFontChange(MainWindow& window, AppState& state, int /*code*/) {
    QComboBox* list = window.controlAs<QComboBox>(ctl::FontList);
    if (list == nullptr || list->currentIndex() < 0) {
        return; // no face chosen: the setting stays
    }
    const std::string face = comboItemText(*list, list->currentIndex());
    if (face == state.display.Font) {
        return;
    }
    state.display.Font = face;
    list->hidePopup();
    window.setRedraw(false);
    applyViewFont(window, state);
    reformatView(window, state);
    redrawAll(window);
    saveSetting(state, &window, "Font", state.display.Font);
    rebuildSizeList(window, face);
}

void onSizeChange(MainWindow& window, AppState& state, int code) {
    QComboBox* box = window.controlAs<QComboBox>(ctl::SizeBox);
    std::string text;
    if (box != nullptr && code == notify::ComboSelChange) {
        text = comboItemText(*box, box->currentIndex());
    }
    if (text.empty()) {
        text = window.controlText(ctl::SizeBox);
    }
    const std::int32_t size = readNumber(text);
    if (size == state.display.Size) {
        return;
    }
    state.display.Size = size;
    if (box != nullptr) {
        box->hidePopup();
    }
    // A size the view cannot show its text at is stored but leaves the view as it is.
    if (size > 0 && size <= kLargestViewSize) {
        window.setRedraw(false);
        applyViewSize(window, state);
        reformatView(window, state);
        redrawAll(window);
    }
    saveSetting(state, &window, "Size", formatNumber(size));
}

void onBrowse(MainWindow& window, AppState& state, int controlId, int code) {
    if (!isClick(code)) {
        return;
    }
    const bool english = controlId == ctl::EnglishBrowse;
    const int box = english ? ctl::EnglishPath : ctl::TranslatedPath;
    const std::string_view title = english ? "Select the input English file"
                                           : "Select the output translated file (or enter a new filename)";
    std::string path = window.controlText(box);
    std::error_code error;
    const std::string folder = std::filesystem::current_path(error).string();
    if (!openFileDialog(&window, title, path, folder, kLanguageFilter, kLanguageExtension, !english)) {
        return; // cancelled: the box keeps its text
    }
    window.setControlText(box, path);
    const std::string& loaded = english ? state.pass.englishPath : state.pass.translatedPath;
    if (path != loaded) {
        if (QWidget* loadFiles = window.control(ctl::LoadFiles)) {
            loadFiles->setEnabled(true);
        }
    }
}

} // namespace parlavo
