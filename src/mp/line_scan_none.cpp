// Processor families without a vector line scanner of their own use the
// portable one.
#include "mp/line_scan.hpp"

namespace ostrak::detail {

LineBreakFinder VectorLineBreakFinder() noexcept { return nullptr; }

}  // namespace ostrak::detail
