#include "platform/clock.h"

#include <chrono>

namespace parlavo {

namespace {

// Readings count from the program's start, not from the machine's: the pass keeps its marks in
// 32-bit floats, which would lose the fractions of a second after a few days of uptime.
const std::chrono::steady_clock::time_point kProgramStart = std::chrono::steady_clock::now();

} // namespace

double SteadyClock::seconds() const {
    using namespace std::chrono;
    return duration<double>(steady_clock::now() - kProgramStart).count();
}

} // namespace parlavo
