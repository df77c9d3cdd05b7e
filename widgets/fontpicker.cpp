#include "widgets/fontpicker.h"

#include "platform/gui/bytetext.h"
#include "platform/gui/drawitem.h"
#include "widgets/swatch.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QPainter>
#include <QSignalBlocker>
#include <algorithm>
#include <iterator>

namespace parlavo {

namespace {

char foldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::vector<std::string>& gatheredFontNames() {
    static std::vector<std::string> names;
    return names;
}

std::vector<std::string> installedFamilies() {
    std::vector<std::string> names;
    for (const QString& family : QFontDatabase::families()) {
        if (!family.isEmpty()) {
            names.push_back(displayToBytes(family));
        }
    }
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return fontNameLess(a, b); });
    return names;
}

// The installed family the face names, compared without regard to letter case as the system's font
// matching does; empty when the face is not installed.
QString installedFamily(const QString& face) {
    for (const QString& family : QFontDatabase::families()) {
        if (family.compare(face, Qt::CaseInsensitive) == 0) {
            return family;
        }
    }
    return {};
}

} // namespace

QFont createFaceFont(std::string_view face, int points, int weight, bool italic, bool underline) {
    QFont font(bytesToDisplay(face));
    if (points > 0) {
        font.setPointSize(points);
    }
    if (weight > 0) {
        font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    }
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

bool fontNameLess(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(foldAscii(x)) < static_cast<unsigned char>(foldAscii(y));
    });
}

void fillFontFamilies(QComboBox& list) {
    const std::vector<std::string> families = installedFamilies();
    if (gatheredFontNames().empty()) {
        gatheredFontNames() = families;
    }
    const QSignalBlocker blocker(&list);
    list.clear();
    for (const std::string& family : families) {
        list.addItem(bytesToDisplay(family));
    }
    list.setCurrentIndex(-1);
}

const std::vector<std::string>& fontNames() {
    if (gatheredFontNames().empty()) {
        gatheredFontNames() = installedFamilies();
    }
    return gatheredFontNames();
}

bool drawFontItem(const DrawItemContext& item) {
    // The closed field shows the selected entry's text; with no entry there is nothing to draw.
    const bool noEntry = item.selectionField ? item.text.empty() : item.item < 0;
    if (noEntry || item.painter == nullptr) {
        return false;
    }
    QPainter& painter = *item.painter;
    const QPalette palette = QApplication::palette();
    QColor background = palette.color(QPalette::Active, QPalette::Base);
    QColor text = palette.color(QPalette::Active, QPalette::Text);
    if (item.disabled) {
        background = palette.color(QPalette::Active, QPalette::Button);
        text = palette.color(QPalette::Disabled, QPalette::Text);
    } else if (item.selected && !item.selectionField) {
        background = palette.color(QPalette::Active, QPalette::Highlight);
        text = palette.color(QPalette::Active, QPalette::HighlightedText);
    }
    painter.save();
    painter.fillRect(item.rect, background);
    painter.setPen(text);
    if (!item.text.empty()) {
        painter.setFont(createFaceFont(item.text, 12, 0, false, false));
    }
    painter.drawText(item.rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     bytesToDisplay(item.text));
    if (item.selected) {
        drawFocusRectangle(painter, item.rect, background);
    }
    painter.restore();
    return true;
}

std::vector<int> listFontSizes(std::string_view face) {
    const QString family = installedFamily(bytesToDisplay(face));
    if (family.isEmpty()) {
        return {};
    }
    std::vector<int> sizes;
    if (QFontDatabase::isSmoothlyScalable(family)) {
        sizes.assign(std::begin(kStandardFontSizes), std::end(kStandardFontSizes));
    } else {
        for (const int size : QFontDatabase::pointSizes(family)) {
            sizes.push_back(size);
        }
        if (sizes.empty() && QFontDatabase::isBitmapScalable(family)) {
            sizes.assign(std::begin(kStandardFontSizes), std::end(kStandardFontSizes));
        }
    }
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    sizes.erase(sizes.begin(), std::upper_bound(sizes.begin(), sizes.end(), 0));
    return sizes;
}

} // namespace parlavo
