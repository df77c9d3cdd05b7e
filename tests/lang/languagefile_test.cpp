#include "lang/inilines.h"
#include "lang/languagefile.h"
#include "platform/bytecount.h"

#include <gtest/gtest.h>

namespace parlavo {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

// Each line as the reader sees it: "[SECTION]KEY=VALUE" for a key line, "'TEXT'" for any other,
// joined by " | ", then the file's line end and the key count.
std::string describe(const LanguageFile& file) {
    std::string text;
    for (const LanguageLine& line : file.lines) {
        const std::string part = line.isKeyLine()
                                     ? "[" + std::string(line.section()) + "]" + std::string(line.key()) +
                                           "=" + std::string(line.value())
                                     : "'" + std::string(line.text()) + "'";
        text += part;
        text += " | ";
    }
    const std::string end = file.lineEnd == "\r\n" ? "CRLF " : file.lineEnd == "\n" ? "LF " : "CR ";
    return text + end + std::to_string(file.keyCount);
}

// Line breaks are looked for, and bytes counted, many at a time: every length past a few blocks, a
// break at each place or none, and a count past what one lane of a block can hold.
TEST(LanguageFile, LineBreaksAreFoundAndCountedAtEveryPlace) {
    for (std::size_t size = 0; size <= 50; ++size) {
        for (std::size_t at = 0; at <= size; ++at) {
            for (const char breaking : {'\r', '\n'}) {
                std::string text(size, '\x8D'); // a byte near both, with the high bit set
                if (at < size) {
                    text[at] = breaking;
                }
                const char* found = ini::findLineBreak(text.data(), text.data() + size);
                EXPECT_EQ(found - text.data(), static_cast<std::ptrdiff_t>(at)) << size << " " << at;
                // An "=" is noted only before the break, wherever the two fall.
                for (std::size_t sign = 0; sign < size; ++sign) {
                    if (sign == at) {
                        continue;
                    }
                    std::string line = text;
                    line[sign] = '=';
                    if (sign + 7 < size && sign + 7 != at) {
                        line[sign + 7] = '='; // a later sign is not the first
                    }
                    const char* equals = nullptr;
                    found = ini::findLineBreak(line.data(), line.data() + size, equals);
                    EXPECT_EQ(found - line.data(), static_cast<std::ptrdiff_t>(at)) << size << " " << at;
                    EXPECT_EQ(equals, sign < at ? line.data() + sign : nullptr)
                        << size << " " << at << " " << sign;
                }
                EXPECT_EQ(countByte(text, breaking), at < size ? 1u : 0u) << size << " " << at;
            }
        }
    }
    const std::string many = std::string(16 * 300 + 7, '\n') + "x";
    EXPECT_EQ(countByte(many, '\n'), 16u * 300 + 7);
    EXPECT_EQ(countByte(many, 'x'), 1u);
}

TEST(LanguageFile, LinesKeysSectionsAndTheByteOrderMarkAreReadByTheHostsRules) {
    const struct {
        std::string bytes;
        std::string lines;
    } cases[] = {
        // CR LF, a lone LF and a lone CR each end a line; the file's line end is the most used one,
        // CR LF on a tie or without any.
        {"a=1\r\nb=x\ry\r\nc=p\nq\r\n", "[]a=1 | []b=x | 'y' | []c=p | 'q' | '' | CRLF 3"},
        {"[S]\nA=Ouvrir\nB=Enregistrer\r\nC=Fermer\n",
         "'[S]' | [S]A=Ouvrir | [S]B=Enregistrer | [S]C=Fermer | '' | LF 3"},
        {"[A]\nk=v\r\n", "'[A]' | [A]k=v | '' | CRLF 1"},
        {"[A]\nk=v\rw\n\nj=2\n", "'[A]' | [A]k=v | 'w' | '' | [A]j=2 | '' | LF 2"},
        {"a=1\rb=2\r", "[]a=1 | []b=2 | '' | CR 2"},
        {"a=1", "[]a=1 | CRLF 1"},
        // Key and value lose only spaces; there is no comment syntax; an empty key still counts.
        {"  key  =  a value  \r\n\tTab=x\t\r\nk=a=b\r\n = v\r\n;c=1",
         "[]key=a value | []\tTab=x\t | []k=a=b | []=v | [];c=1 | CRLF 5"},
        // Headers need brackets at both ends, nothing around them, and may hold anything.
        {"[Dialogs]\r\na=1\r\n[A] \r\nc=3\r\n [B]\r\nd=4\r\n[open\r\n[\r\n[x=y]\r\nf=6\r\n[]\r\ng=7",
         "'[Dialogs]' | [Dialogs]a=1 | '[A] ' | [Dialogs]c=3 | ' [B]' | [Dialogs]d=4 | '[open' | '[' | "
         "'[x=y]' | [x=y]f=6 | '[]' | []g=7 | CRLF 5"},
        // The byte-order mark is skipped on the first line only, and kept in its text.
        {kBom + "[Text]\nk=v\n", "'" + kBom + "[Text]' | [Text]k=v | '' | LF 1"},
        {kBom + " k = v\r\n", "[]k=v | '' | CRLF 1"},
        {"[A]\r\n" + kBom + "[B]\r\nk=v", "'[A]' | '" + kBom + "[B]' | [A]k=v | CRLF 1"},
        {"", "'' | CRLF 0"},
    };
    for (const auto& c : cases) {
        const LanguageFile file = parseLanguageFile(c.bytes);
        EXPECT_EQ(describe(file), c.lines) << c.bytes;
        // Each line keeps its own end, so the lines give back the file's bytes.
        std::string joined;
        for (const LanguageLine& line : file.lines) {
            joined.append(line.text()).append(ini::kLineEnds[line.end()]);
        }
        EXPECT_EQ(joined, c.bytes);
    }
}

} // namespace
} // namespace parlavo
