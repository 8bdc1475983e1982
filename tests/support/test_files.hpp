// Scratch folders and whole-file reads and writes for tests.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ostrak::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return FPath; }
  // The path of a file in the folder, as a string.
  std::string File(std::string_view name) const;

 private:
  std::filesystem::path FPath;
};

void WriteBytes(const std::filesystem::path& path, std::string_view bytes);
// The lines, each followed by CR LF: what the program writes.
std::string CrLfLines(const std::vector<std::string>& lines);
std::string ReadBytes(const std::filesystem::path& path);

// The folder of the test data files, and the folder of the built programs.
std::filesystem::path DataDir();
std::filesystem::path ProgramDir();

}  // namespace ostrak::test
