#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace parlavo {

struct LoadResult;

// Exit statuses of parlavo-sync.
inline constexpr int kSyncNothingPending = 0;
inline constexpr int kSyncEntriesPending = 1;
inline constexpr int kSyncUsageError = 2;

// The command-line companion: does what "Load Files" does before the first entry is shown and lists
// the pending entries. args are the arguments after the program name. With leftovers given, what
// the run read and made is left there for the caller instead of being freed on return.
int runSync(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            LoadResult* leftovers = nullptr);

// A field of the entry list: backslash, tab, CR and LF written as \\, \t, \r and \n.
std::string escapeSyncField(std::string_view field);

} // namespace parlavo
