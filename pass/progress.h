#pragma once

#include "platform/clock.h"

#include <string>

namespace parlavo {

inline constexpr std::string_view kVersion = "v1.11";

// Progress of a pass and its time estimate, in seconds of a monotonic clock.
struct Progress {
    int total = 0;    // pending entries of the pass
    int answered = 0; // entries answered for the first time
    int keyCount = 0; // key lines of the English file
    float lastMark = 0;
    float elapsedSeconds = 0;
    float averageSeconds = 0;
    float remainingSeconds = 0;
};

// Adds the time since the last mark, sets a new mark and recomputes the estimate.
void recordProgress(Progress& progress, const Clock& clock);

// " 1 min 15 secs" and the like; "" for nothing left.
std::string durationText(float remainingSeconds);

// "Parlavo v1.11  (12 of 345 need translating)  Time to completion:  1 min 15 secs"
std::string titleText(const Progress& progress);

} // namespace parlavo
