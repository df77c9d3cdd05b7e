#include "lang/answermemory.h"

#include "lang/inilines.h"
#include "platform/digits.h"

#include <algorithm>

namespace parlavo {

// A text that a plain "key=value" line cannot hold is stored as kEscapePrefix followed by the text
// with "%", "=", CR, LF and a final blank written as "%XX" (two upper-case hex digits):
//   " Open"      ->  %esc: Open
//   "a=b"        ->  %esc:a%3Db
//   "[none]"     ->  %esc:[none]
//   "Save "      ->  %esc:Save%20
// Every other text is stored as it is, so the file stays readable and a line written by hand
// ("Open file=Ouvrir un fichier") is found. A plain text that itself starts with the prefix is
// escaped too, so reading never mistakes it for an escaped one.
//
// Lookups are exact: "Open" and "open" are different source texts. There is deliberately no
// fallback to a key that differs only in letter case: it would hand back the answer given for
// another text. Of two lines with the same key the first is read and rewritten.

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}

bool hasLineBreak(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; });
}

bool hasBlankEdge(std::string_view text) {
    return !text.empty() && (isBlank(text.front()) || isBlank(text.back()));
}

// True when text holds a CR, an LF or an "=", looked for sixteen bytes at a time where SSE2 is
// there (a key is looked up for every entry a load finds untranslated).
bool holdsLineBreakOrEquals(std::string_view text) {
    std::size_t at = 0;
#if defined(__SSE2__)
    constexpr std::size_t kBlock = sizeof(__m128i);
    for (; at + kBlock <= text.size(); at += kBlock) {
        const __m128i bytes = ini::detail::sixteenAt(text.data() + at);
        const auto equals =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('='))));
        if ((ini::detail::lineBreaksIn(bytes) | equals) != 0) {
            return true;
        }
    }
#endif
    return std::any_of(text.begin() + static_cast<std::ptrdiff_t>(at), text.end(),
                       [](char c) { return c == '\r' || c == '\n' || c == '='; });
}

// A key line reads back as exactly this key, and as no header or comment.
bool isPlainKey(std::string_view text) {
    return !text.empty() && !hasBlankEdge(text) && text.front() != ';' && text.front() != '[' &&
           !text.starts_with(kEscapePrefix) && !holdsLineBreakOrEquals(text);
}

// A value reads back as exactly this value (no blanks lost, no quotes taken off).
bool isPlainValue(std::string_view text) {
    const bool quoted =
        text.size() >= 2 && text.front() == text.back() && (text.front() == '"' || text.front() == '\'');
    return !hasLineBreak(text) && !hasBlankEdge(text) && !quoted && !text.starts_with(kEscapePrefix);
}

std::string escape(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string result(kEscapePrefix);
    result.reserve(kEscapePrefix.size() + text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool last = i + 1 == text.size();
        if (byte == '%' || byte == '=' || byte == '\r' || byte == '\n' || (last && isBlank(text[i]))) {
            result += '%';
            result += kHex[byte >> 4];
            result += kHex[byte & 0x0F];
        } else {
            result += text[i];
        }
    }
    return result;
}

} // namespace

std::string encodeMemoryKey(std::string_view source) {
    return isPlainKey(source) ? std::string(source) : escape(source);
}

std::string encodeMemoryValue(std::string_view answer) {
    return isPlainValue(answer) ? std::string(answer) : escape(answer);
}

std::string decodeMemoryText(std::string_view stored) {
    if (!stored.starts_with(kEscapePrefix)) {
        return std::string(stored);
    }
    stored.remove_prefix(kEscapePrefix.size());
    std::string result;
    result.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const int high = i + 2 < stored.size() && stored[i] == '%' ? hexDigitValue(stored[i + 1]) : -1;
        const int low = high >= 0 ? hexDigitValue(stored[i + 2]) : -1;
        if (low >= 0) {
            result += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            result += stored[i]; // a "%" not followed by two hex digits (written by hand) stays
        }
    }
    return result;
}

std::string recallAnswer(const IniDocument& settings, std::string_view source) {
    // A plain key is looked up as it is, without a copy.
    std::optional<std::string> stored = isPlainKey(source)
                                            ? settings.findExact(kAnswerMemorySection, source)
                                            : settings.findExact(kAnswerMemorySection, escape(source));
    if (!stored) {
        return std::string();
    }
    return isEscapedMemoryText(*stored) ? decodeMemoryText(*stored) : std::move(*stored);
}

void rememberAnswer(IniDocument& settings, std::string_view source, std::string_view answer) {
    settings.setExact(kAnswerMemorySection, encodeMemoryKey(source), encodeMemoryValue(answer));
}

std::optional<std::string> reuseAnswer(const IniDocument& settings, std::string_view sourceBytes,
                                       const FileEncoding& english, const FileEncoding& translated) {
    std::string stored;
    if (english.name == kUtf8 || isAscii(sourceBytes)) {
        stored = recallAnswer(settings, sourceBytes); // the text is its own UTF-8 form
    } else {
        if (const Result<std::string> text = toUtf8(sourceBytes, english.name); text.ok()) {
            stored = recallAnswer(settings, text.value);
        }
        if (stored.empty()) {
            stored = recallAnswer(settings, sourceBytes);
        }
    }
    if (stored.empty()) {
        return std::nullopt;
    }
    if (!isValidUtf8(stored) || translated.name == kUtf8) {
        return stored; // raw bytes stored by an earlier version, or UTF-8 for a UTF-8 file
    }
    Encoded encoded = fromUtf8(stored, translated.name);
    return encoded.ok() ? std::optional<std::string>(std::move(encoded.bytes)) : std::nullopt;
}

void rememberAnswerText(IniDocument& settings, std::string_view sourceUtf8, std::string_view answerUtf8) {
    rememberAnswer(settings, sourceUtf8, answerUtf8);
}

} // namespace parlavo
