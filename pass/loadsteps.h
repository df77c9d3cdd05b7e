#pragma once

// The steps of a load that read the two language files and decide their encodings (prepareWorkList
// puts them in order).

#include "lang/profile.h"
#include "pass/workload.h"
#include "platform/encoding.h"

#include <string>

namespace parlavo::loadsteps {

// The bytes of a language file, with the number of LF bytes in them.
struct LanguageBytes {
    std::string bytes;
    std::size_t lineFeeds = 0;
};

// Reads both language files' bytes. Unlike a plain load, a file that exists but cannot be read is an
// error here: reading it as empty would rewrite the Translated file to almost nothing.
Status readBothFiles(const LoadPaths& paths, LanguageBytes& english, LanguageBytes& translated);

// Parses both files (before the settings are at hand: nothing here needs them).
Status parseBothFiles(LanguageBytes english, LanguageBytes translated, WorkList& work);

// What the bytes of the two files are, found for those whose encoding is to be decided.
struct ByteKinds {
    ByteKind english = ByteKind::Other;
    ByteKind translated = ByteKind::Other;
};
ByteKinds kindsToDecide(const WorkList& work, const LoadOptions& options);

// Decides both encodings; lines an earlier version wrote as UTF-8 into a legacy-encoded Translated
// file are found and, when the caller agrees, converted (the file is then parsed again).
Status decideEncodings(const LoadPaths& paths, const LoadOptions& options, IniDocument& settings,
                       const ByteKinds& kinds, LoadResult& result);

// The warning for English lines the Translated file's encoding cannot hold.
std::string unconvertedWarning(const WorkList& work);

} // namespace parlavo::loadsteps
