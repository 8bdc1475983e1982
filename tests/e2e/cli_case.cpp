#include "e2e/cli_case.hpp"

#include <filesystem>

namespace ostrak::test {
namespace {

// "Exception <class> in module <module> at <hex>.\r\n<message>.\r\n\r\n" with
// at least 8 upper-case hexadecimal digits.
bool IsReport(const std::string& text, const CliCase& c) {
  const std::string head = "Exception " + c.Class + " in module ";
  const std::string tail = ".\r\n" + c.Report + ".\r\n\r\n";
  if (!text.starts_with(head) || !text.ends_with(tail) || text.size() < head.size() + tail.size()) return false;
  const std::string place = text.substr(head.size(), text.size() - head.size() - tail.size());
  const std::size_t at = place.rfind(" at ");
  const std::string hex = at == std::string::npos ? "" : place.substr(at + 4);
  return (c.Module.empty() || place.substr(0, at) == c.Module) && hex.size() >= 8 &&
         hex.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

}  // namespace

std::string InFolder(std::string text, const TempDir& dir) {
  for (std::size_t at; (at = text.find("{dir}")) != std::string::npos;) {
    text.replace(at, 5, dir.Path().string());
    at += dir.Path().string().size();
    if (at < text.size() && text[at] == '/') text[at] = static_cast<char>(std::filesystem::path::preferred_separator);
  }
  return text;
}

void CheckFilesAfter(const std::vector<std::pair<std::string, std::optional<std::string>>>& after,
                     const TempDir& dir) {
  for (const auto& [name, bytes] : after) {
    const fs::path path = dir.Path() / name;
    EXPECT_EQ(fs::exists(path), bytes.has_value()) << name;
    EXPECT_TRUE(!bytes || !fs::is_regular_file(path) || ReadBytes(path) == *bytes) << name << " differs";
  }
}

void RunCase(const CliCase& c) {
  TempDir dir;
  const RunResult run = RunInFolder(c, dir, OstrakProgram());

  EXPECT_EQ(run.ExitStatus, c.Report.empty() ? 0 : 1) << run.Stderr;
  EXPECT_TRUE(run.Stdout == c.Stdout) << testing::PrintToString(run.Stdout);
  if (c.Report.empty()) {
    EXPECT_EQ(run.Stderr, "");
  } else if (!c.Options.NoStderr) {
    EXPECT_TRUE(IsReport(run.Stderr, c)) << testing::PrintToString(run.Stderr);
  }
  CheckFilesAfter(c.After, dir);
  if (c.Check) c.Check(dir);
}

}  // namespace ostrak::test
