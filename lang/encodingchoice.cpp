#include "lang/encodingchoice.h"

#include "lang/answermemory.h"
#include "lang/inikeytable.h"
#include "lang/inilines.h"
#include "platform/byteordermark.h"

#include <charconv>
#include <filesystem>
#include <system_error>

namespace parlavo {

namespace {

// The encoding a "LanguageCodePage=1251" line names; nothing for another line or for 0 ("none").
std::optional<std::string> codePageOfLine(std::string_view line) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view key = ini::trim(line.substr(0, equals));
    if (!caseBlindEqual(key, "languagecodepage") && !caseBlindEqual(key, "codepage")) {
        return std::nullopt;
    }
    const std::string_view value = ini::trim(line.substr(equals + 1));
    long number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size() || number == 0) {
        return std::nullopt;
    }
    return encodingForCodePage(number);
}

} // namespace

std::string_view reasonText(EncodingReason reason) {
    switch (reason) {
    case EncodingReason::ByteOrderMark:
        return "byte-order mark";
    case EncodingReason::YourChoice:
        return "your choice";
    case EncodingReason::Declared:
        return "declared in the file";
    case EncodingReason::Utf8:
        return "UTF-8";
    case EncodingReason::Detected:
        return "detected";
    case EncodingReason::FromEnglish:
        return "as the English file";
    case EncodingReason::Fallback:
        break;
    }
    return "default";
}

std::optional<std::string> declaredEncoding(std::string_view bytes) {
    // The usual spellings (LanguageCodePage, Codepage, CODEPAGE) hold one of these; a fast search for
    // them spares a look at every line of a large file.
    for (const std::string_view part : {"odePage", "odepage", "ODEPAGE"}) {
        for (std::size_t at = bytes.find(part); at != std::string_view::npos; at = bytes.find(part, at + 1)) {
            const std::size_t lineEnd = bytes.find_last_of("\r\n", at);
            const std::size_t start = lineEnd == std::string_view::npos ? 0 : lineEnd + 1;
            const std::size_t end = std::min(bytes.find_first_of("\r\n", at), bytes.size());
            if (std::optional<std::string> declared = codePageOfLine(bytes.substr(start, end - start))) {
                return declared;
            }
        }
    }
    return std::nullopt;
}

FileEncoding decideEncoding(std::string_view bytes, ByteKind kind,
                            const std::optional<std::string>& remembered, const FileEncoding* english) {
    if (startsWithByteOrderMark(bytes)) {
        return {std::string(kUtf8), EncodingReason::ByteOrderMark};
    }
    if (std::optional<std::string> chosen = remembered ? canonicalEncodingName(*remembered) : std::nullopt) {
        return {std::move(*chosen), EncodingReason::YourChoice};
    }
    const bool ascii = kind == ByteKind::Ascii;
    // Some files declare their host's code page even when they are written in UTF-8: the bytes tell.
    const bool utf8 = kind == ByteKind::Utf8;
    if (!utf8) {
        if (std::optional<std::string> declared = declaredEncoding(bytes)) {
            return {std::move(*declared), EncodingReason::Declared};
        }
    }
    if (utf8) {
        return {std::string(kUtf8), EncodingReason::Utf8};
    }
    if (ascii) {
        return english != nullptr ? FileEncoding{english->name, EncodingReason::FromEnglish}
                                  : FileEncoding{std::string(kUtf8), EncodingReason::Utf8};
    }
    if (std::optional<std::string> detected = detectEncoding(bytes)) {
        return {std::move(*detected), EncodingReason::Detected};
    }
    if (english != nullptr && toUtf8(bytes, english->name).ok()) {
        return {english->name, EncodingReason::FromEnglish};
    }
    return {std::string(kWindowsWestern), EncodingReason::Fallback};
}

std::string encodingKeyFor(std::string_view path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::path(path), error);
    if (error) {
        return std::string(path);
    }
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, error);
    return error ? absolute.lexically_normal().string() : canonical.string();
}

std::optional<std::string> rememberedEncoding(const IniDocument& settings, std::string_view path) {
    const std::optional<std::string> stored =
        settings.findExact(kEncodingsSection, encodeMemoryKey(encodingKeyFor(path)));
    return stored ? canonicalEncodingName(*stored) : std::nullopt;
}

void rememberEncoding(IniDocument& settings, std::string_view path, std::string_view name) {
    settings.setExact(kEncodingsSection, encodeMemoryKey(encodingKeyFor(path)), name);
}

std::string unencodableMessage(std::string_view characters, std::string_view encoding) {
    std::string listed;
    for (std::size_t at = 0; at < characters.size();) {
        std::size_t length = 1;
        while (at + length < characters.size() &&
               (static_cast<unsigned char>(characters[at + length]) & 0xC0) == 0x80) {
            ++length;
        }
        listed += (listed.empty() ? "\u201C" : " \u201C");
        listed.append(characters.substr(at, length)).append("\u201D");
        at += length;
    }
    return "The translation file is written in " + std::string(encodingLabel(encoding)) +
           ", which cannot hold these characters: " + listed +
           ". Replace them, or choose another encoding for the file.";
}

} // namespace parlavo
