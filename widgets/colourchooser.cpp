#include "widgets/colourchooser.h"

#include "platform/digits.h"
#include "platform/gui/colorref.h"

#include <QColorDialog>
#include <QSettings>
#include <QString>
#include <QVariant>

namespace parlavo {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

ColourDialog& dialogHook() {
    static ColourDialog hook;
    return hook;
}

std::string upperHex(std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return text;
}

std::uint32_t colourOfLine(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos) {
        line.remove_prefix(equals + 1);
    }
    std::uint32_t value = 0; // unsigned arithmetic keeps the low 32 bits
    for (const char c : line) {
        const int digit = hexDigitValue(c);
        if (digit < 0) {
            break;
        }
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

std::optional<std::uint32_t> runColourDialog(QWidget* owner, std::uint32_t initial, CustomColours& custom) {
    for (std::size_t slot = 0; slot < custom.size(); ++slot) {
        QColorDialog::setCustomColor(static_cast<int>(slot), colourFromColorRef(custom[slot]));
    }
    QColorDialog dialog(colourFromColorRef(initial), owner);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    for (std::size_t slot = 0; slot < custom.size(); ++slot) {
        custom[slot] = colorRefFromColour(QColorDialog::customColor(static_cast<int>(slot)));
    }
    return colorRefFromColour(dialog.selectedColor());
}

const QString kStoreOrganisation = QStringLiteral("Tolvane Kestrova");
const QString kStoreApplication = QStringLiteral("General");
const QString kStoreValue = QStringLiteral("CustomColors");

} // namespace

std::string encodeCustomColours(const CustomColours& colours) {
    std::string text;
    for (std::size_t slot = 0; slot < colours.size(); ++slot) {
        text += "Color";
        text += static_cast<char>('A' + slot);
        text += '=';
        text += upperHex(colours[slot]);
        text += kLineEnd;
    }
    return text;
}

CustomColours decodeCustomColours(std::string_view text) {
    CustomColours colours{};
    std::size_t slot = 0;
    while (slot < colours.size() && !text.empty()) {
        const std::size_t end = text.find(kLineEnd);
        colours[slot++] = colourOfLine(text.substr(0, end));
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + kLineEnd.size());
    }
    return colours;
}

std::string readCustomColoursText() {
    const QSettings store(kStoreOrganisation, kStoreApplication);
    const QVariant value = store.value(kStoreValue);
    if (value.typeId() != QMetaType::QString) {
        return {};
    }
    return value.toString().toStdString();
}

void writeCustomColoursText(const std::string& text) {
    QSettings store(kStoreOrganisation, kStoreApplication);
    store.setValue(kStoreValue, QString::fromStdString(text));
    store.sync();
}

void setColourDialogHook(ColourDialog hook) {
    dialogHook() = std::move(hook);
}

std::optional<std::uint32_t> chooseColour(QWidget* owner, std::uint32_t initial) {
    CustomColours custom = decodeCustomColours(readCustomColoursText());
    const ColourDialog& hook = dialogHook();
    const std::optional<std::uint32_t> chosen =
        hook ? hook(owner, initial, custom) : runColourDialog(owner, initial, custom);
    if (chosen) {
        writeCustomColoursText(encodeCustomColours(custom));
    }
    return chosen;
}

} // namespace parlavo
