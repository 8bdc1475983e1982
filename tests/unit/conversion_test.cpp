// The section filter and the conversion: which lines start and end sections,
// and the edge-case map, which holds every form of house number, at every
// read size.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "convert/navitel2garmin.hpp"
#include "support/line_scanners.hpp"
#include "support/test_files.hpp"

namespace ostrak {
namespace {

using test::CrLfLines;

// The map converted with reads and writes of transferSize bytes.
std::string Convert(const std::string& map, std::size_t transferSize = 13) {
  test::TempDir dir;
  test::WriteBytes(dir.File("in.mp"), map);
  TOstrakConvertNavitel2Garmin(dir.File("in.mp"), dir.File("out.mp"), transferSize).Run();
  return test::ReadBytes(dir.File("out.mp"));
}

// An addressed building's lines, as read, as copied and as converted.
const std::string Building = "StreetDesc=S\nHouseNumber=1\n";
const std::string Copied = "StreetDesc=S\r\nHouseNumber=1\r\n";
const std::string Converted = Copied + "Type=0x13\r\nLabel=S\r\n" +
                              "Numbers1=0,B,1,1,N,-1,-1,-1,-1,,,,-1\r\nNumbers2=2,N,-1,-1,N,-1,-1,-1,-1,,,,-1\r\n";

// Section lines count only as they stand, byte for byte: one in other letter
// case, with a space or with more after it is a line like any other, inside a
// section and outside, in an object that is buffered and in one that is
// passed over.
TEST(Conversion, SectionLinesMatchExactly) {
  const std::pair<std::string, std::string> cases[] = {
      {"[POLYGON]x\n" + Building + "[END]\n", "[POLYGON]x\r\n" + Copied + "[END]\r\n"},
      {"[POI] \nA=1\n[END]\n[polyline]\n", "[POI] \r\nA=1\r\n[END]\r\n[polyline]\r\n"},
      {"[POI]\n[end]\nA=1\n[END] \n[END]\nafter\n", "after\r\n"},
      {"[POLYLINE]\n[End]\n[END]\n[POLYGON]\n[END]x\n" + Building + "[END]\n",
       "[POLYLINE]\r\n[END]x\r\n" + Converted + "[END]\r\n"},
      {"[IMG ID]x\n[IMG ID]\n[END-IMG ID] \n[END-IMG ID]\n",
       "[IMG ID]x\r\n[IMG ID]\r\n[END-IMG ID] \r\nTypeSet=Garmin\r\nRouting=N\r\nPOINumberFirst=N\r\nPOIZipFirst=N\r\n"
       "MG=Y\r\nNumbering=Y\r\n[END-IMG ID]\r\n"},
  };
  for (const auto& [input, output] : cases) {
    for (const LineScanner scanner : test::AvailableScanners()) {
      const test::ScopedLineScanner use(scanner);
      EXPECT_EQ(Convert(input, 5), output) << testing::PrintToString(input) << ", " << test::NameOf(scanner);
    }
  }
}

// Reads of every size from 1 to 64 bytes cut the empty lines and lines with
// a lone CR inside the header and the objects of the edge-case map while
// their section is held.
TEST(Conversion, EdgeCaseMapAtEveryReadSize) {
  const std::string map = test::ReadBytes(test::DataDir() / "edge-cases.mp");
  const std::string expected = test::ReadBytes(test::DataDir() / "edge-cases.expected.mp");
  for (const LineScanner scanner : test::AvailableScanners()) {
    const test::ScopedLineScanner use(scanner);
    for (std::size_t transferSize = 1; transferSize <= 64; ++transferSize) {
      ASSERT_EQ(Convert(map, transferSize), expected)
          << "reads of " << transferSize << " bytes, " << test::NameOf(scanner);
    }
  }
}

}  // namespace
}  // namespace ostrak
