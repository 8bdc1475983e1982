// End-to-end runs that only a POSIX system can set up or that its mapping of
// system errors decides: the usage text in UTF-8, errno values, permissions,
// limits, links, signals, devices and inputs far beyond real maps.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "e2e/cli_case.hpp"

namespace ostrak::test {
namespace {

const std::vector<std::string> InOut = {"{dir}/in.mp", "{dir}/out.mp"};

// Run as nobody when the tests run as root, from a copy of the program that
// nobody may run, with a file of the folder given the permissions.
const RunOptions AsNobody = {.Program = "{dir}/ostrak", .InChild = BecomeNobody};
std::function<void(const TempDir&)> Permit(const char* name, fs::perms permissions) {
  return [=](const TempDir& dir) {
    fs::copy_file(OstrakProgram(), dir.File("ostrak"));
    fs::permissions(dir.File(name), permissions);
  };
}

std::function<void()> Limit(int resource, rlim_t value) {
  return [=] {
    const rlimit limit{value, value};
    setrlimit(resource, &limit);
  };
}

const std::string Long(100000, 'x');
const std::string Numbers = "Numbers1=0,B,1,1,N,-1,-1,-1,-1,,,,-1\r\nNumbers2=2,N,-1,-1,N,-1,-1,-1,-1,,,,-1\r\n";
// Inputs far beyond real maps are made when their row runs.
std::string LongHeader(const std::string& end) {
  std::string header = "[IMG ID]\r\n";
  for (int i = 0; i < 200000; ++i) header += "Key" + std::to_string(i) + "=value\r\n";
  return header + end + "[END-IMG ID]\r\n";
}

const std::string Usage = ReadBytes(DataDir() / "usage.utf-8.txt");
std::string InputPipe;  // made by the Setup of the row that runs
const CliCase Cases[] = {
    // The usage text as a UTF-8 terminal shows it; no file is opened or made.
    {.Name = "no names", .Stdout = Usage},
    {.Name = "one name among empty ones", .Arguments = {"", "in.mp", ""}, .Options = {.Folder = "{dir}"},
     .Stdout = Usage, .After = {{"in.mp", std::nullopt}}},
    // System errors without a message of their own keep their numbers.
    {.Name = "a symbolic link loop", .Setup = [](const TempDir& dir) { fs::create_symlink("loop", dir.File("loop")); },
     .Arguments = {"{dir}/loop", "{dir}/out.mp"}, .Report = "I/O error 40", .After = {{"out.mp", std::nullopt}}},
    {.Name = "an input nobody may read", .Files = {{"in.mp", "x\n"}}, .Setup = Permit("in.mp", fs::perms::none),
     .Arguments = InOut, .Options = AsNobody, .Report = "File access denied"},
    {.Name = "an output nobody may write", .Files = {{"in.mp", "x\n"}, {"out.mp", "keep\n"}},
     .Setup = Permit("out.mp", fs::perms::owner_read | fs::perms::others_read), .Arguments = InOut,
     .Options = AsNobody, .Report = "File access denied", .After = {{"out.mp", "keep\n"}}},
    {.Name = "a symbolic link to the input as output", .Files = {{"in.mp", "x\n"}},
     .Setup = [](const TempDir& dir) { fs::create_symlink(dir.File("in.mp"), dir.File("out.mp")); },
     .Arguments = InOut, .Report = "I/O error 32", .After = {{"in.mp", "x\n"}}},
    {.Name = "a full device", .Files = {{"in.mp", "x\n"}}, .Arguments = {"{dir}/in.mp", "/dev/full"},
     .Report = "I/O error 112"},
    {.Name = "the usage text into a full device", .Options = {.InChild = [] { dup2(open("/dev/full", O_WRONLY), 1); }},
     .Report = "I/O error 112"},
    // The write fails before the input turns out to be cut off: the write is the failure.
    {.Name = "a map into a pipe nobody reads, then cut off",
     .Files = {{"in.mp", std::string(200000, '\n') + "[POI]\n"}}, .Arguments = {"{dir}/in.mp", "/dev/stdout"},
     .Options = {.BrokenPipe = true}, .Report = "I/O error 109"},
    // The input is a named pipe that gets no data. Opening it for writing waits
    // until the program has opened it: it is past its start-up then, waits on
    // it, and gets the signal of an invalid memory access there.
    {.Name = "a processor fault",
     .Setup = [](const TempDir& dir) { mkfifo((InputPipe = dir.File("in.mp")).c_str(), 0644); }, .Arguments = InOut,
     .Options = {.Meanwhile = [](std::intptr_t child) {
       const int writer = open(InputPipe.c_str(), O_WRONLY);
       kill(static_cast<pid_t>(child), SIGSEGV);
       close(writer);
     }},
     .Report = "Access violation", .Class = "EAccessViolation", .Module = ""},
    // Reading a process's own memory from address 0 fails with EIO.
    {.Name = "a device error", .Arguments = {"/proc/self/mem", "{dir}/out.mp"}, .Report = "I/O error 1117"},
    {.Name = "the executable started through a link",
     .Setup = [](const TempDir& dir) {
       fs::copy_file(OstrakProgram(), dir.File("renamed-tool"));
       fs::create_symlink(dir.File("renamed-tool"), dir.File("alias"));
     },
     .Arguments = {"{dir}/missing.mp", "{dir}/out.mp"}, .Options = {.Program = "{dir}/alias"},
     .Report = "File not found", .Module = "renamed-tool"},
    {.Name = "one line of 16 MiB without a terminator",
     .Setup = [](const TempDir& dir) { WriteBytes(dir.File("in.mp"), std::string(16u << 20, 'x')); },
     .Arguments = InOut, .Check = [](const TempDir& dir) {
       EXPECT_TRUE(ReadBytes(dir.File("out.mp")) == std::string(16u << 20, 'x') + "\r\n");
     }},
    // A label longer than a chunk of the storage of edited lines gets one of its own.
    {.Name = "a street of 100 000 bytes",
     .Files = {{"in.mp", "[POLYGON]\nStreetDesc=" + Long + "\nHouseNumber=1\n[END]\n"}}, .Arguments = InOut,
     .After = {{"out.mp", "[POLYLINE]\r\nStreetDesc=" + Long + "\r\nHouseNumber=1\r\nType=0x13\r\nLabel=" + Long +
                              "\r\n" + Numbers + "[END]\r\n"}}},
    {.Name = "a header of 200 000 lines",
     .Setup = [](const TempDir& dir) { WriteBytes(dir.File("in.mp"), LongHeader("typeset=Navitel\r\n")); },
     .Arguments = InOut,
     .Check = [](const TempDir& dir) {
       const std::string keys =
           CrLfLines({"TypeSet=Garmin", "Routing=N", "POINumberFirst=N", "POIZipFirst=N", "MG=Y", "Numbering=Y"});
       EXPECT_TRUE(ReadBytes(dir.File("out.mp")) == LongHeader(keys));
     }},
};

using PosixCommandLine = CliTable;
TEST_P(PosixCommandLine, Runs) { RunCase(*GetParam()); }
INSTANTIATE_TEST_SUITE_P(, PosixCommandLine, Rows(Cases), RowName);

// Why runs under a limit on memory or open files cannot hold here, or
// nullptr: the runtime of the sanitizers needs both for itself, and qemu's
// user-mode emulation takes a limit on memory without keeping to it.
const char* LimitsDoNotHold(bool memory) {
  if (OSTRAK_SANITIZED) return "not meaningful in a build with sanitizers";
  if (memory && OSTRAK_USER_MODE_EMULATION) return "qemu-user accepts a limit on memory but does not apply it";
  return nullptr;
}

// Room for the three standard streams and the input only.
const CliCase FileLimitCases[] = {
    {.Name = "too many open files", .Files = {{"in.mp", "x\n"}}, .Arguments = InOut,
     .Options = {.InChild = Limit(RLIMIT_NOFILE, 4)}, .Report = "Too many open files"},
};

using PosixLimits = CliTable;
TEST_P(PosixLimits, Runs) {
  if (const char* reason = LimitsDoNotHold(false)) GTEST_SKIP() << reason;
  RunCase(*GetParam());
}
INSTANTIATE_TEST_SUITE_P(, PosixLimits, Rows(FileLimitCases), RowName);

const CliCase MemoryLimitCases[] = {
    // One line of 256 MiB of NUL bytes in an object, in a sparse file; the
    // failure lies in the program's own file.
    {.Name = "out of memory",
     .Setup = [](const TempDir& dir) {
       WriteBytes(dir.File("in.mp"), "[POI]\n");
       fs::resize_file(dir.File("in.mp"), 256u << 20);
     },
     .Arguments = InOut, .Options = {.InChild = Limit(RLIMIT_AS, 128u << 20)}, .Report = "Out of memory",
     .Class = "EOutOfMemory"},
    // Memory follows the largest section, never the file: a generated map of
    // 200 MB of small sections converts in 64 MiB (a slow test).
    {.Name = "a map far larger than the memory",
     .Setup = [](const TempDir& dir) { RunOstrak({dir.File("in.mp"), "200M"}, {.Program = OSTRAK_GENERATE_MAP}); },
     .Arguments = InOut, .Options = {.InChild = Limit(RLIMIT_AS, 64u << 20)}},
};

using PosixMemoryLimits = CliTable;
TEST_P(PosixMemoryLimits, Runs) {
  if (const char* reason = LimitsDoNotHold(true)) GTEST_SKIP() << reason;
  RunCase(*GetParam());
}
INSTANTIATE_TEST_SUITE_P(, PosixMemoryLimits, Rows(MemoryLimitCases), RowName);

}  // namespace
}  // namespace ostrak::test
