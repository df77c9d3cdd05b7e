#pragma once

#include "pass/workload.h"

#include <string>

namespace parlavo {

// The problems of the translated entries of a load made without writing: one line per problem,
// LINE<TAB>SECTION<TAB>KEY<TAB>PROBLEM (LINE in the English file, fields escaped as in the entry
// list), then "N problems in M entries". problemCount receives N.
std::string checkReport(const LoadResult& result, std::size_t& problemCount);

} // namespace parlavo
