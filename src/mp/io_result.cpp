#include "mp/io_result.hpp"

#include <cstring>

#include "mp/errors.hpp"

namespace ostrak {

namespace detail {
constinit thread_local std::int32_t PendingInOutCode = 0;
}  // namespace detail

[[gnu::noinline]] void RaiseInOutError() {
  const std::int32_t code = TakeInOutResult();
  throw EInOutError(code, __builtin_return_address(0));
}

InOutMessage InOutErrorMessage(std::int32_t code) noexcept {
  struct Row {
    std::int32_t Code;
    std::string_view Text;
  };
  static constexpr Row Table[] = {
      {2, "File not found"},          {3, "Invalid filename"},        {4, "Too many open files"},
      {5, "File access denied"},      {100, "Read beyond end of file"}, {101, "Disk full"},
      {106, "Invalid numeric input"},
  };
  InOutMessage message{};
  for (const Row& row : Table) {
    if (row.Code == code) {
      std::memcpy(message.Text, row.Text.data(), row.Text.size());
      message.Length = row.Text.size();
      return message;
    }
  }
  static constexpr std::string_view Prefix = "I/O error ";
  std::memcpy(message.Text, Prefix.data(), Prefix.size());
  message.Length = Prefix.size() + FormatDecimal(message.Text + Prefix.size(), code);
  return message;
}

}  // namespace ostrak
