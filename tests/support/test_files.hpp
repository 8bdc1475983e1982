// Scratch folders and whole-file reads and writes for tests.
#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ostrak::test {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, open to other users
// (some tests run the program as nobody), removed with its contents when the
// object goes.
class TempDir {
 public:
  TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    do {
      FPath = fs::temp_directory_path() / ("ostrak-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
    } while (!fs::create_directory(FPath));
    fs::permissions(FPath, static_cast<fs::perms>(0755));
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(FPath, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const fs::path& Path() const { return FPath; }
  // The path of a file in the folder, as a string.
  std::string File(std::string_view name) const { return (FPath / name).string(); }

 private:
  fs::path FPath;
};

// Writes a file that everyone may read.
inline void WriteBytes(const fs::path& path, std::string_view bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw std::runtime_error("cannot write " + path.string());
  fs::permissions(path, static_cast<fs::perms>(0644));
}

inline std::string ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// The lines, each followed by CR LF: what the program writes.
inline std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// The lines of a list.
template <typename List>
std::vector<std::string> Lines(const List& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.emplace_back(list.Get(i));
  return lines;
}

// The folder of the test data files, and the folder of the built programs.
inline fs::path DataDir() { return fs::path(OSTRAK_TEST_DATA_DIR).make_preferred(); }
inline fs::path ProgramDir() { return fs::path(OSTRAK_PROGRAM_DIR).make_preferred(); }

}  // namespace ostrak::test
