#include "mp/errors.hpp"

#include <algorithm>
#include <cstring>

#include "mp/io_result.hpp"

namespace ostrak {

Exception::Exception(std::string_view message, const void* location) noexcept
    : FMessage{}, FMessageLength(0), FLocation(location) {
  SetMessage(message);
}

void Exception::SetMessage(std::string_view message) noexcept {
  FMessageLength = std::min(message.size(), MessageCapacity);
  if (FMessageLength > 0) std::memcpy(FMessage, message.data(), FMessageLength);
}

EInOutError::EInOutError(std::int32_t code, const void* location) noexcept
    : Exception(InOutErrorMessage(code).View(), location), IoCode(code) {}

EStringListError::EStringListError(int index, const void* location) noexcept
    : Exception({}, location) {
  static constexpr std::string_view Prefix = "List index out of bounds (";
  char text[Prefix.size() + 24];
  std::memcpy(text, Prefix.data(), Prefix.size());
  std::size_t length = Prefix.size();
  length += FormatDecimal(text + length, index);
  text[length++] = ')';
  SetMessage({text, length});
}

[[gnu::noinline]] void RaiseListIndexError(int index) {
  throw EStringListError(index, __builtin_return_address(0));
}

std::size_t FormatDecimal(char* out, std::int64_t value) noexcept {
  char digits[24];
  std::size_t count = 0;
  // Work on the magnitude as unsigned so that the most negative value is safe.
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::size_t length = 0;
  if (value < 0) out[length++] = '-';
  while (count > 0) out[length++] = digits[--count];
  return length;
}

}  // namespace ostrak
