// Runs of ostrak-split that only a POSIX system sets up: a named pipe as
// input, an output folder that the user may not write.
#include <sys/stat.h>

#include "e2e/split_case.hpp"

namespace ostrak::test {
namespace {

const std::string Map = "[IMG ID]\r\nID=1\r\n[END-IMG ID]\r\n[POI]\r\nData0=(1,1)\r\n[END]\r\n";

// As nobody when the tests run as root, from a copy of the program that nobody may run.
const RunOptions AsNobody = {.Program = "{dir}/ostrak-split", .InChild = BecomeNobody};

const std::string LongPath = std::string(150, 'd') + "/" + std::string(150, 'e');

const CliCase Cases[] = {
    // Read before anything is written: a pipe would be empty the second time.
    {.Name = "a pipe as input", .Setup = [](const TempDir& dir) { mkfifo(dir.File("in.mp").c_str(), 0644); },
     .Arguments = {"{dir}/in.mp", "{dir}/out"},
     .Report = "{dir}/in.mp: not a regular file; a pipe or a device cannot be read twice",
     .After = {{"out", std::nullopt}}},
    {.Name = "a read-only output folder", .Files = {{"in.mp", Map}, {"out/keep.txt", "x"}},
     .Setup = [](const TempDir& dir) {
       fs::copy_file(SplitProgram(), dir.File("ostrak-split"));
       fs::permissions(dir.File("out"), static_cast<fs::perms>(0555));
     },
     .Arguments = {"{dir}/in.mp", "{dir}/out"}, .Options = AsNobody,
     .Report = "cannot write {dir}/out/63240001.mp: File access denied",
     .After = {{"out/keep.txt", "x"}, {"out/63240001.mp", std::nullopt}},
     .Check = [](const TempDir& dir) { fs::permissions(dir.File("out"), static_cast<fs::perms>(0755)); }},
    // Names longer than a fixed buffer come out whole.
    {.Name = "a message longer than any buffer", .Arguments = {"{dir}/" + LongPath + "/in.mp", "{dir}/out"},
     .Report = "cannot read {dir}/" + LongPath + "/in.mp: Invalid filename"},
};

using SplitPosix = CliTable;
TEST_P(SplitPosix, Runs) { RunSplitCase(*GetParam()); }
INSTANTIATE_TEST_SUITE_P(, SplitPosix, Rows(Cases), RowName);

}  // namespace
}  // namespace ostrak::test
