#include "e2e/cli_case.hpp"

#include <cctype>
#include <filesystem>

namespace ostrak::test {
namespace {

// "{dir}" becomes the folder, and a "/" after it the system's separator.
std::string InFolder(std::string text, const TempDir& dir) {
  for (std::size_t at; (at = text.find("{dir}")) != std::string::npos;) {
    text.replace(at, 5, dir.Path().string());
    at += dir.Path().string().size();
    if (at < text.size() && text[at] == '/') text[at] = static_cast<char>(std::filesystem::path::preferred_separator);
  }
  return text;
}

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

void RunCase(const CliCase& c) {
  TempDir dir;
  for (const auto& [name, bytes] : c.Files) WriteBytes(dir.File(name), bytes);
  if (c.Setup) c.Setup(dir);
  std::vector<std::string> arguments;
  for (const std::string& argument : c.Arguments) arguments.push_back(InFolder(argument, dir));
  RunOptions options = c.Options;
  options.Program = InFolder(options.Program, dir);
  options.Folder = InFolder(options.Folder, dir);
  const RunResult run = RunOstrak(arguments, options);

  EXPECT_EQ(run.ExitStatus, c.Report.empty() ? 0 : 1) << run.Stderr;
  EXPECT_TRUE(run.Stdout == c.Stdout) << testing::PrintToString(run.Stdout);
  if (c.Report.empty()) {
    EXPECT_EQ(run.Stderr, "");
  } else if (!c.Options.NoStderr) {
    EXPECT_TRUE(IsReport(run.Stderr, c)) << testing::PrintToString(run.Stderr);
  }
  for (const auto& [name, bytes] : c.After) {
    const bool exists = std::filesystem::exists(dir.File(name));
    EXPECT_EQ(exists, bytes.has_value()) << name;
    EXPECT_TRUE(!exists || !bytes || ReadBytes(dir.File(name)) == *bytes) << name << " differs";
  }
  if (c.Check) c.Check(dir);
}

testing::internal::ParamGenerator<const CliCase*> Rows(std::span<const CliCase> table) {
  std::vector<const CliCase*> rows;
  for (const CliCase& row : table) rows.push_back(&row);
  return testing::ValuesIn(rows);
}

// The row's name with "_" for every byte but letters and digits.
std::string RowName(const testing::TestParamInfo<const CliCase*>& row) {
  std::string name = row.param->Name;
  for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

}  // namespace ostrak::test
