// The vector line scanner of the processor family the program is built for,
// one source per family (line_scan_x86.cpp; line_scan_none.cpp elsewhere).
#pragma once

#include "mp/line_scan.hpp"

namespace ostrak::detail {

// The vector finder of line breaks, or nullptr where this processor lacks the
// instructions it needs. Asks the processor once.
LineBreakFinder VectorLineBreakFinder() noexcept;

}  // namespace ostrak::detail
