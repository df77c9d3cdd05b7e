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

// The value of an operation that can fail, or why it failed (the value is then left empty).
template <class T> struct [[nodiscard]] Result {
    Status status;
    T value{};

    bool ok() const { return status.ok(); }
    T valueOr(T fallback) const { return ok() ? value : std::move(fallback); }
};

} // namespace parlavo
