// The offered encodings, their names and labels, and the detector's answers mapped onto them.
#include "platform/encoding.h"

#include <uchardet/uchardet.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>

namespace parlavo {

namespace {

// Other spellings of an offered name, in the folded form of foldName.
struct Alias {
    std::string_view folded;
    std::string_view name;
};
constexpr std::array kAliases{
    Alias{"utf8bom", "UTF-8"},      Alias{"shiftjis", "CP932"},      Alias{"sjis", "CP932"},
    Alias{"windows31j", "CP932"},   Alias{"ms932", "CP932"},         Alias{"mskanji", "CP932"},
    Alias{"gbk", "CP936"},          Alias{"gb2312", "CP936"},        Alias{"ms936", "CP936"},
    Alias{"uhc", "CP949"},          Alias{"euckr", "CP949"},         Alias{"ksc56011987", "CP949"},
    Alias{"ms949", "CP949"},        Alias{"big5", "CP950"},          Alias{"ms950", "CP950"},
    Alias{"latin1", "ISO-8859-1"},  Alias{"latin2", "ISO-8859-2"},   Alias{"latin3", "ISO-8859-3"},
    Alias{"latin4", "ISO-8859-4"},  Alias{"cyrillic", "ISO-8859-5"}, Alias{"arabic", "ISO-8859-6"},
    Alias{"greek", "ISO-8859-7"},   Alias{"hebrew", "ISO-8859-8"},   Alias{"latin5", "ISO-8859-9"},
    Alias{"latin6", "ISO-8859-10"}, Alias{"latin7", "ISO-8859-13"},  Alias{"latin8", "ISO-8859-14"},
    Alias{"latin9", "ISO-8859-15"}, Alias{"koi8", "KOI8-R"},
};

// Windows code page numbers of the offered encodings that are not windows-125x or cp9xx.
struct CodePage {
    long number;
    std::string_view name;
};
constexpr std::array kCodePages{
    CodePage{65001, "UTF-8"},       CodePage{20866, "KOI8-R"},      CodePage{28591, "ISO-8859-1"},
    CodePage{28592, "ISO-8859-2"},  CodePage{28593, "ISO-8859-3"},  CodePage{28594, "ISO-8859-4"},
    CodePage{28595, "ISO-8859-5"},  CodePage{28596, "ISO-8859-6"},  CodePage{28597, "ISO-8859-7"},
    CodePage{28598, "ISO-8859-8"},  CodePage{28599, "ISO-8859-9"},  CodePage{28600, "ISO-8859-10"},
    CodePage{28601, "ISO-8859-11"}, CodePage{28603, "ISO-8859-13"}, CodePage{28604, "ISO-8859-14"},
    CodePage{28605, "ISO-8859-15"}, CodePage{1250, "windows-1250"}, CodePage{1251, "windows-1251"},
    CodePage{1252, "windows-1252"}, CodePage{1253, "windows-1253"}, CodePage{1254, "windows-1254"},
    CodePage{1255, "windows-1255"}, CodePage{1256, "windows-1256"}, CodePage{1257, "windows-1257"},
    CodePage{1258, "windows-1258"}, CodePage{932, "CP932"},         CodePage{936, "CP936"},
    CodePage{949, "CP949"},         CodePage{950, "CP950"},
};

// Lower case, without "-", "_", " " and ".": "Shift_JIS" -> "shiftjis".
std::string foldName(std::string_view name) {
    std::string folded;
    for (const char c : name) {
        if (c >= 'A' && c <= 'Z') {
            folded += static_cast<char>(c - 'A' + 'a');
        } else if (c != '-' && c != '_' && c != ' ' && c != '.') {
            folded += c;
        }
    }
    return folded;
}

// The lines holding non-ASCII bytes, up to about kSampleBytes: all the detector needs, and far less
// work for it than a large file (it reads a few megabytes a second).
constexpr std::size_t kSampleBytes = 8 * 1024;
std::string nonAsciiLines(std::string_view bytes) {
    std::string sample;
    for (std::size_t start = 0; start < bytes.size() && sample.size() < kSampleBytes;) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        const std::string_view line = bytes.substr(start, end - start + (end < bytes.size() ? 1 : 0));
        if (!isAscii(line)) {
            sample.append(line);
        }
        start = end + 1;
    }
    return sample;
}

} // namespace

