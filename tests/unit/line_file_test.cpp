// The byte rules of TLineFile: how input bytes are cut into lines wherever the
// reads fall, and which bytes of an output reach the file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mp/errors.hpp"
#include "mp/io_result.hpp"
#include "mp/line_file.hpp"
#include "support/line_file_checks.hpp"
#include "support/test_files.hpp"

using namespace std::string_literals;
using namespace std::string_view_literals;

namespace ostrak {
namespace {

std::vector<std::string> ReadLines(const std::string& bytes, std::size_t transferSize) {
  test::TempDir dir;
  test::WriteBytes(dir.File("in"), bytes);
  TLineFile file(transferSize);
  file.Bind(dir.File("in"));
  file.OpenRead();
  CheckIO();
  std::vector<std::string> lines;
  for (;;) {
    const bool atEnd = file.AtEnd();
    CheckIO();
    if (atEnd) break;
    lines.emplace_back(file.ReadTextLine());
    CheckIO();
  }
  // The end is final: nothing more is read, and reading on gives empty lines.
  EXPECT_EQ(file.ReadTextLine(), "");
  EXPECT_TRUE(file.AtEnd());
  file.CloseText();
  CheckIO();
  return lines;
}

class LineCutting : public testing::TestWithParam<std::size_t> {};

// Small transfer sizes put the edge of a read at every position of the lines,
// between the CR and the LF of a terminator included.
INSTANTIATE_TEST_SUITE_P(TransferSizes, LineCutting, testing::Values(1, 2, 3, 5, 16, 127, 128, 65536));

TEST_P(LineCutting, TerminatorsAndEndOfInput) {
  struct Case {
    std::string Input;
    std::vector<std::string> Lines;
  };
  const Case cases[] = {
      {"", {}},
      {"abc", {"abc"}},
      {"abc\r\n", {"abc"}},
      {"abc\n", {"abc"}},
      {"a\nb\r\nc", {"a", "b", "c"}},
      {"\n\r\n\n", {"", "", ""}},
      // A CR without LF is dropped, also at the very end of the input.
      {"ab\rcd\n", {"abcd"}},
      {"abc\r", {"abc"}},
      {"one\rtwo\rthree\r", {"onetwothree"}},
      {"\r\r\n", {""}},
      {"a\r\r\rb\r\n\rc", {"ab", "c"}},
      // Ctrl-Z ends the input for good, wherever it stands.
      {"\x1A" "abc\n", {}},
      {"ab\x1A" "cd\nef\n", {"ab"}},
      {"ab\ncd\r\x1A\nef", {"ab", "cd"}},
      {"ab\r\n\x1A", {"ab"}},
      // NUL and every other byte is content.
      {"a\0b\n\0\n"s, {"a\0b"s, "\0"s}},
      {"\xFF\xC0\t\x7F\n", {"\xFF\xC0\t\x7F"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadLines(c.Input, GetParam()), c.Lines) << "input: " << testing::PrintToString(c.Input);
  }
}

TEST_P(LineCutting, LongLinesComeBackWhole) {
  for (const std::size_t length : {127u, 128u, 129u, 100000u}) {
    std::string line;
    for (std::size_t i = 0; i < length; ++i) line += static_cast<char>('a' + i % 26);
    EXPECT_EQ(ReadLines(line + "\r\n" + line + "\n" + line, GetParam()),
              (std::vector<std::string>{line, line, line}))
        << "length " << length;
  }
}

std::string WriteLines(const std::vector<std::string>& lines, std::size_t transferSize, bool close) {
  test::TempDir dir;
  {
    TLineFile file(transferSize);
    file.Bind(dir.File("out"));
    file.OpenWrite();
    CheckIO();
    for (const std::string& line : lines) {
      file.WriteTextLine(line);
      CheckIO();
    }
    if (close) {
      file.CloseText();
      CheckIO();
    }
  }
  return test::ReadBytes(dir.File("out"));
}

TEST(LineWriting, EveryLineEndsWithCrLf) {
  for (const std::size_t transfer : {1u, 128u, 300u, 65536u}) {
    EXPECT_EQ(WriteLines({"abc", "", "a\0b"s, "x\ry"}, transfer, true), "abc\r\n\r\na\0b\r\nx\ry\r\n"s);
    EXPECT_EQ(WriteLines({}, transfer, true), "");
  }
}

TEST(LineWriting, FileNeverClosedKeepsOnlyWholeBlocks) {
  // 100 lines of 8 bytes and a CR LF each: 1000 bytes, of which 7 blocks of
  // 128 were handed over.
  const std::vector<std::string> lines(100, "12345678");
  for (const std::size_t transfer : {1u, 128u, 256u, 65536u}) {
    const std::string written = WriteLines(lines, transfer, false);
    EXPECT_EQ(written.size(), 896u) << "transfer " << transfer;
    EXPECT_EQ(written, WriteLines(lines, transfer, true).substr(0, 896));
  }
  // A line that fills a block exactly with its CR LF is handed over at once.
  EXPECT_EQ(WriteLines({std::string(126, 'x')}, 65536, false).size(), 128u);
  EXPECT_EQ(WriteLines({std::string(125, 'x')}, 65536, false).size(), 0u);
}

TEST(LineWriting, FlushHandsOverThePartialBlock) {
  test::TempDir dir;
  TLineFile file;
  file.Bind(dir.File("out"));
  file.OpenWrite();
  file.WriteTextLine("abc");
  EXPECT_EQ(test::ReadBytes(dir.File("out")), "");
  file.FlushText();
  CheckIO();
  EXPECT_EQ(test::ReadBytes(dir.File("out")), "abc\r\n");
  file.CloseText();
  CheckIO();
}

using test::RaisedCode;

TEST(LineFileState, NameWithNulIsRefusedWhole) {
  test::TempDir dir;
  test::WriteBytes(dir.File("in"), "x\n");
  TLineFile file;
  for (const bool forWriting : {false, true}) {
    file.Bind(dir.File("in") + std::string(1, '\0') + "tail");
    forWriting ? file.OpenWrite() : file.OpenRead();
    try {
      CheckIO();
      ADD_FAILURE() << "opened a name cut at its NUL byte";
    } catch (const EInOutError& error) {
      EXPECT_EQ(error.IoCode, 123);
    }
  }
  EXPECT_EQ(test::ReadBytes(dir.File("in")), "x\n");
}

TEST(LineFileState, OperationsOnTheWrongKindOfFileFail) {
  TLineFile file;
  file.Bind("never-opened");
  EXPECT_TRUE(file.AtEnd());
  EXPECT_THROW(CheckIO(), EInOutError);
  EXPECT_EQ(RaisedCode(file, "x"), 105);
  file.FlushText();
  CheckIO();
}

}  // namespace
}  // namespace ostrak
