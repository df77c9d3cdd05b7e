#include "platform/gui/bytetext.h"

#include <gtest/gtest.h>

namespace parlavo::test {
namespace {

TEST(ByteText, ValidUtf8IsDecodedAndInvalidBytesShowAsWindows1252) {
    EXPECT_EQ(bytesToDisplay("caf\xC3\xA9"), QStringLiteral("caf\u00E9"));
    EXPECT_EQ(bytesToDisplay("\x80\x81\x9F\xE9"), QStringLiteral("\u20AC\u0081\u0178\u00E9"));
    EXPECT_EQ(bytesToDisplay("\xF0\x9F\x98\x80"), QString::fromUtf8("\xF0\x9F\x98\x80"));
    // Overlong forms, surrogates and cut sequences are not UTF-8: each byte stands for itself.
    EXPECT_EQ(bytesToDisplay("\xC0\xAF"), QStringLiteral("\u00C0\u00AF"));
    EXPECT_EQ(bytesToDisplay("\xED\xA0\x80"), QStringLiteral("\u00ED\u00A0\u20AC"));
    EXPECT_EQ(bytesToDisplay("ab\xE2\x82"), QStringLiteral("ab\u00E2\u201A"));
    EXPECT_EQ(bytesToDisplay(std::string_view("a\0b", 3)), QString(QStringLiteral("a") + QChar(0) + u'b'));
}

TEST(ByteText, DisplayOffsetsCountUtf16UnitsOfTheBytesBefore) {
    const std::string_view line = "K\xE9y=\xC3\xA9\xF0\x9F\x98\x80!";
    EXPECT_EQ(displayOffset(line, 0), 0);
    EXPECT_EQ(displayOffset(line, 4), 4);  // one invalid byte is one character
    EXPECT_EQ(displayOffset(line, 6), 5);  // two bytes, one character
    EXPECT_EQ(displayOffset(line, 10), 7); // four bytes, two UTF-16 units
    EXPECT_EQ(displayOffset(line, 11), 8);
    EXPECT_EQ(displayOffset(line, 99), 8);
    EXPECT_EQ(displayToBytes(QStringLiteral("\u00E9")), "\xC3\xA9");
}

} // namespace
} // namespace parlavo::test
