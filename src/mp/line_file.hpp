// TLineFile: line-oriented access to a map file or to standard output.
//
// A file is bound to a name, then opened for reading, when a LineReader cuts
// its bytes into lines, or for writing, when a BlockWriter writes its lines
// with CR LF after each. The rules of lines and of what reaches an output are
// theirs (line_reader.hpp, block_writer.hpp); this is the face the section
// filter and the converter know.
//
// Failures do not raise: they store a pending I/O error code, and the caller
// runs CheckIO after every operation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "mp/block_writer.hpp"
#include "mp/io_result.hpp"
#include "mp/line_reader.hpp"
#include "mp/platform/file_system.hpp"

namespace ostrak {

class TLineFile {
 public:
  static constexpr std::size_t BlockSize = BlockWriter::BlockSize;
  static constexpr std::size_t DefaultTransferSize = 256 * 1024;

  // transferSize: the size of the system calls that read and write; tests use
  // tiny sizes to cut lines at every possible place.
  explicit TLineFile(std::size_t transferSize = DefaultTransferSize) noexcept;
  TLineFile(const TLineFile&) = delete;
  TLineFile& operator=(const TLineFile&) = delete;
  // A file that is still open for writing hands its whole blocks to the
  // system, not its last partial block, and releases its handle.
  ~TLineFile();

  // Names the file and puts it in the closed state; touches no file.
  void Bind(std::string_view name);
  // Opens the bound, existing file for reading.
  void OpenRead();
  // Creates the bound file, or empties an existing one, for writing.
  void OpenWrite();

  // True when no more line content can be read; consumes nothing.
  bool AtEnd() {
    if (FState == State::Reading) [[likely]] return FReader.AtEnd();
    NotReading();
    return true;
  }
  // The next line without its terminator. The view stays valid until the
  // next AtEnd or ReadTextLine, or while its bytes are held (HoldFrom). At the
  // end of the input: an empty line.
  std::string_view ReadTextLine() {
    if (FState == State::Reading) [[likely]] return FReader.ReadTextLine();
    NotReading();
    return {};
  }
  // AtEnd and ReadTextLine in one: false at the end of the input (and after
  // a failure, with its code pending); otherwise takes the next line.
  // heldMovedBy tells by how many bytes the held bytes (HoldFrom) moved
  // meanwhile, so that views of them can follow.
  bool ReadLine(std::string_view& line, std::ptrdiff_t& heldMovedBy) {
    if (FState == State::Reading) [[likely]] return FReader.ReadLine(line, heldMovedBy);
    NotReading();
    return false;
  }
  // Keeps the bytes of line, the line just read, and of every line read
  // after it until ReleaseHold, so that views of them stay valid.
  void HoldFrom(std::string_view line) noexcept { FReader.HoldFrom(line); }
  void ReleaseHold() noexcept { FReader.ReleaseHold(); }
  // True when the last line read is followed by CR LF in the buffer, so that
  // its bytes and terminator can be written as they are.
  bool EndedWithCrLf() const noexcept { return FReader.EndedWithCrLf(); }

  // Writes the line's bytes unchanged, then CR LF.
  void WriteTextLine(std::string_view line) {
    if (FState == State::Writing || StartStdOut()) FWriter.WriteLine(line);
  }
  // Writes bytes that hold whole lines, each already ending with CR LF, as
  // WriteTextLine would write those lines one after another.
  void WriteTextLines(std::string_view lines) {
    if (FState == State::Writing || StartStdOut()) FWriter.WriteLines(lines);
  }
  // Hands every waiting byte of an output to the system now.
  void FlushText();
  // Hands the waiting bytes to the system and releases the file.
  void CloseText();

 private:
  enum class State : unsigned char { Closed, Reading, Writing };
  struct StdOutTag {};
  explicit TLineFile(StdOutTag) noexcept : FIsStdOut(true) {}
  friend TLineFile& StdOut();

  // Stores the code of an input operation on a file not open for reading,
  // which reads as one at its end.
  void NotReading() noexcept;
  // Opens standard output at its first write; false, with the code pending,
  // when this is no closed standard output or it cannot be opened.
  bool StartStdOut();
  // Begins writing to the open handle, as its kind asks; false, with the
  // code pending and the handle released, when the kind cannot be told.
  bool StartWriting();
  // Releases the file and opens the bound name with a platform call; false,
  // with the code pending, when that fails.
  using PlatformOpen = std::int32_t (*)(const char* name, platform::NativeHandle& handle);
  bool OpenHandle(PlatformOpen open);
  void Release() noexcept;

  std::string FName;
  platform::NativeHandle FHandle = platform::NoHandle;
  State FState = State::Closed;
  bool FIsStdOut = false;
  std::size_t FTransferSize = DefaultTransferSize;
  LineReader FReader;
  BlockWriter FWriter;
};

// The process's standard output. It opens itself at its first write; it is
// flushed at the end of the process and never released. Made at its first
// use: a fault handler may use it only once it exists.
TLineFile& StdOut();

}  // namespace ostrak
