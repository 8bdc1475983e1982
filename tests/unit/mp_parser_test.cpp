// The section filter: which lines are buffered and handed to the hooks, what
// is written back, and how a cut-off section ends the run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mp/errors.hpp"
#include "mp/mp_parser.hpp"
#include "support/test_files.hpp"

namespace ostrak {
namespace {

// Records every section the hooks see; optionally drops objects.
class RecordingParser : public TMPParser {
 public:
  using TMPParser::TMPParser;
  std::vector<std::string> Seen;
  bool DropObjects = false;

 protected:
  void ProcessHeader() override { Seen.push_back("header:" + Join(FHeader)); }
  void ProcessObject() override {
    Seen.push_back("object:" + Join(FObject.FLines));
    if (DropObjects) FObject.FLines.Clear();
  }

 private:
  static std::string Join(const LineList& list) {
    std::string text;
    for (int i = 0; i < list.Count(); ++i) text += std::string(list.Get(i)) + "|";
    return text;
  }
};

struct Filtered {
  std::string Output;
  std::vector<std::string> Seen;
};

Filtered Filter(const std::string& input, bool dropObjects = false, std::size_t transferSize = 7) {
  test::TempDir dir;
  test::WriteBytes(dir.File("in.mp"), input);
  Filtered result;
  {
    RecordingParser parser(dir.File("in.mp"), dir.File("out.mp"), transferSize);
    parser.DropObjects = dropObjects;
    parser.Run();
    result.Seen = parser.Seen;
  }
  result.Output = test::ReadBytes(dir.File("out.mp"));
  return result;
}

TEST(SectionFilter, CopiesTheMapUnchangedWithEmptyHooks) {
  const std::string map =
      "; comment\n"
      "[IMG ID]\r\nID=1\r\n[POLYGON]\r\n[END-IMG ID]\r\n"
      "[Countries]\r\nCountry1=X\r\n[END-Countries]\r\n"
      "[POLYGON]\r\nType=0x13\r\n[IMG ID]\r\n[END]\r\n"
      "[END]\r\n"
      "[poi]\r\nType=1\r\n[END]\r\n"
      "[POI] \r\n"
      "[IMG ID]\r\n[END-IMG ID]\r\n"
      "[POI]\r\n[END]\n"
      "tail without terminator";
  std::string expected;
  for (char c : map) {
    if (c == '\r') continue;
    if (c == '\n') expected += '\r';
    expected += c;
  }
  expected += "\r\n";
  for (const std::size_t transfer : {1u, 7u, 65536u}) {
    const Filtered result = Filter(map, false, transfer);
    EXPECT_EQ(result.Output, expected);
    // Only exact section lines start a section; a header inside an object and
    // an object line inside the header are plain lines of that section.
    EXPECT_EQ(result.Seen, (std::vector<std::string>{
                               "header:[IMG ID]|ID=1|[POLYGON]|[END-IMG ID]|",
                               "object:[POLYGON]|Type=0x13|[IMG ID]|[END]|",
                               "header:[IMG ID]|[END-IMG ID]|",
                               "object:[POI]|[END]|",
                           }));
  }
}

TEST(SectionFilter, EmptyInputGivesEmptyOutput) {
  const Filtered result = Filter("");
  EXPECT_EQ(result.Output, "");
  EXPECT_TRUE(result.Seen.empty());
}

TEST(SectionFilter, ClearedSectionsAreNotWritten) {
  const Filtered result = Filter("a\n[POLYLINE]\nx=1\n[END]\nb\n[POI]\n[END]\n", true);
  EXPECT_EQ(result.Output, "a\r\nb\r\n");
  EXPECT_EQ(result.Seen.size(), 2u);
}

TEST(SectionFilter, InputEndingInsideASectionFails) {
  const std::string cutOff[] = {
      "[IMG ID]\nID=1\n",
      "[IMG ID]\nID=1\n[END]\n",
      "a\n[POLYGON]\nType=1",
      "[POI]\r\nType=1\r\n\x1A[END]\r\n",
      "[POLYLINE]",
  };
  for (const std::string& input : cutOff) {
    try {
      Filter(input);
      ADD_FAILURE() << "no failure for " << testing::PrintToString(input);
    } catch (const EInOutError& error) {
      EXPECT_EQ(error.IoCode, 100);
      EXPECT_EQ(error.Message(), "Read beyond end of file");
    }
  }
}

}  // namespace
}  // namespace ostrak
