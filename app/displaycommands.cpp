#include "app/displaycommands.h"

#include "app/appstate.h"
#include "app/passwindowadapter.h"
#include "app/settings.h"
#include "platform/gui/bytetext.h"
#include "platform/gui/mainwindow.h"
#include "platform/gui/ownerdraw.h"
#include "widgets/colourchooser.h"
#include "widgets/filedialog.h"
#include "widgets/fontpicker.h"
#include "widgets/swatch.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
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
void selectFace(QComboBox& list, const std::string& face) {
    int found = -1;
    for (int index = 0; index < list.count() && found < 0; ++index) {
        if (comboItemText(list, index) == face) {
            found = index;
        }
    }
    const QSignalBlocker blocker(&list);
    list.setCurrentIndex(found);
}

} // namespace

void initDisplayControls(MainWindow& window, AppState& state) {
    const DisplaySettings& display = state.display;
    if (QComboBox* list = window.controlAs<QComboBox>(ctl::FontList)) {
        if (auto* drawn = qobject_cast<OwnerDrawComboBox*>(list)) {
            drawn->setItemHeight(drawn->itemHeight() + 4); // room around each face's own height
        }
        fillFontFamilies(*list);
        selectFace(*list, display.Font);
    }
    if (QComboBox* box = window.controlAs<QComboBox>(ctl::SizeBox)) {
        // Typed text stays as typed: no completion from the list, no new list entries.
        box->setCompleter(nullptr);
        box->setInsertPolicy(QComboBox::NoInsert);
        fillSizeList(*box, listFontSizes(display.Font));
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
    if (!isClick(code)) {
        return;
    }
    const std::optional<std::uint32_t> chosen = chooseColour(window, controlId, 0);
    if (!chosen) {
        return;
    }
    DisplaySettings& display = state.display;
    switch (controlId) {
    case ctl::TextColorSwatch:
        if (*chosen == display.Color) {
            return;
        }
        display.Color = *chosen;
        window.setRedraw(false);
        applyViewColor(window, state);
        selectCurrentKeyOf(window, state);
        redrawAll(window);
        writeSetting("Color", formatNumber(display.Color));
        break;
    case ctl::HighlightSwatch:
        if (*chosen == display.HighlightColor) {
            return;
        }
        display.HighlightColor = *chosen;
        window.setRedraw(false);
        withPass(window, state, [](PassState& pass, PassContext& context) {
            highlightPendingKeys(pass, context);
            selectCurrentKey(pass, context);
        });
        redrawAll(window);
        writeSetting("HighlightColor", formatNumber(display.HighlightColor));
        break;
    case ctl::BackgroundSwatch:
        if (*chosen == display.BGColor) {
            return;
        }
        display.BGColor = *chosen;
        applyViewBackground(window, state);
        selectCurrentKeyOf(window, state);
        writeSetting("BGColor", formatNumber(display.BGColor));
        break;
    default:
        break;
    }
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
    writeSetting("Font", state.display.Font);

    QComboBox* box = window.controlAs<QComboBox>(ctl::SizeBox);
    if (box == nullptr) {
        return;
    }
    const std::string kept = window.controlText(ctl::SizeBox);
    const std::vector<int> sizes = listFontSizes(face);
    fillSizeList(*box, sizes);
    const std::int32_t keptSize = readNumber(kept);
    for (std::size_t index = 0; index < sizes.size(); ++index) {
        if (sizes[index] == keptSize) {
            const QSignalBlocker blockBox(box);
            const QSignalBlocker blockEdit(box->lineEdit());
            box->setCurrentIndex(static_cast<int>(index));
            return;
        }
    }
    if (!kept.empty()) {
        const QSignalBlocker blockBox(box);
        window.setControlText(ctl::SizeBox, kept);
    }
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
    writeSetting("Size", formatNumber(size));
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
