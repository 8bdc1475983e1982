// The rules of the pieces, on every system: how input bytes are cut into
// lines wherever the reads fall, the Key=Value access of LineList and the
// placement rule of TMPClass, the house-number rules of the conversion, the
// section filter at every small read size, and the text of the failure report.
// Cyrillic text is written as Windows-1251 bytes, as in real maps.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "app/failure_report.hpp"
#include "convert/navitel2garmin.hpp"
#include "mp/line_scan.hpp"
#include "support/test_files.hpp"

using namespace std::string_literals;

namespace ostrak {
namespace {

// The map converted with reads and writes of transferSize bytes.
std::string Convert(const std::string& map, std::size_t transferSize = 13) {
  test::TempDir dir;
  test::WriteBytes(dir.File("in.mp"), map);
  TOstrakConvertNavitel2Garmin(dir.File("in.mp"), dir.File("out.mp"), transferSize).Run();
  return test::ReadBytes(dir.File("out.mp"));
}

// The letters a to z over and over: a byte out of place shows.
std::string Long(std::size_t length) {
  std::string line(length, 'a');
  for (std::size_t i = 0; i < length; ++i) line[i] = static_cast<char>('a' + i % 26);
  return line;
}

// Reads of every size from 1 to 64 bytes put the edge of a read at every place
// of every line: between the CR and the LF of a terminator, and in the empty
// lines and lines with a lone CR inside the header and the objects of the
// edge-case map, while their section is held. Lines outside sections are
// written as they are read, each with CR LF. Both line scanners run, where the
// processor has the vector one.
TEST(Conversion, LinesAndSectionsAtEveryReadSize) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"", {}}, {"abc", {"abc"}}, {"abc\r\n", {"abc"}}, {"abc\n", {"abc"}},
      {"a\nb\r\nc", {"a", "b", "c"}}, {"\n\r\n\n", {"", "", ""}},
      // A CR without LF is dropped, also at the very end of the input.
      {"ab\rcd\n", {"abcd"}}, {"abc\r", {"abc"}}, {"one\rtwo\rthree\r", {"onetwothree"}}, {"\r\r\n", {""}},
      {"a\r\r\rb\r\n\rc", {"ab", "c"}},
      // Ctrl-Z ends the input for good, wherever it stands.
      {"\x1A" "abc\n", {}}, {"ab\x1A" "cd\nef\n", {"ab"}}, {"ab\ncd\r\x1A\nef", {"ab", "cd"}}, {"ab\r\n\x1A", {"ab"}},
      // NUL and every other byte is content.
      {"a\0b\n\0\n"s, {"a\0b"s, "\0"s}}, {"\xFF\xC0\t\x7F\n", {"\xFF\xC0\t\x7F"}},
      // Lines of any length come back whole.
      {Long(127) + "\r\n" + Long(128) + "\n" + Long(129), {Long(127), Long(128), Long(129)}},
      {Long(1000) + "\r\n" + Long(1000), {Long(1000), Long(1000)}},
      {"[IMG ID]\n" + Long(1000) + "\n[END-IMG ID]", {"[IMG ID]", Long(1000), "TypeSet=Garmin", "Routing=N",
                                                       "POINumberFirst=N", "POIZipFirst=N", "MG=Y", "Numbering=Y",
                                                       "[END-IMG ID]"}},
  };
  const std::string map = test::ReadBytes(test::DataDir() / "edge-cases.mp");
  const std::string expected = test::ReadBytes(test::DataDir() / "edge-cases.expected.mp");
  const LineScanner active = ActiveLineScanner();
  for (const LineScanner scanner : {LineScanner::Portable, LineScanner::Vector}) {
    UseLineScanner(scanner);
    for (std::size_t transferSize = 1; transferSize <= 64; ++transferSize) {
      for (const auto& [input, lines] : cases) {
        ASSERT_EQ(Convert(input, transferSize), test::CrLfLines(lines))
            << testing::PrintToString(input.substr(0, 40)) << ", reads of " << transferSize << " bytes";
      }
      ASSERT_EQ(Convert(map, transferSize), expected) << "edge-case map, reads of " << transferSize << " bytes";
    }
  }
  UseLineScanner(active);
}

// Both scanners find every LF, and every CR that no LF follows within the
// range, wherever the range starts and ends in their blocks of 64 bytes, and
// however few breaks they may give at a time.
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
      for (const auto& [scanner, room] : {std::pair{LineScanner::Portable, 3u}, {LineScanner::Portable, 300u},
                                          {LineScanner::Vector, 3u}, {LineScanner::Vector, 300u}}) {
        std::vector<std::uint32_t> found(300);
        std::size_t count = 0;
        for (std::uint32_t at = start, got = room; got == room; at = found[count - 1] + 1) {
          got = static_cast<std::uint32_t>(FinderOf(scanner)(&bytes[at], &bytes[end], &found[count], room));
          for (std::size_t i = count; i < count + got; ++i) found[i] += at;
          count += got;
          if (got < room) break;
        }
        found.resize(count);
        ASSERT_EQ(found, expected) << "bytes " << start << " to " << end << ", room " << room;
      }
    }
  }
}

void Fill(LineList& list, const std::vector<std::string>& lines) {
  list.Clear();
  for (const std::string& line : lines) list.Add(line);
}

std::vector<std::string> Lines(const LineList& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.emplace_back(list.Get(i));
  return lines;
}

