// The two line scanners against the plain rule of which bytes break lines.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "mp/line_scan.hpp"
#include "support/line_scanners.hpp"

namespace ostrak {
namespace {

// Every LF, and every CR that no LF follows within the range, wherever the
// range starts and ends in the scanners' blocks of 64 bytes, and however few
// breaks they may give at a time.
TEST(LineScanners, FindTheBreaksOfThePlainRule) {
  std::string bytes;
  for (unsigned seed = 1; bytes.size() < 300; seed = seed * 1103515245 + 12345) {
    bytes += "\r\nabcdefghijklm"[seed >> 16 & 15];
  }
  bytes.append(ScanPadding, '\n');  // what lies behind a range never counts
  for (std::uint32_t start = 0; start < 64; ++start) {
    for (std::uint32_t end = start; end <= 300; end += 13) {
      std::vector<std::uint32_t> expected;
      for (std::uint32_t i = start; i < end; ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == end || bytes[i + 1] != '\n'))) expected.push_back(i);
      }
      for (const LineScanner scanner : test::AvailableScanners()) {
        for (const std::size_t room : {1u, 3u, 300u}) {
          std::vector<std::uint32_t> found;
          std::uint32_t breaks[300];
          for (std::size_t at = start; at < end;) {
            const BreakBatch batch = FindBreakBatch(FinderOf(scanner), &bytes[at], &bytes[end], breaks, room);
            for (std::size_t i = 0; i < batch.Count; ++i) found.push_back(static_cast<std::uint32_t>(at + breaks[i]));
            at += batch.Next;
          }
          ASSERT_EQ(found, expected) << test::NameOf(scanner) << ", bytes " << start << " to " << end << ", room "
                                     << room;
        }
      }
    }
  }
}

}  // namespace
}  // namespace ostrak
