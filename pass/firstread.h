#pragma once

// What a load reads first: the settings, and the two language files parsed with what the rest of
// the load needs of them.

#include "lang/changedenglish.h"
#include "lang/keyindex.h"
#include "lang/profile.h"
#include "pass/loadsteps.h"
#include "pass/workload.h"

#include <optional>
#include <string>
#include <vector>

namespace parlavo {

// The settings, and of the parsed language files (in the work list): what their bytes are, the
// index of the Translated file's keys, which of its lines are translations, and the table of its
// translations that the answer memory is read against (when the settings want it).
struct FirstStep {
    Result<ProfileFile> settings;
    loadsteps::ByteKinds kinds;
    std::optional<KeyLineIndex> translatedIndex;
    std::vector<bool> translations; // of the Translated file's lines, see translationLines
    std::optional<AnswerUses> uses;
};

// Reads all three files; a failure is the language files' (a settings file that cannot be read is
// first.settings' failure).
Status readFirst(const LoadPaths& paths, const std::string& settingsFile, const LoadOptions& options,
                 WorkList& work, FirstStep& first);

} // namespace parlavo
