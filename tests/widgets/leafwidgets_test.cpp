// The leaf widgets and what they store: custom colours, the font lists, the colour swatches and
// the open-file dialog's filters.
#include "platform/gui/mainwindow.h"
#include "widgets/colourchooser.h"
#include "widgets/filedialog.h"
#include "widgets/fontpicker.h"
#include "widgets/swatch.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace parlavo {
namespace {

constexpr char kRedWhiteText[] =
    "ColorA=FF\r\nColorB=FFFFFF\r\nColorC=0\r\nColorD=0\r\nColorE=0\r\nColorF=0\r\n"
    "ColorG=0\r\nColorH=0\r\nColorI=0\r\nColorJ=0\r\nColorK=0\r\nColorL=0\r\n"
    "ColorM=0\r\nColorN=0\r\nColorO=0\r\nColorP=0\r\n";

TEST(CustomColours, WrittenAsSixteenUpperCaseHexLinesAndReadLineByPosition) {
    CustomColours colours{};
    colours[0] = 0x0000FF;
    colours[1] = 0xFFFFFF;
    EXPECT_EQ(encodeCustomColours(colours), kRedWhiteText);
    colours[15] = 0xFFFFFFFFu;
    EXPECT_EQ(decodeCustomColours(encodeCustomColours(colours)), colours);

    const struct {
        std::string text;
        std::map<std::size_t, std::uint32_t> nonBlack; // the others are black
    } cases[] = {
        {kRedWhiteText, {{0, 0xFFu}, {1, 0xFFFFFFu}}},
        // By hand: letters before "=" do not matter, lower-case digits count, digits stop at another
        // character, a line without "=" is read whole.
        {"ColorZ=12\r\nColorB=ff8000\r\nFF8000;x\r\n", {{0, 0x12u}, {1, 0xFF8000u}, {2, 0xFF8000u}}},
        // A blank before the digits, no digits at all, a value wider than 32 bits, a last line without CR LF.
        {"ColorA= FF\r\nColorB=\r\nColorC=123456789AB\r\n=7", {{2, 0x456789ABu}, {3, 7u}}},
        {"ColorA=FF\nColorB=FFFFFF\n", {{0, 0xFFu}}}, // LF alone does not end a line
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const CustomColours decoded = decodeCustomColours(c.text);
        for (std::size_t slot = 0; slot < decoded.size(); ++slot) {
            EXPECT_EQ(decoded[slot], c.nonBlack.count(slot) ? c.nonBlack.at(slot) : 0u) << "slot " << slot;
        }
    }
}

const std::vector<int> kStandard = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 32, 36, 48, 72};

TEST(FontPicker, ScalableFaceOffersTheSeventeenStandardSizesOnce) {
    EXPECT_EQ(listFontSizes("DejaVu Sans"), kStandard);
    EXPECT_EQ(listFontSizes("dejavu sans"), kStandard); // the system matches faces without case
    EXPECT_TRUE(listFontSizes("No Such Face Anywhere").empty());
    EXPECT_TRUE(listFontSizes("").empty());
}

TEST(FontPicker, FamilyListHoldsEveryFaceInCaseBlindNameOrderWithoutSelectingOrNotifying) {
    QComboBox list;
    list.addItem(QStringLiteral("stale entry"));
    QSignalSpy changes(&list, &QComboBox::currentIndexChanged);
    fillFontFamilies(list);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(list.currentIndex(), -1);
    ASSERT_EQ(static_cast<std::size_t>(list.count()), fontNames().size());
    EXPECT_TRUE(
        std::is_sorted(fontNames().begin(), fontNames().end(),
                       [](const std::string& a, const std::string& b) { return fontNameLess(a, b); }));
    EXPECT_EQ(list.itemText(0).toStdString(), fontNames().front());
    // The order folds ASCII letters to upper case and compares other bytes by value.
    EXPECT_TRUE(fontNameLess("abc", "ABD"));
    EXPECT_FALSE(fontNameLess("ABC", "abc"));
    EXPECT_FALSE(fontNameLess("abc", "ABC"));
    EXPECT_TRUE(fontNameLess("AB", "a_")); // "_" sorts after the upper-case letters
    EXPECT_TRUE(fontNameLess("Z", "\xC3\x84"));
}

// The colour at the centre of a swatch painted with this text.
QColor paintSwatch(const std::string& text, bool disabled = false) {
    QImage image(40, 28, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    DrawItemContext item;
    item.painter = &painter;
    item.rect = image.rect();
    item.text = text;
    item.disabled = disabled;
    drawSwatch(item);
    painter.end();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

TEST(Swatch, PaintsTheColourOfItsTextReadAsALow32BitNumber) {
    EXPECT_EQ(swatchColourFromText("4294967296"), 0u); // low 32 bits
    EXPECT_EQ(swatchColourFromText(" 255x"), 255u);
    EXPECT_EQ(swatchColourFromText("abc"), 0u);
    EXPECT_EQ(blueOf(0xFF336699u), 0x33);
    EXPECT_EQ(paintSwatch("255"), QColor(255, 0, 0));
    EXPECT_EQ(paintSwatch("16711680"), QColor(0, 0, 255));
    EXPECT_EQ(paintSwatch("4294967295"), QColor(255, 255, 255)); // top byte ignored
    const QColor face = QApplication::palette().color(QPalette::Disabled, QPalette::Button);
    EXPECT_EQ(paintSwatch("255", true), face);
}

TEST(FileDialogFilters, PairsShowTheirDescriptionAndMatchTheirPatterns) {
    EXPECT_EQ(
        nameFiltersFromText("LNG files (*.lng)|*.lng|All files (*.*)|*.*|"),
        (QStringList{QStringLiteral("LNG files (*.lng) (*.lng)"), QStringLiteral("All files (*.*) (*)")}));
    EXPECT_EQ(nameFiltersFromText("Text|*.txt;*.lng"), QStringList{QStringLiteral("Text (*.txt *.lng)")});
    EXPECT_EQ(nameFiltersFromText("Lonely description|"), QStringList{});
    EXPECT_TRUE(nameFiltersFromText("").isEmpty());
}

} // namespace
} // namespace parlavo
