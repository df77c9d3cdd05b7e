// The font family list and the sizes offered for a face.
#include "widgets/fontpicker.h"

#include <QComboBox>
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

} // namespace
} // namespace parlavo
