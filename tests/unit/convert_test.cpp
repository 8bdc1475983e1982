// The Navitel-to-Garmin rules, object by object and on the header. Cyrillic
// text is written as Windows-1251 bytes, as in real maps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/address_strings.hpp"
#include "convert/navitel2garmin.hpp"
#include "support/test_files.hpp"

namespace ostrak {
namespace {

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string Convert(const std::vector<std::string>& lines) {
  test::TempDir dir;
  test::WriteBytes(dir.File("in.mp"), Join(lines));
  {
    TOstrakConvertNavitel2Garmin converter(dir.File("in.mp"), dir.File("out.mp"), 13);
    converter.Run();
  }
  return test::ReadBytes(dir.File("out.mp"));
}

// "ул. Ленина", "Тверь", "Тверская область", "Россия", "А", "к", "корп.2"
const std::string Street = "\xF3\xEB. \xCB\xE5\xED\xE8\xED\xE0";
const std::string City = "\xD2\xE2\xE5\xF0\xFC";
const std::string Region = "\xD2\xE2\xE5\xF0\xF1\xEA\xE0\xFF \xEE\xE1\xEB\xE0\xF1\xF2\xFC";
const std::string Country = "\xD0\xEE\xF1\xF1\xE8\xFF";
const std::string A = "\xC0";
const std::string Korp = "\xEA\xEE\xF0\xEF.2";

TEST(Conversion, WorkedExampleOfABuilding) {
  const std::vector<std::string> input = {
      "[POLYGON]",
      "Type=0x0d",
      "StreetDesc=" + Street,
      "HouseNumber=12" + A + " " + Korp,
      "CityName=" + City,
      "RegionName=" + Region,
      "CountryName=" + Country,
      "Data0=(56.85,35.90),(56.86,35.91),(56.85,35.92)",
      "[END]",
  };
  const std::string places = City + "," + Region + "," + Country + ",-1";
  EXPECT_EQ(Convert(input), Join({
                                "[POLYLINE]",
                                "Type=0x13",
                                "StreetDesc=" + Street,
                                "HouseNumber=12" + A,
                                "CityName=" + City,
                                "RegionName=" + Region,
                                "CountryName=" + Country,
                                "Data0=(56.85,35.90),(56.86,35.91),(56.85,35.92)",
                                "Label=12" + A + " " + Street,
                                "Numbers1=0,B,12,12,N,-1,-1,-1,-1," + places,
                                "Numbers2=2,N,-1,-1,N,-1,-1,-1,-1," + places,
                                "[END]",
                            }));
}

TEST(Conversion, HouseNumberWithoutLeadingDigitsHasNoNumbers) {
  // Both sides say "no numbers", which map compilers accept; the number
  // still leads the label.
  const std::string places = City + ",," + Country + ",-1";
  EXPECT_EQ(Convert({"[POLYGON]", "StreetDesc=" + Street, "HouseNumber=" + A + "1", "CityName=" + City,
                     "CountryName=" + Country, "[END]"}),
            Join({"[POLYLINE]", "StreetDesc=" + Street, "HouseNumber=" + A + "1", "CityName=" + City,
                  "CountryName=" + Country, "Type=0x13", "Label=" + A + "1 " + Street,
                  "Numbers1=0,N,-1,-1,N,-1,-1,-1,-1," + places, "Numbers2=2,N,-1,-1,N,-1,-1,-1,-1," + places,
                  "[END]"}));
}

TEST(Conversion, WorkedExampleOfTheHeader) {
  EXPECT_EQ(Convert({"[IMG ID]", "ID=77", "Name=Town", "TypeSet=Navitel", "Routing=Y", "[END-IMG ID]"}),
            Join({"[IMG ID]", "ID=77", "Name=Town", "TypeSet=Garmin", "Routing=N", "POINumberFirst=N",
                  "POIZipFirst=N", "MG=Y", "Numbering=Y", "[END-IMG ID]"}));
  // Keys in other letter case or with empty values are rewritten where they stand.
  EXPECT_EQ(Convert({"[IMG ID]", "mg=N", "Routing=", "[END-IMG ID]"}),
            Join({"[IMG ID]", "MG=Y", "Routing=N", "TypeSet=Garmin", "POINumberFirst=N", "POIZipFirst=N",
                  "Numbering=Y", "[END-IMG ID]"}));
}

// The house-number rules, key placement and the objects left out are checked
// byte for byte on whole maps by the end-to-end golden tests
// (tests/data/edge-cases.mp).

TEST(AddressStrings, HouseNumberParts) {
  EXPECT_EQ(CutAtSpace("12 \xEA" "2"), "12");
  EXPECT_EQ(CutAtSpace(" 12"), "");
  EXPECT_EQ(CutAtSpace("12\t3"), "12\t3");
  EXPECT_EQ(LeadingDigits("12" + A), "12");
  EXPECT_EQ(LeadingDigits(A + "12"), "");
  EXPECT_EQ(LeadingDigits("125"), "125");
  // Bytes just outside 0-9 and Cyrillic letters are non-digits.
  EXPECT_TRUE(IsAllDigits(""));
  EXPECT_TRUE(IsAllDigits("0123456789"));
  EXPECT_FALSE(IsAllDigits("12/"));
  EXPECT_FALSE(IsAllDigits("1:"));
  EXPECT_FALSE(IsAllDigits("1\xB9"));
}

}  // namespace
}  // namespace ostrak
