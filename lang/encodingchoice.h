#pragma once

#include "lang/profile.h"
#include "platform/encoding.h"

#include <optional>
#include <string>
#include <string_view>

namespace parlavo {

// How a language file's encoding was decided, in the order the decision tries them.
enum class EncodingReason { ByteOrderMark, YourChoice, Declared, Utf8, Detected, FromEnglish, Fallback };

// A language file's encoding (a canonical name of offeredEncodings()) and how it was decided.
struct FileEncoding {
    std::string name{kUtf8};
    EncodingReason reason = EncodingReason::Utf8;
};

// The encodings of the two files of a pass.
struct FileEncodings {
    FileEncoding english;
    FileEncoding translated;
};

// "byte-order mark", "your choice", "declared in the file", "UTF-8", "detected",
// "as the English file", "default".
std::string_view reasonText(EncodingReason reason);

// The encoding of a language file's bytes: a UTF-8 byte-order mark; else the translator's remembered
// choice; else a code page the file declares (LanguageCodePage=1251), unless its bytes are UTF-8
// with non-ASCII text; else UTF-8 for valid UTF-8 with non-ASCII text; else the
// detector's answer. For a Translated file (english given) that is new or pure ASCII, the English
// file's encoding; a pure ASCII English file is UTF-8. When the detector is unsure: the English file's
// encoding when the bytes are valid in it, else Windows-1252. kind is kindOfBytes(bytes), which the
// caller may have found while waiting for something else.
FileEncoding decideEncoding(std::string_view bytes, ByteKind kind,
                            const std::optional<std::string>& remembered, const FileEncoding* english);

// The code page a file declares in a LanguageCodePage (or CodePage) key, when it is an offered one.
// The key is found in its usual spellings: LanguageCodePage, Codepage, codepage, CODEPAGE.
std::optional<std::string> declaredEncoding(std::string_view bytes);

// The translator's choices, in section "Encodings" of the settings file, keyed by the file's absolute
// path (encodingKeyFor: symbolic links and "." / ".." resolved, so every spelling of a path finds the
// same choice) in the answer memory's escaped form.
inline constexpr std::string_view kEncodingsSection = "Encodings";
std::string encodingKeyFor(std::string_view path);
std::optional<std::string> rememberedEncoding(const IniDocument& settings, std::string_view path);
void rememberEncoding(IniDocument& settings, std::string_view path, std::string_view name);

// The refusal of an answer holding characters the Translated file's encoding cannot hold:
// "The characters “ő” cannot be written in Windows-1251 (Cyrillic). ..."
std::string unencodableMessage(std::string_view characters, std::string_view encoding);

} // namespace parlavo
