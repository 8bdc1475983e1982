// End-to-end runs of the built program that hold on every system: whole maps
// against golden files, the arguments, and the failures that every system
// reports alike.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "e2e/cli_case.hpp"

namespace ostrak::test {
namespace {

// Each map is converted and its output compared with its golden file,
// NAME.expected.mp in the test data, byte for byte. With OSTRAK_REGENERATE=1
// in the environment the golden files are rewritten instead; review the
// difference before committing it.
CliCase Golden(const std::string& name, const fs::path& input) {
  return {.Name = name, .Arguments = {input.string(), "{dir}/out.mp"}, .Check = [name](const TempDir& dir) {
            const fs::path golden = DataDir() / (name + ".expected.mp");
            const std::string output = ReadBytes(dir.File("out.mp"));
            const char* regenerate = std::getenv("OSTRAK_REGENERATE");
            if (regenerate != nullptr && std::string(regenerate) == "1") WriteBytes(golden, output);
            EXPECT_TRUE(output == ReadBytes(golden)) << "output differs from " << golden;
          }};
}

// Random bytes without Ctrl-Z; UTF-8 with a byte-order mark, which hides the
// header line; lines of NUL bytes, which are content like any other.
const CliCase Maps[] = {Golden("town", fs::path(OSTRAK_SOURCE_DIR) / "examples" / "town.mp"),
                        Golden("edge-cases", DataDir() / "edge-cases.mp"),
                        Golden("hostile/random-bytes", DataDir() / "hostile" / "random-bytes.mp"),
                        Golden("hostile/utf8-bom", DataDir() / "hostile" / "utf8-bom.mp"),
                        Golden("hostile/nul-lines", DataDir() / "hostile" / "nul-lines.mp")};

using GoldenFiles = CliTable;
TEST_P(GoldenFiles, Match) { RunCase(*GetParam()); }
INSTANTIATE_TEST_SUITE_P(, GoldenFiles, Rows(Maps), RowName);

const std::string Map = "[IMG ID]\nTypeSet=Navitel\n[END-IMG ID]\n[POI]\n[END]\n";
// 40000 lines of 8 bytes: 400000 bytes of output with their CR LF.
const std::vector<std::string> ManyLines(40000, "12345678");

const std::vector<std::string> InOut = {"{dir}/in.mp", "{dir}/out.mp"};
const std::string Renamed = "renamed-tool" + fs::path(OstrakFileName()).extension().string();

const CliCase Cases[] = {
    {.Name = "empty arguments neither count nor shift", .Files = {{"in.mp", "line\n"}},
     .Arguments = {"", "{dir}/in.mp", "", "{dir}/out.mp", "ignored"}, .After = {{"out.mp", "line\r\n"}}},
    // The input is opened first: when it fails, no output is made. Bare and
    // relative names are found from the working folder.
    {.Name = "missing input", .Arguments = {"in.mp", "out.mp"}, .Options = {.Folder = "{dir}"},
     .Report = "File not found", .After = {{"out.mp", std::nullopt}}},
    {.Name = "missing folder of the input", .Arguments = {"{dir}/no/in.mp", "{dir}/out.mp"},
     .Report = "Invalid filename"},
    {.Name = "a file on the input's path", .Files = {{"in.mp", "x\n"}}, .Arguments = {"{dir}/in.mp/x", "{dir}/out.mp"},
     .Report = "Invalid filename"},
    {.Name = "missing folder of the output", .Files = {{"in.mp", "x\n"}}, .Arguments = {"in.mp", "no/out.mp"},
     .Options = {.Folder = "{dir}"}, .Report = "Invalid filename"},
    {.Name = "a folder as input", .Arguments = {"{dir}", "{dir}/out.mp"}, .Report = "File access denied",
     .After = {{"out.mp", std::nullopt}}},
    {.Name = "a folder as output", .Files = {{"in.mp", "x\n"}}, .Arguments = {"{dir}/in.mp", "{dir}"},
     .Report = "File access denied"},
    {.Name = "the input as output", .Files = {{"in.mp", Map}}, .Arguments = {"{dir}/in.mp", "{dir}/in.mp"},
     .Report = "I/O error 32", .After = {{"in.mp", Map}}},
    {.Name = "a hard link of the input as output", .Files = {{"in.mp", Map}},
     .Setup = [](const TempDir& dir) { fs::create_hard_link(dir.File("in.mp"), dir.File("hard.mp")); },
     .Arguments = {"{dir}/in.mp", "{dir}/hard.mp"}, .Report = "I/O error 32", .After = {{"in.mp", Map}}},
    // After a failure the output ends with the last whole block of 128 bytes;
    // a line that fills a block with its CR LF is handed over at once.
    {.Name = "a cut-off object after a line that fills a block",
     .Files = {{"in.mp", std::string(126, 'x') + "\n" + std::string(125, 'y') + "\n[POI]\n"}}, .Arguments = InOut,
     .Report = "Read beyond end of file", .After = {{"out.mp", std::string(126, 'x') + "\r\n"}}},
    {.Name = "an object cut off after more output than one hand-over",
     .Files = {{"in.mp", CrLfLines(ManyLines) + "[POLYGON]\nType=0x13\n"}}, .Arguments = InOut,
     .Report = "Read beyond end of file", .After = {{"out.mp", CrLfLines(ManyLines).substr(0, 400000 / 128 * 128)}}},
    {.Name = "a header cut off by Ctrl-Z", .Files = {{"in.mp", "[IMG ID]\nID=1\n\x1A[END-IMG ID]\n"}},
     .Arguments = InOut, .Report = "Read beyond end of file", .After = {{"out.mp", ""}}},
    {.Name = "no standard output for the usage text", .Options = {.NoStdout = true}, .Report = "I/O error 105"},
    {.Name = "a conversion needs no standard output", .Files = {{"in.mp", "x\n"}}, .Arguments = InOut,
     .Options = {.NoStdout = true}, .After = {{"out.mp", "x\r\n"}}},
    {.Name = "a report that cannot be written still ends the run with status 1", .Arguments = InOut,
     .Options = {.NoStderr = true}, .Report = "File not found"},
    {.Name = "the report names the executable as it is on disk",
     .Setup = [](const TempDir& dir) { fs::copy_file(OstrakProgram(), dir.File(Renamed)); }, .Arguments = InOut,
     .Options = {.Program = "{dir}/" + Renamed}, .Report = "File not found", .Module = Renamed},
};

using CommandLine = CliTable;
TEST_P(CommandLine, Runs) { RunCase(*GetParam()); }
INSTANTIATE_TEST_SUITE_P(, CommandLine, Rows(Cases), RowName);

}  // namespace
}  // namespace ostrak::test
