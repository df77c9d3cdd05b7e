#pragma once

#include "lang/encodingchoice.h"
#include "lang/profile.h"

#include <optional>
#include <string>
#include <string_view>

namespace parlavo {

// The answer memory: section "AlreadyTranslated" of the settings file. For a source text it gives
// exactly the answer stored last for that same text (case-sensitive). Ordinary texts are stored as
// plain key=value lines; texts that plain INI syntax cannot hold (leading or trailing blanks, "=",
// a leading ";" or "[", quotes around the value, CR or LF, ...) are stored in an escaped form, so no
// text can break the file's structure.
inline constexpr std::string_view kAnswerMemorySection = "AlreadyTranslated";

std::string recallAnswer(const IniDocument& settings, std::string_view source);
void rememberAnswer(IniDocument& settings, std::string_view source, std::string_view answer);

// The memory holds UTF-8 text; earlier versions stored the files' raw bytes. reuseAnswer finds the
// answer for an English text (bytes of the English file): by its UTF-8 text, else by its raw bytes
// (an old entry). The answer comes as bytes of the Translated file: UTF-8 text encoded into its
// encoding, nothing when the encoding cannot hold it; an old answer that is not valid UTF-8 is taken
// as the Translated file's bytes as it is.
std::optional<std::string> reuseAnswer(const IniDocument& settings, std::string_view sourceBytes,
                                       const FileEncoding& english, const FileEncoding& translated);
// Stores an answer as UTF-8 text under its UTF-8 source text.
void rememberAnswerText(IniDocument& settings, std::string_view sourceUtf8, std::string_view answerUtf8);

// The forms used on disk (exposed for tests and for the benchmark).
std::string encodeMemoryKey(std::string_view source);
std::string encodeMemoryValue(std::string_view answer);
// The text a stored key or value stands for (the inverse of both encodings); only an escaped one
// differs from what is stored.
inline constexpr std::string_view kEscapePrefix = "%esc:";
inline bool isEscapedMemoryText(std::string_view stored) {
    return !stored.empty() && stored.front() == kEscapePrefix.front() && stored.starts_with(kEscapePrefix);
}
// The text a stored key or value stands for (the inverse of both encodings).
std::string decodeMemoryText(std::string_view stored);

} // namespace parlavo
