#pragma once

#include "platform/status.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parlavo {

// Text encodings of language files. Conversions go through the C library's iconv; detection through
// uchardet. Every offered encoding holds ASCII as ASCII, so ASCII text needs no conversion.

inline constexpr std::string_view kUtf8 = "UTF-8";
inline constexpr std::string_view kWindowsWestern = "windows-1252";

// An encoding the translator can choose: its canonical name (used in the settings file and on the
// command line) and the label the window shows ("Windows-1251 (Cyrillic)").
struct EncodingInfo {
    std::string_view name;
    std::string_view label;
};
const std::vector<EncodingInfo>& offeredEncodings();

// The canonical name of an offered encoding for any usual spelling, letter case, "-" and "_"
// ignored: "cp1251", "Windows-1251" and "1251" give "windows-1251"; "shift_jis" "CP932", "big5"
// "CP950", "gbk" "CP936", "latin1" "ISO-8859-1". Nothing for a name that is not offered.
std::optional<std::string> canonicalEncodingName(std::string_view anySpelling);
// The canonical name for a Windows code page number (1251, 932, 65001, 28591, ...), or nothing.
std::optional<std::string> encodingForCodePage(long codePage);
// The label of an offered encoding; the name itself for any other.
std::string_view encodingLabel(std::string_view name);

bool isAscii(std::string_view bytes);
bool isValidUtf8(std::string_view bytes);
// True when the bytes hold a UTF-8 lead byte followed by a continuation byte. Every text that is
// valid UTF-8 and not ASCII does, so a text without one is ruled out at a glance (text in a legacy
// code page mostly is).
bool holdsUtf8Sequence(std::string_view bytes);

// What a text's bytes are: all ASCII, else valid UTF-8, else neither.
enum class ByteKind { Ascii, Utf8, Other };
ByteKind kindOfBytes(std::string_view bytes);

// The text as UTF-8; fails on bytes that are not valid in the encoding.
Result<std::string> toUtf8(std::string_view bytes, std::string_view encoding);
// The same for display only: every invalid byte is shown as U+FFFD.
std::string toUtf8Lossy(std::string_view bytes, std::string_view encoding);
// True when toUtf8Lossy gives the bytes back unchanged: ASCII, or valid UTF-8 in UTF-8.
bool isUtf8Already(std::string_view bytes, std::string_view encoding);

// UTF-8 text in an encoding. unconvertible lists the characters the encoding cannot hold (as
// UTF-8, each once, in order of first appearance); bytes then lacks them and must not be written.
// An invalid UTF-8 sequence in the input counts as the unconvertible character U+FFFD.
struct Encoded {
    std::string bytes;
    std::string unconvertible;
    bool ok() const { return unconvertible.empty(); }
};
Encoded fromUtf8(std::string_view utf8, std::string_view encoding);

// Bytes of one encoding in another; nothing when a byte is invalid in from or a character cannot be
// held by to.
std::optional<std::string> convertText(std::string_view bytes, std::string_view from, std::string_view to);

// The offered encoding uchardet finds for the bytes; nothing when it is unsure or finds another.
// ISO-8859-1 is reported as windows-1252, which holds the same letters and more.
std::optional<std::string> detectEncoding(std::string_view bytes);

} // namespace parlavo
