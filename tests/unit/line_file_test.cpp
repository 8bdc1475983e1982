// The byte rules of TLineFile: how input bytes are cut into lines wherever the
// reads fall. Which bytes of an output reach the file is checked end to end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mp/errors.hpp"
#include "mp/io_result.hpp"
#include "mp/line_file.hpp"
#include "support/test_files.hpp"

using namespace std::string_literals;

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
  while (!file.AtEnd()) lines.emplace_back(file.ReadTextLine());
  CheckIO();
  // The end is final: nothing more is read, and reading on gives empty lines.
  EXPECT_EQ(file.ReadTextLine(), "");
  EXPECT_TRUE(file.AtEnd());
  return lines;
}

// The letters a to z over and over: a byte out of place shows.
std::string Long(std::size_t length) {
  std::string line(length, 'a');
  for (std::size_t i = 0; i < length; ++i) line[i] = static_cast<char>('a' + i % 26);
  return line;
}

class LineCutting : public testing::TestWithParam<std::size_t> {};

// Small transfer sizes put the edge of a read at every position of the lines,
// between the CR and the LF of a terminator included.
INSTANTIATE_TEST_SUITE_P(TransferSizes, LineCutting, testing::Values(1, 2, 3, 5, 16, 127, 128, 65536));

TEST_P(LineCutting, TerminatorsAndEndOfInput) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
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
      // Lines of any length come back whole.
      {Long(127) + "\r\n" + Long(128) + "\n" + Long(129), {Long(127), Long(128), Long(129)}},
      {Long(100000) + "\r\n" + Long(100000), {Long(100000), Long(100000)}},
  };
  for (const auto& [input, lines] : cases) {
    EXPECT_EQ(ReadLines(input, GetParam()), lines) << "input: " << testing::PrintToString(input.substr(0, 40));
  }
}

TEST(LineFileState, NamesWithNulAreRefusedWhole) {
  test::TempDir dir;
  test::WriteBytes(dir.File("in"), "x\n");
  TLineFile file;
  // Never opened cut short at the NUL byte.
  for (const bool forWriting : {false, true}) {
    file.Bind(dir.File("in") + std::string(1, '\0') + "tail");
    forWriting ? file.OpenWrite() : file.OpenRead();
    EXPECT_EQ(TakeInOutResult(), 123);
  }
  EXPECT_EQ(test::ReadBytes(dir.File("in")), "x\n");
}

}  // namespace
}  // namespace ostrak
