#include "split/split_error.hpp"

#include <string>
#include <utility>

#include "mp/io_result.hpp"

namespace ostrak::split {

[[gnu::noinline]] void RaiseSplitError(std::initializer_list<std::string_view> pieces) {
  std::string message;
  for (const std::string_view piece : pieces) message += piece;
  throw ESplitError(std::move(message), __builtin_return_address(0));
}

void RaiseFileError(std::string_view doing, std::string_view name, std::int32_t code) {
  const std::int32_t pending = TakeInOutResult();
  if (code == 0) code = pending;
  const InOutMessage message = InOutErrorMessage(code);
  RaiseSplitError({doing, " ", name, ": ", message.View()});
}

}  // namespace ostrak::split
