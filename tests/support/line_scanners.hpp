// Running a test on each line scanner the processor has.
#pragma once

#include <vector>

#include "mp/line_scan.hpp"

namespace ostrak::test {

// Makes the file layer use a scanner until the object goes, however the test
// ends.
class ScopedLineScanner {
 public:
  explicit ScopedLineScanner(LineScanner scanner) noexcept : FBefore(ActiveLineScanner()) { UseLineScanner(scanner); }
  ~ScopedLineScanner() { UseLineScanner(FBefore); }
  ScopedLineScanner(const ScopedLineScanner&) = delete;
  ScopedLineScanner& operator=(const ScopedLineScanner&) = delete;

 private:
  LineScanner FBefore;
};

// The portable scanner, and the vector one where the processor has it.
inline std::vector<LineScanner> AvailableScanners() {
  std::vector<LineScanner> scanners{LineScanner::Portable};
  if (VectorScannerAvailable()) scanners.push_back(LineScanner::Vector);
  return scanners;
}

inline const char* NameOf(LineScanner scanner) {
  return scanner == LineScanner::Vector ? "vector scanner" : "portable scanner";
}

}  // namespace ostrak::test
