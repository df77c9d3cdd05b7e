#include "platform/gui/bytetext.h"

#include <algorithm>
#include <array>

namespace parlavo {

namespace {

// Windows-1252 for 0x80..0x9F; the five unassigned bytes keep their own code point.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t cp1252(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        return kCp1252High[byte - 0x80];
    }
    return byte;
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence at pos (its code point in codePoint), or 0 when the bytes there
// are not valid UTF-8 (overlong forms, surrogates and values above U+10FFFF are invalid).
std::size_t utf8Sequence(std::string_view bytes, std::size_t pos, char32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    std::size_t length = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (pos + length > bytes.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[pos + i]);
        if (!isContinuation(next)) {
            return 0;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < min || codePoint > 0x10FFFF || surrogate) {
        return 0;
    }
    return length;
}

// The character at pos as the display sees it; pos moves past it.
char32_t nextCharacter(std::string_view bytes, std::size_t& pos) {
    char32_t codePoint = 0;
    std::size_t length = utf8Sequence(bytes, pos, codePoint);
    if (length == 0) {
        codePoint = cp1252(static_cast<unsigned char>(bytes[pos]));
        length = 1;
    }
    pos += length;
    return codePoint;
}

// How many ASCII bytes start at pos.
std::size_t asciiRun(std::string_view bytes, std::size_t pos) {
    std::size_t end = pos;
    while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) < 0x80) {
        ++end;
    }
    return end - pos;
}

// Qt uses UTF-8 as the local 8-bit encoding on every system but Windows; there the ANSI code page
// gives every byte a character.
bool localeIsUtf8() {
#ifdef Q_OS_WIN
    return false;
#else
    return true;
#endif
}

} // namespace

QString bytesToDisplay(std::string_view bytes) {
    if (!localeIsUtf8()) {
        return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    // Runs of ASCII, which most of a language file is, are appended whole.
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t ascii = asciiRun(bytes, pos);
        if (ascii > 0) {
            text.append(QLatin1StringView(bytes.data() + pos, static_cast<qsizetype>(ascii)));
            pos += ascii;
            continue;
        }
        std::size_t next = pos;
        const char32_t codePoint = nextCharacter(bytes, next);
        for (char16_t unit : QChar::fromUcs4(codePoint)) {
            text.append(QChar(unit));
        }
        pos = next;
    }
    return text;
}

int displayOffset(std::string_view bytes, std::size_t byteOffset) {
    byteOffset = std::min(byteOffset, bytes.size());
    if (!localeIsUtf8()) {
        return static_cast<int>(bytesToDisplay(bytes.substr(0, byteOffset)).size());
    }
    int units = 0;
    const std::string_view before = bytes.substr(0, byteOffset);
    for (std::size_t pos = 0; pos < byteOffset;) {
        const std::size_t ascii = asciiRun(before, pos);
        units += static_cast<int>(ascii);
        pos += ascii;
        if (pos < byteOffset) {
            units += nextCharacter(bytes, pos) > 0xFFFF ? 2 : 1; // a sequence started here counts whole
        }
    }
    return units;
}

std::string_view shownStart(std::string_view bytes) {
    if (bytes.size() <= kShownTextBytes) {
        return bytes;
    }
    std::size_t cut = kShownTextBytes;
    for (int back = 0; back < 3 && cut > 0 && isContinuation(static_cast<unsigned char>(bytes[cut]));
         ++back) {
        --cut;
    }
    return bytes.substr(0, cut);
}

QString shortenedNotice(std::size_t shownBytes, std::size_t fullBytes) {
    if (shownBytes == fullBytes) {
        return {};
    }
    return QStringLiteral(" \u2026 (shortened: %1 bytes)").arg(static_cast<qulonglong>(fullBytes));
}

QString shortenedForDisplay(std::string_view bytes) {
    const std::string_view shown = shownStart(bytes);
    return bytesToDisplay(shown) + shortenedNotice(shown.size(), bytes.size());
}

std::string displayToBytes(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

} // namespace parlavo
