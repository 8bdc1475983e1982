// Checks of TLineFile writes, shared by the unit tests.
#pragma once

#include <cstdint>
#include <string_view>

#include "mp/errors.hpp"
#include "mp/io_result.hpp"
#include "mp/line_file.hpp"

namespace ostrak::test {

// Writes a line and returns the I/O error code it raised, or 0.
inline std::int32_t RaisedCode(TLineFile& file, std::string_view line) {
  file.WriteTextLine(line);
  try {
    CheckIO();
  } catch (const EInOutError& error) {
    return error.IoCode;
  }
  return 0;
}

}  // namespace ostrak::test
