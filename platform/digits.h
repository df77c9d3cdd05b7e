#pragma once

namespace parlavo {

inline constexpr int kNotADigit = 99;

// The value of a digit in any base up to 36 (letters in either case), or kNotADigit.
constexpr int digitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'Z') {
        return c - 'A' + 10;
    }
    return kNotADigit;
}

// The value of a hexadecimal digit, or -1.
constexpr int hexDigitValue(char c) {
    const int value = digitValue(c);
    return value < 16 ? value : -1;
}

} // namespace parlavo
