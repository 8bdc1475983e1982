// The section filter and the conversion: which lines start and end sections,
// the house-number rules, and the edge-case map at every read size. Cyrillic
// text is written as Windows-1251 bytes, as in real maps.
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

// "ул. Ленина", "Тверь", "Россия", "А", "к1", "корп.2"
const std::string Street = "\xF3\xEB. \xCB\xE5\xED\xE8\xED\xE0";
const std::string City = "\xD2\xE2\xE5\xF0\xFC";
const std::string Country = "\xD0\xEE\xF1\xF1\xE8\xFF";
const std::string A = "\xC0";
const std::string K1 = "\xEA" "1";
const std::string Korp2 = "\xEA\xEE\xF0\xEF.2";

TEST(Conversion, HouseNumberForms) {
  struct Case {
    std::string HouseNumber;
    std::string ShortNumber;  // "" when the line goes
    std::string Label;
    std::string Bounds;  // of Numbers1
  };
  const Case cases[] = {
      {"12", "12", Street, "B,12,12"},
      {"109", "109", Street, "B,109,109"},
      // Cut at the first space, however many there are.
      {"125 " + K1, "125", Street, "B,125,125"},
      {"90 " + K1 + " " + Korp2, "90", Street, "B,90,90"},
      // A number with more than digits leads the label.
      {"12" + A + " " + Korp2, "12" + A, "12" + A + " " + Street, "B,12,12"},
      // Digits are 0 to 9, not the bytes beside them.
      {"7/2", "7/2", "7/2 " + Street, "B,7,7"},
      {"0/9 " + A + " " + K1 + " 2", "0/9", "0/9 " + Street, "B,0,0"},
      {"19:30", "19:30", "19:30 " + Street, "B,19,19"},
      // Without leading digits there is no number: both sides say so.
      {A + "1", A + "1", A + "1 " + Street, "N,-1,-1"},
      {" 5", "", Street, "N,-1,-1"},
  };
  const std::string places = "," + City + ",," + Country + ",-1";
  for (const Case& c : cases) {
    const std::string number = c.ShortNumber.empty() ? "" : CrLfLines({"HouseNumber=" + c.ShortNumber});
    EXPECT_EQ(Convert(CrLfLines({"[POLYGON]", "Type=0x0d", "StreetDesc=" + Street, "HouseNumber=" + c.HouseNumber,
                                 "CityName=" + City, "CountryName=" + Country, "[END]"})),
              CrLfLines({"[POLYLINE]", "Type=0x13", "StreetDesc=" + Street}) + number +
                  CrLfLines({"CityName=" + City, "CountryName=" + Country, "Label=" + c.Label,
                             "Numbers1=0," + c.Bounds + ",N,-1,-1,-1,-1" + places,
                             "Numbers2=2,N,-1,-1,N,-1,-1,-1,-1" + places, "[END]"}))
        << c.HouseNumber;
  }
}

}  // namespace
}  // namespace ostrak
