// The I/O error code of a POSIX errno value, for the POSIX sources of every
// program: 2 not found, 3 path not found, 4 too many open files, 5 access
// denied, 109 broken pipe, 112 disk full, 1117 device error, otherwise the
// errno value itself.
#pragma once

#include <cstdint>

namespace ostrak::platform {

std::int32_t IoCodeOfErrno(int error);

}  // namespace ostrak::platform
