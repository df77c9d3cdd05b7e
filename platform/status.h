#pragma once

#include <string>
#include <utility>

namespace parlavo {

// The outcome of an operation that can fail: empty error means success.
// The core never shows anything; the caller decides what the user sees.
struct [[nodiscard]] Status {
    std::string error;

    bool ok() const { return error.empty(); }
    static Status success() { return {}; }
    static Status failure(std::string message) { return Status{std::move(message)}; }
};

} // namespace parlavo
