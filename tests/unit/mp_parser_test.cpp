// The section filter: which lines are buffered and handed to the hooks and
// what is written back, with reads of any size cutting the sections at every
// place. (How a cut-off section ends the run is checked end to end.)
#include <gtest/gtest.h>

#include <string>

#include "mp/mp_parser.hpp"
#include "support/test_files.hpp"

namespace ostrak {
namespace {

// Records every section the hooks see, line by line.
class RecordingParser : public TMPParser {
 public:
  using TMPParser::TMPParser;
  std::string Seen;

 protected:
  void ProcessHeader() override { Record("header", FHeader); }
  void ProcessObject() override { Record("object", FObject.FLines); }

 private:
  void Record(const char* kind, const LineList& list) {
    Seen += kind;
    for (int i = 0; i < list.Count(); ++i) Seen += "|" + std::string(list.Get(i));
    Seen += "\n";
  }
};

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
  for (const std::size_t transfer : {1u, 7u, 65536u}) {
    test::TempDir dir;
    test::WriteBytes(dir.File("in.mp"), map);
    RecordingParser parser(dir.File("in.mp"), dir.File("out.mp"), transfer);
    parser.Run();
    // Only exact section lines start a section; a header inside an object and
    // an object line inside the header are plain lines of that section.
    EXPECT_EQ(parser.Seen,
              "header|[IMG ID]|ID=1|[POLYGON]|[END-IMG ID]\nobject|[POLYGON]|Type=0x13|[IMG ID]|[END]\n"
              "header|[IMG ID]|[END-IMG ID]\nobject|[POI]|[END]\n");
    EXPECT_EQ(test::ReadBytes(dir.File("out.mp")), expected + "\r\n");
  }
}

}  // namespace
}  // namespace ostrak
