// The open-file dialog's filters.
#include "widgets/filedialog.h"

#include <gtest/gtest.h>

namespace parlavo {
namespace {

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
