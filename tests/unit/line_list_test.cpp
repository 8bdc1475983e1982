// Key=Value access of LineList and the placement rule and object kinds of
// TMPClass: these decide where every changed and added line lands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mp/errors.hpp"
#include "mp/line_list.hpp"
#include "mp/mp_class.hpp"

namespace ostrak {
namespace {

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
              "=empty key", "Empty=", "[END]"});
  struct Case {
    const char* Key;
    int Index;
    const char* Value;
  };
  const Case cases[] = {
      {"Label", 1, "Old"},         // letter case does not matter
      {"LABEL", 1, "Old"},
      {"Data0", 2, "a=b"},         // the value may hold "="
      {"HouseNumber", -1, ""},     // keys are not trimmed
      {"HouseNumber ", 3, " 5"},
      {"Type", 4, "1"},            // the first of two
      {"NoSeparator", -1, ""},     // a line without "=" has no key
      {"[POLYGON]", -1, ""},
      {"", 7, "empty key"},
      {"Empty", 8, ""},            // present but empty reads like absent
      {"Absent", -1, ""},
      {"Labe", -1, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(list.IndexOfName(c.Key), c.Index) << c.Key;
    EXPECT_EQ(list.GetValue(c.Key), c.Value) << c.Key;
  }
}

TEST(LineListKeys, SetValueRewritesAppendsAndDeletes) {
  LineList list;
  Fill(list, {"a", "label=Old", "Type=1", "Type=2"});
  list.SetValue("Label", "New");  // in place, in the caller's spelling
  list.SetValue("Type", "3");     // only the first occurrence
  list.SetValue("Fresh", "v");    // appended
  list.SetValue("Missing", "");   // nothing to delete
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "Label=New", "Type=3", "Type=2", "Fresh=v"}));
  list.SetValue("TYPE", "");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "Label=New", "Type=2", "Fresh=v"}));
  list.SetValue("Joined", {"x", "", "=y", "z"});
  EXPECT_EQ(list.Get(4), "Joined=x=yz");
  list.SetValue("Joined", {"", ""});
  EXPECT_EQ(list.Count(), 4);
}

TEST(LineListStorage, ViewsSurviveEditsUntilClear) {
  LineList list;
  list.Add("first=1");
  const std::string_view first = list.Get(0);
  // Enough text to need more storage than one chunk holds.
  const std::string big(200000, 'x');
  for (int i = 0; i < 10; ++i) list.Add(big);
  list.Put(1, first);
  list.Delete(0);
  EXPECT_EQ(first, "first=1");
  EXPECT_EQ(list.Get(0), "first=1");
  EXPECT_EQ(list.GetValue("first"), "1");
  // A section refilled after Clear reads back right through the reused storage.
  for (int round = 0; round < 3; ++round) {
    list.Clear();
    for (int i = 0; i < 1000; ++i) list.Add("Key" + std::to_string(i) + "=" + std::string(i % 300, 'v'));
    EXPECT_EQ(list.GetValue("key999"), std::string(999 % 300, 'v'));
    EXPECT_EQ(list.Count(), 1000);
  }
}

TEST(LineListIndex, OutOfRangeRaisesWithTheIndex) {
  LineList list;
  Fill(list, {"a", "b"});
  const auto message = [&](auto operation) -> std::string {
    try {
      operation();
    } catch (const EStringListError& error) {
      EXPECT_STREQ(error.ClassName(), "EStringListError");
      return std::string(error.Message());
    }
    return "no error";
  };
  EXPECT_EQ(message([&] { list.Get(2); }), "List index out of bounds (2)");
  EXPECT_EQ(message([&] { list.Put(-1, "x"); }), "List index out of bounds (-1)");
  EXPECT_EQ(message([&] { list.Delete(5); }), "List index out of bounds (5)");
  list.Clear();
  EXPECT_EQ(message([&] { list.Get(0); }), "List index out of bounds (0)");
  TMPClass empty;
  EXPECT_EQ(message([&] { empty.GetObjectKind(); }), "List index out of bounds (0)");
  EXPECT_EQ(message([&] { empty.SetLabel("x"); }), "List index out of bounds (-1)");
}

TEST(MPClassPlacement, NewKeysGoBeforeTheTerminatorInOrder) {
  TMPClass object;
  Fill(object.FLines, {"[POLYGON]", "TYPE=0x0d", "label=Old", "HouseNumber=7", "Data0=(1,2)", "[END]"});
  object.SetType("0x13");       // in place, spelt as given
  object.SetLabel("New");
  object.SetHouseNumber("");    // deleted
  object.SetHouseNumber("");    // and nothing when absent
  EXPECT_EQ(Lines(object.FLines),
            (std::vector<std::string>{"[POLYGON]", "Type=0x13", "Label=New", "Data0=(1,2)", "[END]"}));

  Fill(object.FLines, {"[POI]", "Data0=(1,2)", "[END]"});
  object.SetLabel("First");
  object.SetHouseNumber("12");
  object.SetType("");           // an empty new key adds nothing
  EXPECT_EQ(Lines(object.FLines),
            (std::vector<std::string>{"[POI]", "Data0=(1,2)", "Label=First", "HouseNumber=12", "[END]"}));
}

TEST(MPClassKind, HeaderLineNamesTheKind) {
  TMPClass object;
  const std::pair<const char*, TMPObjectKind> cases[] = {
      {"[POLYGON]", okPolygon}, {"[POLYLINE]", okPolyline}, {"[POI]", okPOI},
      {"[poi]", okUnknown},     {"[POI] ", okUnknown},      {"[RGN10]", okUnknown},
  };
  for (const auto& [header, kind] : cases) {
    Fill(object.FLines, {header, "[END]"});
    EXPECT_EQ(object.GetObjectKind(), kind) << header;
  }
  Fill(object.FLines, {"[RGN10]", "[END]"});
  object.SetObjectKind(okUnknown);
  EXPECT_EQ(object.FLines.Get(0), "[RGN10]");
  object.SetObjectKind(okPolyline);
  EXPECT_EQ(object.FLines.Get(0), "[POLYLINE]");
  EXPECT_EQ(object.GetObjectKind(), okPolyline);
}

}  // namespace
}  // namespace ostrak
