#pragma once

#include "lang/profile.h"

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

// The forms used on disk (exposed for tests and for the benchmark).
std::string encodeMemoryKey(std::string_view source);
std::string encodeMemoryValue(std::string_view answer);
// The text a stored key or value stands for (the inverse of both encodings).
std::string decodeMemoryText(std::string_view stored);

} // namespace parlavo
