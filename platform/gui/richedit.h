#pragma once

#include <string>

namespace parlavo {

// The class of the file view: selected once, then returned unchanged. release gives back what the
// selection took and returns the empty text.
std::string richEditClass(bool release);

} // namespace parlavo
