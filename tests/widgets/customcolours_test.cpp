// The colour dialog's custom colours in their stored 16-line form.
#include "widgets/colourchooser.h"

#include <gtest/gtest.h>
#include <map>

namespace parlavo {
namespace {

constexpr char kRedWhiteText[] =
    "ColorA=FF\r\nColorB=FFFFFF\r\nColorC=0\r\nColorD=0\r\nColorE=0\r\nColorF=0\r\n"
    "ColorG=0\r\nColorH=0\r\nColorI=0\r\nColorJ=0\r\nColorK=0\r\nColorL=0\r\n"
    "ColorM=0\r\nColorN=0\r\nColorO=0\r\nColorP=0\r\n";

TEST(CustomColours, WrittenAsSixteenUpperCaseHexLinesAndReadBackExactly) {
    CustomColours colours{};
    colours[0] = 0x0000FF;
    colours[1] = 0xFFFFFF;
    EXPECT_EQ(encodeCustomColours(colours), kRedWhiteText);

    EXPECT_EQ(decodeCustomColours(kRedWhiteText), colours);
    colours[15] = 0xFFFFFFFFu;
    EXPECT_EQ(decodeCustomColours(encodeCustomColours(colours)), colours);
}

TEST(CustomColours, HandEditedTextIsReadLineByPosition) {
    const struct {
        std::string text;
        std::map<std::size_t, std::uint32_t> nonBlack; // the others are black
    } cases[] = {
        // Letters before "=" do not matter, lower-case digits count, digits stop at another character,
        // a line without "=" is read whole.
        {"ColorZ=12\r\nColorB=ff8000\r\nFF8000;x\r\n", {{0, 0x12u}, {1, 0xFF8000u}, {2, 0xFF8000u}}},
        // A blank before the digits, no digits at all, a value wider than 32 bits, a last line without CR LF.
        {"ColorA= FF\r\nColorB=\r\nColorC=123456789AB\r\n=7", {{2, 0x456789ABu}, {3, 7u}}},
        {"ColorA=FF\nColorB=FFFFFF\n", {{0, 0xFFu}}}, // LF alone does not end a line
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const CustomColours colours = decodeCustomColours(c.text);
        for (std::size_t slot = 0; slot < colours.size(); ++slot) {
            EXPECT_EQ(colours[slot], c.nonBlack.count(slot) ? c.nonBlack.at(slot) : 0u) << "slot " << slot;
        }
    }
}

} // namespace
} // namespace parlavo
