// LineList's Key=Value access and the placement rule of the records that use
// it: where changed and new lines land.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "mp/line_list.hpp"
#include "mp/mp_class.hpp"
#include "support/test_files.hpp"

namespace ostrak {
namespace {

using Lines = std::vector<std::string>;

void Fill(LineList& list, const Lines& lines) {
  list.Clear();
  for (const std::string& line : lines) list.Add(line);
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

// SetValue appends, SetBeforeTerminator inserts before the last line; both
// rewrite a present key in place, spelt as given, and delete it for an empty
// value. Put replaces a line whole; the lines around an edit keep their text.
TEST(LineListKeys, SettingKeysAndLines) {
  LineList list;
  Fill(list, {"[IMG ID]", "typeset=Navitel", "Routing=", "[END-IMG ID]"});
  list.SetBeforeTerminator("TypeSet", "Garmin");
  list.SetBeforeTerminator("Routing", "N");  // found, though its value is empty
  list.SetBeforeTerminator("MG", "Y");
  list.SetBeforeTerminator("Numbering", "Y");
  list.SetBeforeTerminator("Absent", "");
  EXPECT_EQ(test::Lines(list),
            (Lines{"[IMG ID]", "TypeSet=Garmin", "Routing=N", "MG=Y", "Numbering=Y", "[END-IMG ID]"}));
  list.SetValue("Routing", "");
  list.SetValue("Last", "1");
  list.Put(0, "[IMG ID] 2");
  EXPECT_EQ(test::Lines(list),
            (Lines{"[IMG ID] 2", "TypeSet=Garmin", "MG=Y", "Numbering=Y", "[END-IMG ID]", "Last=1"}));

  Fill(list, {});
  EXPECT_THROW(list.SetBeforeTerminator("Key", ""), EStringListError);  // no terminator to go before
  EXPECT_THROW(list.Put(0, "x"), EStringListError);
}

TEST(MPClass, NewKeysGoBeforeTheTerminatorInOrder) {
  TMPClass object;
  Fill(object.FLines, {"[POLYGON]", "TYPE=0x13", "label=Old", "HouseNumber=7", "Data0=(1,2)", "[END]"});
  object.SetType("0x13");  // in place, spelt as given, also with the same value
  object.SetLabel("New");
  object.SetHouseNumber("");  // deleted
  object.SetHouseNumber("");  // and nothing when absent
  EXPECT_EQ(test::Lines(object.FLines), (Lines{"[POLYGON]", "Type=0x13", "Label=New", "Data0=(1,2)", "[END]"}));

  Fill(object.FLines, {"[POI]", "Data0=(1,2)", "[END]"});
  object.SetLabel("First");
  object.SetHouseNumber("12");
  object.SetType("");  // an empty new key adds nothing
  EXPECT_EQ(object.GetHouseNumber(), "12");
  EXPECT_EQ(test::Lines(object.FLines), (Lines{"[POI]", "Data0=(1,2)", "Label=First", "HouseNumber=12", "[END]"}));

  // A header line set from a kind is read like any other line by a lookup
  // that looks at every line, as the comparison under a locale does.
  object.SetObjectKind(okPolyline);
  EXPECT_EQ(object.FLines.IndexOfName("Type"), -1);
  EXPECT_EQ(object.FLines.Get(0), "[POLYLINE]");
}

}  // namespace
}  // namespace ostrak
