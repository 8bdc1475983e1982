#include "e2e/split_case.hpp"

#include <set>

namespace ostrak::test {
std::string SplitProgram() {
  // ostrak's own file name with its suffix on this system (".exe" on Windows).
  return (ProgramDir() / ("ostrak-split" + OstrakFileName().substr(6))).string();
}

void RunSplitCase(const CliCase& c) {
  TempDir dir;
  const RunResult run = RunInFolder(c, dir, SplitProgram());

  std::string stderrText = run.Stderr;
  std::erase(stderrText, '\r');
  std::string stdoutText = run.Stdout;
  std::erase(stdoutText, '\r');
  EXPECT_EQ(run.ExitStatus, c.Report.empty() ? 0 : 1) << stderrText;
  EXPECT_EQ(stderrText, c.Report.empty() ? "" : "ostrak-split: " + InFolder(c.Report, dir) + "\n");
  EXPECT_TRUE(stdoutText.starts_with(c.Stdout) && (c.Stdout.empty() == stdoutText.empty())) << stdoutText;
  CheckFilesAfter(c.After, dir);
  // A run that failed leaves no file under a temporary name.
  if (fs::is_directory(dir.Path() / "out")) {
    for (const auto& entry : fs::directory_iterator(dir.Path() / "out")) {
      EXPECT_NE(entry.path().extension(), ".part") << entry.path();
    }
  }
  if (c.Check) c.Check(dir);
}

void CheckGolden(const fs::path& folder, const fs::path& golden) {
  std::set<std::string> written;
  std::set<std::string> expected;
  for (const auto& entry : fs::directory_iterator(folder)) written.insert(entry.path().filename().string());
  for (const auto& entry : fs::directory_iterator(golden)) expected.insert(entry.path().filename().string());
  EXPECT_EQ(written, expected);
  for (const std::string& name : expected) {
    if (!written.contains(name)) continue;
    if (std::getenv("OSTRAK_REGENERATE") != nullptr) WriteBytes(golden / name, ReadBytes(folder / name));
    EXPECT_TRUE(ReadBytes(folder / name) == ReadBytes(golden / name)) << name << " differs from the golden file";
  }
}

}  // namespace ostrak::test
