// Key=Value access of LineList and the placement rule of TMPClass: these
// decide where every changed and added line lands.
#include <gtest/gtest.h>

#include <functional>
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
              "=empty key", "Empty=", "abcdefghijklmnopqrstuvwxyz=letters", "`{=beside", "[END]"});
  const std::tuple<const char*, int, const char*> cases[] = {
      {"Label", 1, "Old"},  // letter case does not matter
      {"LABEL", 1, "Old"},
      {"Data0", 2, "a=b"},  // the value may hold "="
      {"HouseNumber", -1, ""},  // keys are not trimmed
      {"HouseNumber ", 3, " 5"},
      {"Type", 4, "1"},  // the first of two
      {"NoSeparator", -1, ""},  // a line without "=" has no key
      {"[POLYGON]", -1, ""},
      {"", 7, "empty key"},
      {"Empty", 8, ""},  // present but empty reads like absent
      {"Labe", -1, ""},
      // Letters match whatever their case, but only A-Z and a-z, not the bytes beside them.
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", 9, "letters"},
      {"@[", -1, ""},
      {"`{", 10, "beside"},
  };
  for (const auto& [key, index, value] : cases) {
    EXPECT_EQ(list.IndexOfName(key), index) << key;
    EXPECT_EQ(list.GetValue(key), value) << key;
  }
}

TEST(LineListIndex, OutOfRangeRaisesWithTheIndex) {
  LineList list;
  Fill(list, {"a", "b"});
  TMPClass empty;
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[&] { list.Get(2); }, "List index out of bounds (2)"},
      {[&] { list.Delete(-1); }, "List index out of bounds (-1)"},
      {[&] { empty.GetObjectKind(); }, "List index out of bounds (0)"},
      {[&] { empty.SetLabel("x"); }, "List index out of bounds (-1)"},
  };
  for (const auto& [operation, message] : cases) {
    try {
      operation();
      ADD_FAILURE() << "no error: " << message;
    } catch (const EStringListError& error) {
      EXPECT_EQ(error.Message(), message);
    }
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
}

}  // namespace
}  // namespace ostrak
