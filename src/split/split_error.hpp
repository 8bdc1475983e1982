// The failures of ostrak-split: one message that names the file and the
// reason, raised where the failure is found and reported once by main.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "mp/errors.hpp"
#include "mp/io_result.hpp"

namespace ostrak::split {

class ESplitError : public Exception {
 public:
  ESplitError(std::string message, const void* location)
      : Exception(message, location), FText(std::move(message)) {}
  const char* ClassName() const noexcept override { return "ESplitError"; }
  // The whole message, however long the names in it: Message keeps only as
  // much as its fixed buffer holds.
  const std::string& Text() const noexcept { return FText; }

 private:
  std::string FText;
};

// Raises ESplitError with the pieces joined as its message.
[[noreturn]] void RaiseSplitError(std::initializer_list<std::string_view> pieces);

// Raises "<doing> <name>: <I/O message>" with code, or with the pending I/O
// error code when code is 0.
[[noreturn]] void RaiseFileError(std::string_view doing, std::string_view name, std::int32_t code);

// Raises as RaiseFileError when a file operation left an I/O error code, or
// when code is not 0.
[[gnu::always_inline]] inline void CheckFile(std::string_view doing, std::string_view name, std::int32_t code = 0) {
  if (code != 0 || detail::PendingInOutCode != 0) [[unlikely]] RaiseFileError(doing, name, code);
}

}  // namespace ostrak::split