const std::vector<EncodingInfo>& offeredEncodings() {
    static const std::vector<EncodingInfo> kOffered{
        {"UTF-8", "UTF-8"},
        {"windows-1250", "Windows-1250 (Central European)"},
        {"windows-1251", "Windows-1251 (Cyrillic)"},
        {"windows-1252", "Windows-1252 (Western)"},
        {"windows-1253", "Windows-1253 (Greek)"},
        {"windows-1254", "Windows-1254 (Turkish)"},
        {"windows-1255", "Windows-1255 (Hebrew)"},
        {"windows-1256", "Windows-1256 (Arabic)"},
        {"windows-1257", "Windows-1257 (Baltic)"},
        {"windows-1258", "Windows-1258 (Vietnamese)"},
        {"CP932", "cp932 (Shift-JIS)"},
        {"CP936", "cp936 (GBK)"},
        {"CP949", "cp949 (Korean)"},
        {"CP950", "cp950 (Big5)"},
        {"ISO-8859-1", "ISO-8859-1 (Latin-1)"},
        {"ISO-8859-2", "ISO-8859-2 (Latin-2)"},
        {"ISO-8859-3", "ISO-8859-3 (Latin-3)"},
        {"ISO-8859-4", "ISO-8859-4 (Latin-4)"},
        {"ISO-8859-5", "ISO-8859-5 (Cyrillic)"},
        {"ISO-8859-6", "ISO-8859-6 (Arabic)"},
        {"ISO-8859-7", "ISO-8859-7 (Greek)"},
        {"ISO-8859-8", "ISO-8859-8 (Hebrew)"},
        {"ISO-8859-9", "ISO-8859-9 (Turkish)"},
        {"ISO-8859-10", "ISO-8859-10 (Nordic)"},
        {"ISO-8859-11", "ISO-8859-11 (Thai)"},
        {"ISO-8859-13", "ISO-8859-13 (Baltic)"},
        {"ISO-8859-14", "ISO-8859-14 (Celtic)"},
        {"ISO-8859-15", "ISO-8859-15 (Latin-9)"},
        {"KOI8-R", "KOI8-R (Cyrillic)"},
    };
    return kOffered;
}

std::optional<std::string> encodingForCodePage(long codePage) {
    const auto found = std::find_if(kCodePages.begin(), kCodePages.end(),
                                    [&](const CodePage& page) { return page.number == codePage; });
    return found != kCodePages.end() ? std::optional<std::string>(found->name) : std::nullopt;
}

std::optional<std::string> canonicalEncodingName(std::string_view anySpelling) {
    std::string folded = foldName(anySpelling);
    for (const std::string_view prefix : {"windows", "win", "cp", "ms"}) {
        long number = 0;
        const char* digits = folded.data() + prefix.size();
        const char* end = folded.data() + folded.size();
        if (folded.starts_with(prefix) && std::from_chars(digits, end, number).ptr == end && end != digits) {
            folded = std::to_string(number); // "cp1251", "windows1251" and "1251" alike
            break;
        }
    }
    long number = 0;
    const char* end = folded.data() + folded.size();
    if (!folded.empty() && std::from_chars(folded.data(), end, number).ptr == end) {
        return encodingForCodePage(number);
    }
    for (const EncodingInfo& info : offeredEncodings()) {
        if (foldName(info.name) == folded) {
            return std::string(info.name);
        }
    }
    for (const Alias& alias : kAliases) {
        if (alias.folded == folded) {
            return std::string(alias.name);
        }
    }
    return std::nullopt;
}

std::string_view encodingLabel(std::string_view name) {
    for (const EncodingInfo& info : offeredEncodings()) {
        if (info.name == name) {
            return info.label;
        }
    }
    return name;
}

std::optional<std::string> detectEncoding(std::string_view bytes) {
    const std::unique_ptr<uchardet, void (*)(uchardet_t)> detector(uchardet_new(), uchardet_delete);
    const std::string sample = nonAsciiLines(bytes);
    if (!detector || uchardet_handle_data(detector.get(), sample.data(), sample.size()) != 0) {
        return std::nullopt;
    }
    uchardet_data_end(detector.get());
    const std::string found = foldName(uchardet_get_charset(detector.get()));
    if (found.empty() || found == "ascii") {
        return std::nullopt; // unsure, or nothing to tell
    }
    // A Windows file the detector calls Latin-1 is Windows-1252, which reads 0x80-0x9F as letters.
    std::optional<std::string> name = found == "iso88591"  ? std::string(kWindowsWestern)
                                      : found == "gb18030" ? std::string("CP936")
                                                           : canonicalEncodingName(found);
    return name;
}

} // namespace parlavo
