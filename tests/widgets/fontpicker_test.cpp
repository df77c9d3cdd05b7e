// The font family list and the sizes offered for a face.
#include "platform/gui/mainwindow.h"
#include "widgets/fontpicker.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <algorithm>
#include <gtest/gtest.h>

namespace parlavo {
namespace {

const std::vector<int> kStandard = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 32, 36, 48, 72};

TEST(FontPicker, ScalableFaceOffersTheSeventeenStandardSizesOnce) {
    const std::vector<int> sizes = listFontSizes("DejaVu Sans");
    EXPECT_EQ(sizes, kStandard);
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
    for (int i = 0; i < list.count(); ++i) {
        EXPECT_EQ(list.itemText(i).toStdString(), fontNames()[static_cast<std::size_t>(i)]);
    }
    EXPECT_TRUE(
        std::is_sorted(fontNames().begin(), fontNames().end(),
                       [](const std::string& a, const std::string& b) { return fontNameLess(a, b); }));
    EXPECT_NE(list.findText(QStringLiteral("DejaVu Sans"), Qt::MatchExactly), -1);
    EXPECT_NE(list.findText(QStringLiteral("Liberation Serif"), Qt::MatchExactly), -1);
    // The order folds ASCII letters to upper case and compares other bytes by value.
    EXPECT_TRUE(fontNameLess("abc", "ABD"));
    EXPECT_FALSE(fontNameLess("ABC", "abc"));
    EXPECT_FALSE(fontNameLess("abc", "ABC"));
    EXPECT_TRUE(fontNameLess("AB", "a_")); // "_" sorts after the upper-case letters
    EXPECT_TRUE(fontNameLess("Z", "\xC3\x84"));
}

TEST(FontPicker, FaceFontHasTheAskedSizeAndStyle) {
    const QFont font = createFaceFont("DejaVu Serif", 12, 700, true, false);
    EXPECT_EQ(font.family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(font.pointSize(), 12);
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_TRUE(font.italic());
    EXPECT_EQ(createFaceFont("DejaVu Serif", 9, 0, false, true).weight(), QFont::Normal);
}

struct DrawnItem {
    bool drawn = false;
    QImage image{120, 24, QImage::Format_RGB32};
};

DrawnItem drawItem(int row, const std::string& text, bool selected, bool field, bool disabled = false) {
    DrawnItem result;
    result.image.fill(Qt::magenta);
    QPainter painter(&result.image);
    DrawItemContext item;
    item.painter = &painter;
    item.rect = result.image.rect();
    item.item = row;
    item.text = text;
    item.selected = selected;
    item.selectionField = field;
    item.disabled = disabled;
    result.drawn = drawFontItem(item);
    painter.end();
    return result;
}

// The colour of the far right of the row, where the face's name does not reach.
QColor backgroundOf(const DrawnItem& item) {
    return item.image.pixelColor(item.image.width() - 6, 12);
}

TEST(FontPicker, EntriesUseTheListColoursAndEmptyPlacesStayUndrawn) {
    const QPalette palette = QApplication::palette();
    EXPECT_EQ(backgroundOf(drawItem(0, "DejaVu Sans", true, false)), palette.color(QPalette::Highlight));
    EXPECT_EQ(backgroundOf(drawItem(0, "DejaVu Sans", false, false)), palette.color(QPalette::Base));
    // The selected face in the closed field is drawn with the window colours.
    EXPECT_EQ(backgroundOf(drawItem(-1, "DejaVu Sans", true, true)), palette.color(QPalette::Base));
    EXPECT_EQ(backgroundOf(drawItem(0, "DejaVu Sans", true, false, true)), palette.color(QPalette::Button));

    const DrawnItem plain = drawItem(0, "DejaVu Sans", false, false);
    EXPECT_TRUE(plain.drawn);
    const QColor text = palette.color(QPalette::Text);
    int textPixels = 0;
    for (int x = 0; x < 60; ++x) {
        for (int y = 0; y < plain.image.height(); ++y) {
            textPixels += plain.image.pixelColor(x, y) == text ? 1 : 0;
        }
    }
    EXPECT_GT(textPixels, 10);

    const DrawnItem none = drawItem(-1, "", false, true);
    EXPECT_FALSE(none.drawn);
    EXPECT_EQ(backgroundOf(none), QColor(Qt::magenta));
    EXPECT_FALSE(drawItem(-1, "DejaVu Sans", false, false).drawn);
}

} // namespace
} // namespace parlavo