TEST(LineListKeys, LookupRules) {
  LineList list;
  Fill(list, {"[POLYGON]", "label=Old", "Data0=a=b", "HouseNumber = 5", "Type=1", "Type=2", "NoSeparator",
              "=empty key", "Empty=", "abcdefghijklmnopqrstuvwxyz=letters", "`{=beside", "[END]"});
  const std::tuple<const char*, int, const char*> cases[] = {
      {"Label", 1, "Old"}, {"LABEL", 1, "Old"}, {"Labe", -1, ""},
      {"Data0", 2, "a=b"},                                 // the value may hold "="
      {"HouseNumber", -1, ""}, {"HouseNumber ", 3, " 5"},  // keys are not trimmed
      {"Type", 4, "1"},                                    // the first of two
      {"NoSeparator", -1, ""}, {"[POLYGON]", -1, ""},      // a line without "=" has no key
      {"", 7, "empty key"}, {"Empty", 8, ""},              // present but empty reads like absent
      // Letters match whatever their case, but only A-Z and a-z, not the bytes beside them.
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", 9, "letters"}, {"@[", -1, ""}, {"`{", 10, "beside"},
  };
  for (const auto& [key, index, value] : cases) {
    EXPECT_EQ(list.IndexOfName(key), index) << key;
    EXPECT_EQ(list.GetValue(key), value) << key;
  }
}

TEST(MPClass, NewKeysGoBeforeTheTerminatorInOrder) {
  TMPClass object;
  Fill(object.FLines, {"[POLYGON]", "TYPE=0x13", "label=Old", "HouseNumber=7", "Data0=(1,2)", "[END]"});
  object.SetType("0x13");  // in place, spelt as given, also with the same value
  object.SetLabel("New");
  object.SetHouseNumber("");  // deleted
  object.SetHouseNumber("");  // and nothing when absent
  EXPECT_EQ(Lines(object.FLines),
            (std::vector<std::string>{"[POLYGON]", "Type=0x13", "Label=New", "Data0=(1,2)", "[END]"}));

  Fill(object.FLines, {"[POI]", "Data0=(1,2)", "[END]"});
  object.SetLabel("First");
  object.SetHouseNumber("12");
  object.SetType("");  // an empty new key adds nothing
  EXPECT_EQ(object.GetHouseNumber(), "12");
  EXPECT_EQ(Lines(object.FLines),
            (std::vector<std::string>{"[POI]", "Data0=(1,2)", "Label=First", "HouseNumber=12", "[END]"}));

  // A header line set from a kind is read like any other line by a lookup
  // that looks at every line, as the comparison under a locale does.
  object.SetObjectKind(okPolyline);
  EXPECT_EQ(object.FLines.IndexOfName("Type"), -1);
  EXPECT_EQ(object.FLines.Get(0), "[POLYLINE]");
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
    const std::string number = c.ShortNumber.empty() ? "" : test::CrLfLines({"HouseNumber=" + c.ShortNumber});
    EXPECT_EQ(Convert(test::CrLfLines({"[POLYGON]", "Type=0x0d", "StreetDesc=" + Street, "HouseNumber=" + c.HouseNumber,
                                       "CityName=" + City, "CountryName=" + Country, "[END]"})),
              test::CrLfLines({"[POLYLINE]", "Type=0x13", "StreetDesc=" + Street}) + number +
                  test::CrLfLines({"CityName=" + City, "CountryName=" + Country, "Label=" + c.Label,
                                   "Numbers1=0," + c.Bounds + ",N,-1,-1,-1,-1" + places,
                                   "Numbers2=2,N,-1,-1,N,-1,-1,-1,-1" + places, "[END]"}))
        << c.HouseNumber;
  }
}

// The text up to its NUL byte, which must lie at its length.
std::string ReportText(std::string_view message, std::uintptr_t offset = 0x1A2B) {
  FailureReport report;
  FormatFailureText("EInOutError", "ostrak", offset, message, report);
  EXPECT_EQ(std::string(report.Text).size(), report.Length);
  return report.Text;
}

TEST(FailureReportText, FullStopHexadecimalLocationAndLength) {
  const std::string head = "Exception EInOutError in module ostrak at 00001A2B.\r\n";
  // A full stop only where the message has none.
  EXPECT_EQ(ReportText("File not found"), head + "File not found.\r\n");
  EXPECT_EQ(ReportText("List index out of bounds (3)"), head + "List index out of bounds (3).\r\n");
  EXPECT_EQ(ReportText("Ends."), head + "Ends.\r\n");
  EXPECT_EQ(ReportText(""), head + "\r\n");
  // At least 8 upper-case digits, more where addresses are wider: 8 in a
  // 32-bit program, up to 16 in a 64-bit one.
  EXPECT_EQ(ReportText("x", 0xABCDEF).substr(0, 51), "Exception EInOutError in module ostrak at 00ABCDEF.");
  EXPECT_EQ(ReportText("x", UINTPTR_MAX).substr(42), std::string(2 * sizeof(std::uintptr_t), 'F') + ".\r\nx.\r\n");
  // A message longer than the report is cut where the room ends, never
  // written past it: what is kept is the start of the text.
  const std::string message(5000, 'm');
  const std::string text = ReportText(message);
  EXPECT_EQ(text, (head + message).substr(0, text.size()));
  EXPECT_GT(text.size(), head.size());
}

}  // namespace
}  // namespace ostrak
