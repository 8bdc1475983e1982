// The conversion through the section filter: the house-number rules, one
// building per form of house number, and the edge-case map at every small
// read size. Cyrillic text is written as Windows-1251 bytes, as in real maps;
// whole maps are checked byte for byte by the end-to-end golden files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/navitel2garmin.hpp"
#include "support/test_files.hpp"

namespace ostrak {
namespace {

// The map converted with reads and writes of transferSize bytes.
std::string Convert(const std::string& map, std::size_t transferSize = 13) {
  test::TempDir dir;
  test::WriteBytes(dir.File("in.mp"), map);
  TOstrakConvertNavitel2Garmin(dir.File("in.mp"), dir.File("out.mp"), transferSize).Run();
  return test::ReadBytes(dir.File("out.mp"));
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
    std::string Numbers1;  // before the places
  };
  const Case cases[] = {
      {"12", "12", Street, "0,B,12,12,N,-1,-1,-1,-1"},
      {"109", "109", Street, "0,B,109,109,N,-1,-1,-1,-1"},
      // Cut at the first space, however many there are.
      {"125 " + K1, "125", Street, "0,B,125,125,N,-1,-1,-1,-1"},
      {"90 " + K1 + " " + Korp2, "90", Street, "0,B,90,90,N,-1,-1,-1,-1"},
      // A number with more than digits leads the label.
      {"12" + A + " " + Korp2, "12" + A, "12" + A + " " + Street, "0,B,12,12,N,-1,-1,-1,-1"},
      // Digits are 0 to 9, not the bytes beside them.
      {"7/2", "7/2", "7/2 " + Street, "0,B,7,7,N,-1,-1,-1,-1"},
      {"0/9 " + A + " " + K1 + " 2", "0/9", "0/9 " + Street, "0,B,0,0,N,-1,-1,-1,-1"},
      {"19:30", "19:30", "19:30 " + Street, "0,B,19,19,N,-1,-1,-1,-1"},
      // Without leading digits there is no number: both sides say so.
      {A + "1", A + "1", A + "1 " + Street, "0,N,-1,-1,N,-1,-1,-1,-1"},
      {" 5", "", Street, "0,N,-1,-1,N,-1,-1,-1,-1"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> expected = {"[POLYLINE]", "Type=0x13", "StreetDesc=" + Street};
    if (!c.ShortNumber.empty()) expected.push_back("HouseNumber=" + c.ShortNumber);
    const std::string places = "," + City + ",," + Country + ",-1";
    expected.insert(expected.end(), {"CityName=" + City, "CountryName=" + Country, "Data0=(1,2)", "Label=" + c.Label,
                                     "Numbers1=" + c.Numbers1 + places, "Numbers2=2,N,-1,-1,N,-1,-1,-1,-1" + places,
                                     "[END]"});
    EXPECT_EQ(Convert(test::CrLfLines({"[POLYGON]", "Type=0x0d", "StreetDesc=" + Street, "HouseNumber=" + c.HouseNumber,
                                       "CityName=" + City, "CountryName=" + Country, "Data0=(1,2)", "[END]"})),
              test::CrLfLines(expected))
        << c.HouseNumber;
  }
}

// Reads of 1 to 64 bytes put the edge of a read at every place of every line
// of the edge-case map, its empty lines and lines with a lone CR inside the
// header and the objects included, while their section is held.
TEST(Conversion, EdgeCasesAtEveryReadSize) {
  const std::string map = test::ReadBytes(test::DataDir() / "edge-cases.mp");
  const std::string expected = test::ReadBytes(test::DataDir() / "edge-cases.expected.mp");
  for (std::size_t transferSize = 1; transferSize <= 64; ++transferSize) {
    ASSERT_EQ(Convert(map, transferSize), expected) << "reads of " << transferSize << " bytes";
  }
}

}  // namespace
}  // namespace ostrak
