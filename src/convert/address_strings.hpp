// Byte-string helpers for house numbers. Digits are the ASCII bytes 0-9 only;
// letters of every alphabet are non-digits.
#pragma once

#include <string_view>

namespace ostrak {

// The part of s before its first space; s itself when it has none.
std::string_view CutAtSpace(std::string_view s) noexcept;

// The longest run of digits at the start of s; empty when s begins otherwise.
std::string_view LeadingDigits(std::string_view s) noexcept;

// True when every byte of s is a digit; true for the empty string.
bool IsAllDigits(std::string_view s) noexcept;

}  // namespace ostrak
