#include "pass/progress.h"

#include <cmath>
#include <cstdint>

namespace parlavo {

namespace {

// Round to the nearest integer, ties to even (2.5 gives 2, 3.5 gives 4).
std::int64_t roundEven(float value) {
    float rounded = std::nearbyint(value); // the default rounding mode rounds ties to even
    if (!(rounded > -9.0e18f && rounded < 9.0e18f)) {
        return rounded > 0 ? INT64_MAX : 0; // infinity or NaN: no sensible count
    }
    return static_cast<std::int64_t>(rounded);
}

std::string unit(std::int64_t count, const char* singular, const char* plural) {
    return std::to_string(count) + (count > 1 ? plural : singular);
}

} // namespace

void recordProgress(Progress& progress, const Clock& clock) {
    // One reading serves as the end of this interval and the start of the next, so no time
    // between two readings is lost.
    double now = clock.seconds();
    progress.elapsedSeconds += static_cast<float>(now - static_cast<double>(progress.lastMark));
    progress.lastMark = static_cast<float>(now);
    progress.averageSeconds = progress.answered > 0 ? progress.elapsedSeconds / progress.answered : 0.0f;
    progress.remainingSeconds =
        progress.averageSeconds * static_cast<float>(progress.total - progress.answered);
}

std::string durationText(float remainingSeconds) {
    const float r = remainingSeconds;
    std::string text;
    const std::int64_t hours = roundEven(r) / 3600;
    if (hours != 0) {
        text = unit(hours, " hr", " hrs");
    }
    const float afterHours = r - 3600.0f * static_cast<float>(hours);
    const std::int64_t minutes = roundEven(afterHours) / 60;
    if (minutes > 0) {
        text += ' ';
        text += unit(minutes, " min", " mins");
    }
    const std::int64_t seconds = roundEven(afterHours - 60.0f * static_cast<float>(minutes));
    if (seconds > 0) {
        text += ' ';
        text += unit(seconds, " sec", " secs");
    }
    return text;
}

std::string titleText(const Progress& progress) {
    std::string title = "Parlavo ";
    title += kVersion;
    title += "  (";
    title += std::to_string(progress.total - progress.answered);
    title += " of ";
    title += std::to_string(progress.keyCount);
    title += " need translating)  ";
    title += "Time to completion: ";
    title += durationText(progress.remainingSeconds);
    return title;
}

} // namespace parlavo
