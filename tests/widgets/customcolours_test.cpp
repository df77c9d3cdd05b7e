// The colour dialog's custom colours in their stored 16-line form.
#include "store_folder.h"
#include "widgets/colourchooser.h"

#include <QSettings>
#include <gtest/gtest.h>

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

    CustomColours varied{};
    for (std::size_t slot = 0; slot < varied.size(); ++slot) {
        varied[slot] = static_cast<std::uint32_t>(slot * 0x10203u + 0xA0B0C);
    }
    varied[15] = 0xFFFFFFFFu;
    EXPECT_EQ(decodeCustomColours(encodeCustomColours(varied)), varied);
    EXPECT_NE(encodeCustomColours(varied).find("ColorP=FFFFFFFF\r\n"), std::string::npos);
}

TEST(CustomColours, HandEditedTextIsReadLineByPosition) {
    // Three lines: the rest stay black. Letters before "=" do not matter, lower-case digits do count,
    // digits stop at the first other character.
    const CustomColours three = decodeCustomColours("ColorZ=12\r\nColorB=ff8000\r\nFF8000;x\r\n");
    EXPECT_EQ(three[0], 0x12u);
    EXPECT_EQ(three[1], 0xFF8000u);
    EXPECT_EQ(three[2], 0xFF8000u); // no "=": the whole line
    for (std::size_t slot = 3; slot < three.size(); ++slot) {
        EXPECT_EQ(three[slot], 0u) << slot;
    }
    // A blank before the digits, no digits at all, and a value wider than 32 bits.
    const CustomColours odd = decodeCustomColours("ColorA= FF\r\nColorB=\r\nColorC=123456789AB\r\n=7");
    EXPECT_EQ(odd[0], 0u);
    EXPECT_EQ(odd[1], 0u);
    EXPECT_EQ(odd[2], 0x456789ABu);
    EXPECT_EQ(odd[3], 7u); // a last line without CR LF still counts
}

TEST(CustomColours, LineFeedsAloneMakeOneLineAndExtraLinesAreIgnored) {
    const CustomColours lf = decodeCustomColours("ColorA=FF\nColorB=FFFFFF\n");
    EXPECT_EQ(lf[0], 0xFFu);
    for (std::size_t slot = 1; slot < lf.size(); ++slot) {
        EXPECT_EQ(lf[slot], 0u) << slot;
    }
    std::string seventeen;
    for (int line = 1; line <= 17; ++line) {
        seventeen += "C=" + std::to_string(line) + "\r\n";
    }
    const CustomColours many = decodeCustomColours(seventeen);
    EXPECT_EQ(many[15], 0x16u);
    EXPECT_EQ(decodeCustomColours(""), CustomColours{});
}

TEST(CustomColours, StoreKeepsTheTextWithItsLineEnds) {
    const test::StoreFolder store;
    EXPECT_EQ(readCustomColoursText(), "");
    writeCustomColoursText(kRedWhiteText);
    EXPECT_EQ(readCustomColoursText(), kRedWhiteText);
    writeCustomColoursText("ColorA=1\n");
    EXPECT_EQ(readCustomColoursText(), "ColorA=1\n");
    EXPECT_TRUE(QSettings(QStringLiteral("Tolvane Kestrova"), QStringLiteral("General"))
                    .fileName()
                    .startsWith(store.path()));
}

} // namespace
} // namespace parlavo
