#include "convert/address_strings.hpp"

#include <algorithm>

namespace ostrak {

namespace {

constexpr bool IsDigit(char byte) noexcept { return byte >= '0' && byte <= '9'; }

}  // namespace

std::string_view CutAtSpace(std::string_view s) noexcept { return s.substr(0, s.find(' ')); }

std::string_view LeadingDigits(std::string_view s) noexcept {
  return s.substr(0, static_cast<std::size_t>(std::find_if_not(s.begin(), s.end(), IsDigit) - s.begin()));
}

bool IsAllDigits(std::string_view s) noexcept { return std::all_of(s.begin(), s.end(), IsDigit); }

}  // namespace ostrak
