// The file layer: how input bytes are cut into lines wherever the reads fall,
// and how held lines follow their bytes. What reaches an output in blocks is
// checked end to end, where a failed run shows it.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "mp/line_file.hpp"
#include "mp/line_list.hpp"
#include "support/line_scanners.hpp"
#include "support/test_files.hpp"

using namespace std::string_literals;

namespace ostrak {
namespace {

// The letters a to z over and over: a byte out of place shows.
std::string Letters(std::size_t length) {
  std::string line(length, 'a');
  for (std::size_t i = 0; i < length; ++i) line[i] = static_cast<char>('a' + i % 26);
  return line;
}

const std::pair<std::string, std::vector<std::string>> LineCases[] = {
    {"", {}}, {"abc", {"abc"}}, {"abc\r\n", {"abc"}}, {"abc\n", {"abc"}}, {"a\nb\r\nc", {"a", "b", "c"}},
    {"\n\r\n\n", {"", "", ""}},
    // A CR without LF is dropped, also at the very end of the input.
    {"ab\rcd\n", {"abcd"}}, {"abc\r", {"abc"}}, {"one\rtwo\rthree\r", {"onetwothree"}}, {"\r\r\n", {""}},
    {"a\r\r\rb\r\n\rc", {"ab", "c"}}, {"a\n\r", {"a", ""}}, {"x\r\r\ny\r\rz\r\n", {"x", "yz"}},
    // Ctrl-Z ends the input for good, wherever it stands.
    {"\x1A" "abc\n", {}}, {"ab\x1A" "cd\nef\n", {"ab"}}, {"ab\ncd\r\x1A\nef", {"ab", "cd"}}, {"ab\r\n\x1A", {"ab"}},
    // NUL and every other byte is content.
    {"a\0b\n\0\n"s, {"a\0b"s, "\0"s}}, {"\xFF\xC0\t\x7F\n", {"\xFF\xC0\t\x7F"}},
    // Lines of any length come back whole.
    {Letters(127) + "\r\n" + Letters(128) + "\n" + Letters(129), {Letters(127), Letters(128), Letters(129)}},
    {Letters(1000) + "\r\n" + Letters(1000) + "\r" + Letters(3), {Letters(1000), Letters(1000) + "abc"}},
};

// Reads of every size from 1 to 64 bytes put the edge of a read at every
// place of every line, between the CR and the LF of a terminator among them,
// on each line scanner. ReadTextLine and AtEnd take the lines one by one;
// ReadLine takes them while the first line holds them all, as a section is
// held, and its views follow where reading moves their bytes.
TEST(LineFile, CutsLinesAtEveryReadSize) {
  test::TempDir dir;
  for (const LineScanner scanner : test::AvailableScanners()) {
    const test::ScopedLineScanner use(scanner);
    for (const auto& [input, lines] : LineCases) {
      test::WriteBytes(dir.File("in.mp"), input);
      for (std::size_t transferSize = 1; transferSize <= 64; ++transferSize) {
        const std::string context = testing::PrintToString(input.substr(0, 30)) + ", reads of " +
                                    std::to_string(transferSize) + " bytes, " + test::NameOf(scanner);
        TLineFile file(transferSize);
        file.Bind(dir.File("in.mp"));
        file.OpenRead();
        std::vector<std::string> read;
        while (!file.AtEnd()) read.emplace_back(file.ReadTextLine());
        ASSERT_EQ(read, lines) << context;
        ASSERT_EQ(file.ReadTextLine(), "") << context;  // and so on, after the end

        file.OpenRead();
        LineList held;
        std::string_view line;
        std::ptrdiff_t movedBy = 0;
        while (file.ReadLine(line, movedBy)) {
          if (held.Count() == 0) file.HoldFrom(line);
          held.MoveViews(movedBy);
          held.AddView(line, file.EndedWithCrLf());
        }
        held.MoveViews(movedBy);  // reading up to the end may move them too
        ASSERT_EQ(test::Lines(held), lines) << context << ", held";
        file.CloseText();
        ASSERT_EQ(TakeInOutResult(), 0) << context;
      }
    }
  }
}

}  // namespace
}  // namespace ostrak
