#include "lang/answermemory.h"
#include "lang/encodingchoice.h"
#include "platform/encoding.h"
#include "platform/files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace parlavo {
namespace {

const std::string kCorpus = std::string(PARLAVO_TEST_DATA_DIR) + "/corpus/";

std::string corpusFile(const std::string& name) {
    Result<std::string> bytes = readWholeFile(kCorpus + name);
    EXPECT_TRUE(bytes.ok()) << name;
    return bytes.value;
}

TEST(Encodings, LegacyCorpusFilesDecodeAndEncodeBackToTheSameBytes) {
    for (const auto& [file, encoding] : {std::pair{"innosetup/Russian-6.4.3.lng", "windows-1251"},
                                         {"innosetup/Japanese-5.5.9.lng", "CP932"},
                                         {"mwsnap/Chinese_BIG5-3.0.0.74.lng", "CP950"},
                                         {"mwsnap/Polski-3.0.0.74.lng", "windows-1250"}}) {
        const std::string bytes = corpusFile(file);
        const Result<std::string> text = toUtf8(bytes, encoding);
        ASSERT_TRUE(text.ok()) << file;
        EXPECT_TRUE(isValidUtf8(text.value) && !isAscii(text.value)) << file;
        const Encoded back = fromUtf8(text.value, encoding);
        EXPECT_TRUE(back.ok()) << file;
        EXPECT_TRUE(back.bytes == bytes) << file;
    }
    EXPECT_NE(toUtf8(corpusFile("innosetup/Russian-6.4.3.lng"), "windows-1251").value.find("Загрузка"),
              std::string::npos);
}

// Sixteen ASCII bytes are passed over at once, so sequences are tried on both sides of that stride.
TEST(Encodings, Utf8IsValidOnlyWithoutOverlongFormsSurrogatesOrCutSequences) {
    const std::string ascii16 = "sixteen bytes ok";
    const struct {
        std::string bytes;
        bool valid;
    } cases[] = {
        {"", true},
        {ascii16 + ascii16, true},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", true},
        {ascii16.substr(1) + "\xC3\xA9" + ascii16, true},     // a character across the stride
        {"\xED\x9F\xBF \xEE\x80\x80 \xF4\x8F\xBF\xBF", true}, // around the surrogates, the last one
        {"\xC0\x80", false},                                  // overlong
        {"\xE0\x9F\xBF", false},                              // overlong
        {"\xF0\x8F\xBF\xBF", false},                          // overlong
        {"\xED\xA0\x80", false},                              // a surrogate
        {"\xF4\x90\x80\x80", false},                          // above U+10FFFF
        {"\xF5\x80\x80\x80", false},
        {"\x80", false},
        {ascii16 + "\xFF", false},
        {"\xE2\x82", false},       // cut at the end
        {"\xC3" + ascii16, false}, // cut before ASCII
        {ascii16.substr(1) + "\xC3" + ascii16 + "\xA9", false},
        {ascii16 + "\xE2\x82" + ascii16, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << testing::PrintToString(c.bytes);
    }
}

// Blocks of ASCII and two-byte characters are checked sixteen bytes at once: a sequence is put
// between the characters of such a text at every place, on both sides of each block's edge, and
// the text is valid exactly when the sequence is.
TEST(Encodings, Utf8SequencesAreJudgedAlikeAtEveryPlaceInTwoByteText) {
    std::vector<std::string> letters;
    for (int i = 0; i < 30; ++i) {
        letters.push_back(i % 7 == 3 ? " " : (i % 2 == 0 ? "\xD0\xB6" : "\xD1\x91")); // ж, ё
    }
    const struct {
        std::string bytes;
        bool valid;
    } sequences[] = {
        {"", true},          {"\xC3\xA9", true},      {"\xE2\x82\xAC", true},  {"\xF0\x9F\x98\x80", true},
        {"\xC3", false},     {"\xA9", false},         {"\xC0\x80", false},     {"\xC1\xBF", false},
        {"\xC3\xC3", false}, {"\xC3\xA9\xA9", false}, {"\xED\xA0\x80", false}, {"\xFF", false},
    };
    for (const auto& sequence : sequences) {
        for (std::size_t at = 0; at <= letters.size(); ++at) {
            std::string text;
            for (std::size_t i = 0; i < letters.size(); ++i) {
                text += (i == at ? sequence.bytes : "") + letters[i];
            }
            text += at == letters.size() ? sequence.bytes : "";
            EXPECT_EQ(isValidUtf8(text), sequence.valid) << testing::PrintToString(text);
        }
    }
}

// A lead byte followed by a continuation byte is looked for sixteen bytes at a time: each pair is
// put at every place of a legacy line, across each block's edge.
TEST(Encodings, AUtf8SequenceIsFoundAtEveryPlaceAndOnlyWhereALeadHasItsContinuation) {
    const struct {
        std::string pair;
        bool found;
    } pairs[] = {{"\xC3\xA9", true},
                 {"\xF4\x8F", true},
                 {"\xC2\x80", true},
                 {"\xC3"
                  "a",
                  false},
                 {"\xC1\xBF", false},
                 {"\xF5\x80", false},
                 {"a\xA9", false}};
    for (const std::size_t size : {12, 40}) {   // shorter and longer than a block
        const std::string legacy(size, '\xE5'); // a letter of several code pages, never a continuation
        EXPECT_FALSE(holdsUtf8Sequence(legacy));
        for (const auto& pair : pairs) {
            for (std::size_t at = 0; at + pair.pair.size() <= legacy.size(); ++at) {
                std::string text = legacy;
                text.replace(at, pair.pair.size(), pair.pair);
                EXPECT_EQ(holdsUtf8Sequence(text), pair.found) << testing::PrintToString(text);
            }
        }
    }
}

// Every length up to past the wide blocks, with one high byte at each place or none.
TEST(Encodings, AsciiIsOnlyTextWithoutAHighByteAnywhere) {
    for (std::size_t size = 0; size <= 41; ++size) {
        const std::string text(size, 'a');
        EXPECT_TRUE(isAscii(text)) << size;
        for (std::size_t at = 0; at < size; ++at) {
            std::string high = text;
            high[at] = '\x80';
            EXPECT_FALSE(isAscii(high)) << size << " " << at;
        }
    }
}

TEST(Encodings, ConversionsRefuseWhatTheEncodingCannotHold) {
    // Each character the encoding lacks is named once, in order; nothing is replaced silently.
    const Encoded cyrillic = fromUtf8("Привет ő√ő €", "windows-1251");
    EXPECT_EQ(cyrillic.unconvertible, "ő√");
    EXPECT_EQ(fromUtf8("Привет", "windows-1251").bytes, "\xCF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_EQ(fromUtf8("bad \xC3 end", "UTF-8").unconvertible, "\uFFFD");
    EXPECT_FALSE(toUtf8("a\x98z", "windows-1251").ok()); // 0x98 is no character there
    EXPECT_EQ(toUtf8Lossy("a\x98z\xE9", "windows-1251"), "a\uFFFDzй");
    EXPECT_EQ(toUtf8Lossy("a\xC3z", "UTF-8"), "a\uFFFDz");
    EXPECT_EQ(convertText("\xC0\xEB\xEB\xEE", "windows-1251", "KOI8-R"), "\xE1\xCC\xCC\xCF");
    EXPECT_EQ(convertText("\xE9", "windows-1251", "windows-1252"), std::nullopt);
}

TEST(Encodings, NamesAreFoundInAnyUsualSpelling) {
    for (const auto& [spelling, name] : {std::pair{"cp1251", "windows-1251"},
                                         {"Windows_1251", "windows-1251"},
                                         {"1251", "windows-1251"},
                                         {"shift_jis", "CP932"},
                                         {"BIG5", "CP950"},
                                         {"gbk", "CP936"},
                                         {"latin1", "ISO-8859-1"},
                                         {"utf8", "UTF-8"},
                                         {"koi8-r", "KOI8-R"}}) {
        EXPECT_EQ(canonicalEncodingName(spelling), name) << spelling;
    }
    EXPECT_EQ(canonicalEncodingName("klingon"), std::nullopt);
    EXPECT_EQ(canonicalEncodingName("cp1234"), std::nullopt);
    for (const EncodingInfo& info : offeredEncodings()) {
        EXPECT_TRUE(fromUtf8("ASCII ok, ä", info.name).bytes.starts_with("ASCII ok, ")) << info.name;
    }
}

struct Decision {
    std::string bytes;
    std::optional<std::string> remembered;
    std::optional<FileEncoding> english;
    std::string name;
    EncodingReason reason;
};

TEST(Encodings, EachFileIsDecidedInTheOrderMarkChoiceDeclarationUtf8Detector) {
    using enum EncodingReason;
    const FileEncoding cp932{"CP932", Declared};
    const Decision cases[] = {
        {corpusFile("innosetup/French-6.0.5.lng"), {}, {}, "UTF-8", ByteOrderMark}, // declares 1252
        {corpusFile("innosetup/French-6.0.5.lng"), "cp1251", {}, "UTF-8", ByteOrderMark},
        {corpusFile("innosetup/Russian-6.4.3.lng"), {}, {}, "windows-1251", Declared},
        {corpusFile("innosetup/Japanese-5.5.9.lng"), {}, {}, "CP932", Declared},
        {corpusFile("innosetup/German-5.5.9.lng"), {}, {}, "windows-1252", Declared},
        {corpusFile("innosetup/Russian-6.4.3.lng"), "koi8-r", {}, "KOI8-R", YourChoice},
        {corpusFile("innosetup/English-7.1.0.lng"), {}, {}, "UTF-8", Utf8},
        // A UTF-8 file that declares its host's code page is still UTF-8.
        {"[LangOptions]\nLanguageCodePage=1252\nSize=Gr\xC3\xB6\xC3\x9F"
         "e\n",
         {},
         {},
         "UTF-8",
         Utf8},
        {corpusFile("mwsnap/Chinese_BIG5-3.0.0.74.lng"), {}, {}, "CP950", Detected},
        {corpusFile("mwsnap/Polski-3.0.0.74.lng"), {}, {}, "windows-1250", Detected},
        {corpusFile("mwsnap/Polski-3.0.0.74.lng"), "ISO-8859-2", {}, "ISO-8859-2", YourChoice},
        {"", {}, cp932, "CP932", FromEnglish}, // a new Translated file
        {"[Messages]\nOK=OK\n", {}, cp932, "CP932", FromEnglish},
        {"[Messages]\nOK=OK\n", {}, {}, "UTF-8", Utf8},
    };
    for (const Decision& c : cases) {
        const FileEncoding decided =
            decideEncoding(c.bytes, kindOfBytes(c.bytes), c.remembered, c.english ? &*c.english : nullptr);
        EXPECT_EQ(decided.name, c.name) << c.bytes.substr(0, 60);
        EXPECT_EQ(reasonText(decided.reason), reasonText(c.reason)) << c.bytes.substr(0, 60);
    }
}

TEST(Encodings, ChoicesAreRememberedPerFileUnderHostilePaths) {
    IniDocument settings;
    rememberEncoding(settings, "/home/a=b/[x]/Russian.lng", "windows-1251");
    rememberEncoding(settings, "/home/other.lng", "CP932");
    const IniDocument reread = IniDocument::parse(settings.serialize());
    EXPECT_EQ(rememberedEncoding(reread, "/home/a=b/[x]/Russian.lng"), "windows-1251");
    EXPECT_EQ(rememberedEncoding(reread, "/home/other.lng"), "CP932");
    EXPECT_EQ(rememberedEncoding(reread, "/home/a=b/[x]/russian.lng"), std::nullopt);
}

struct Reuse {
    const char* source;
    FileEncoding english;
    FileEncoding translated;
    std::optional<std::string> answer;
};

TEST(Encodings, TheAnswerMemoryServesEveryEncodingAndItsOldRawEntries) {
    IniDocument memory;
    rememberAnswerText(memory, "Open", "Открыть");
    rememberAnswerText(memory, "Größe", "Размер");
    rememberAnswer(memory, "Close", "\xC7\xE0\xEA\xF0\xFB\xF2\xFC"); // an earlier version's cp1251 bytes
    rememberAnswer(memory,
                   "Gr\xF6\xDF"
                   "e\xA0",
                   "\xD0\xE0\xE7"); // its raw cp1252 key
    const FileEncoding utf8{"UTF-8", EncodingReason::Utf8};
    const FileEncoding cp1251{"windows-1251", EncodingReason::Declared};
    const FileEncoding cp1252{"windows-1252", EncodingReason::Detected};
    const Reuse cases[] = {
        {"Open", utf8, cp1251, "\xCE\xF2\xEA\xF0\xFB\xF2\xFC"},
        {"Open", utf8, utf8, "Открыть"},
        {"Open", utf8, cp1252, std::nullopt}, // cannot be held: not pre-filled
        {"Gr\xF6\xDF"
         "e",
         cp1252, cp1251, "\xD0\xE0\xE7\xEC\xE5\xF0"},
        {"Close", utf8, cp1251, "\xC7\xE0\xEA\xF0\xFB\xF2\xFC"},
        {"Gr\xF6\xDF"
         "e\xA0",
         cp1252, cp1251, "\xD0\xE0\xE7"},
    };
    for (const Reuse& c : cases) {
        EXPECT_EQ(reuseAnswer(memory, c.source, c.english, c.translated), c.answer) << c.source;
    }
}

} // namespace
} // namespace parlavo
