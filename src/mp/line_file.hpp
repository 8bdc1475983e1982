// TLineFile: line-oriented access to a map file or to standard output.
//
// Reading cuts the bytes into lines: LF or CR LF ends a line, a CR that is not
// followed by LF is dropped, and a Ctrl-Z byte (0x1A) or the physical end ends
// the input. Every other byte, NUL included, is line content. Writing adds
// CR LF after every line.
//
// What reaches an output is measured in blocks of 128 bytes: bytes are handed
// over to the system in whole blocks, the rest only at FlushText or CloseText
// (and after every line on a character device such as a terminal). Handed-over
// blocks are gathered into large system calls. Bytes of a partial block of a
// file that is never closed are lost, so a run that fails leaves an output that
// ends at a multiple of 128 bytes.
//
// Failures do not raise: they store a pending I/O error code, and the caller
// runs CheckIO after every operation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "mp/byte_copy.hpp"
#include "mp/line_scan.hpp"
#include "mp/platform/file_system.hpp"

namespace ostrak {

class TLineFile {
 public:
  static constexpr std::size_t BlockSize = 128;
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
  bool AtEnd() { return FPosition < FEnd && FState == State::Reading ? false : AtEndAfterRefill(); }

  // The next line without its terminator. The view stays valid until the
  // next AtEnd or ReadTextLine, or while its bytes are held (HoldFrom). At the
  // end of the input: an empty line.
  std::string_view ReadTextLine() {
    std::string_view line;
    return ReadBufferedLine(line) ? line : ReadTextLineSlowly();
  }

  // Reading: takes the next line as ReadTextLine would and returns true, when
  // it lies whole in the bytes read so far and ends with LF or CR LF, as most
  // lines do. Otherwise returns false and takes nothing: the line needs the
  // system, and AtEnd and ReadTextLine with their checks.
  bool ReadBufferedLine(std::string_view& line) noexcept {
    if (FState != State::Reading) return false;
    char* const start = FBuffer.get() + FPosition;
    char* const end = FBuffer.get() + FEnd;
    const char* const stop = FindLineBreak(start, end);
    if (stop == end) return false;
    const std::size_t length = static_cast<std::size_t>(stop - start);
    if (*stop == '\n') {
      FPosition += length + 1;
      FEndedWithCrLf = false;
    } else if (stop + 1 != end && stop[1] == '\n') {
      FPosition += length + 2;
      FEndedWithCrLf = true;
    } else {
      return false;
    }
    line = {start, length};
    return true;
  }

  // Reading: keeps the bytes of line, the line just read, and of every line
  // read after it in the buffer until ReleaseHold, so that views of them stay
  // valid. The held bytes may move as a whole when more input is read:
  // HeldStart tells where they begin now.
  void HoldFrom(std::string_view line) noexcept { FHold = static_cast<std::size_t>(line.data() - FBuffer.get()); }
  const char* HeldStart() const noexcept { return FBuffer.get() + FHold; }
  void ReleaseHold() noexcept { FHold = NoHold; }
  // Reading: true when the last line read is followed by CR LF in the
  // buffer, so that its bytes and terminator can be written as they are.
  bool EndedWithCrLf() const noexcept { return FEndedWithCrLf; }

  // Writes the line's bytes unchanged, then CR LF.
  void WriteTextLine(std::string_view line) {
    if (FState == State::Writing && !FWriteAfterLine && line.size() + 2 <= FCapacity - FEnd) [[likely]] {
      char* const out = FBuffer.get() + FEnd;
      CopyBytes(out, line.data(), line.size());
      out[line.size()] = '\r';
      out[line.size() + 1] = '\n';
      FEnd += line.size() + 2;
      FHandedOver = FEnd - (FEnd - FHandedOver) % BlockSize;
      return;
    }
    WriteTextLineSlowly(line);
  }
  // Writes bytes that hold whole lines, each already ending with CR LF, as
  // WriteTextLine would write those lines one after another.
  void WriteTextLines(std::string_view lines) {
    if (FState == State::Writing && !FWriteAfterLine && lines.size() <= FCapacity - FEnd) [[likely]] {
      CopyBytes(FBuffer.get() + FEnd, lines.data(), lines.size());
      FEnd += lines.size();
      FHandedOver = FEnd - (FEnd - FHandedOver) % BlockSize;
      return;
    }
    WriteTextLinesSlowly(lines);
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

  bool AtEndAfterRefill();
  std::string_view ReadTextLineSlowly();
  void WriteTextLineSlowly(std::string_view line);
  void WriteTextLinesSlowly(std::string_view lines);
  bool NameIsUsable() const;
  void Release() noexcept;
  void PrepareBuffer(std::size_t capacity);
  // Reading: reads more bytes after FEnd; false at the end of the input or on failure.
  bool Refill();
  // Reading: makes room for a large read behind the bytes from keep on (and
  // the held bytes), moving them to the front of the buffer or into a larger
  // one. Returns by how many bytes their offsets went down.
  std::size_t MakeRoomForRead(std::size_t keep);
  // Writing: opens standard output when it is written first.
  bool ReadyToWrite();
  void Place(const char* data, std::size_t count);
  // Writing: passes the handed-over bytes to the system; returns the I/O error
  // code (the bytes are gone either way).
  std::int32_t WriteOut() noexcept;
  void HandOverAll();

  std::string FName;
  platform::NativeHandle FHandle = platform::NoHandle;
  State FState = State::Closed;
  bool FIsStdOut = false;
  bool FWriteAfterLine = false;  // a character device gets every line at once
  bool FInputEnded = false;      // the physical end or a Ctrl-Z byte was met
  bool FEndedWithCrLf = false;   // the last line read is followed by CR LF
  std::size_t FTransferSize = DefaultTransferSize;
  std::unique_ptr<char[]> FBuffer;
  std::size_t FCapacity = 0;
  std::size_t FPosition = 0;    // reading: the next unread byte
  std::size_t FEnd = 0;         // reading: valid bytes; writing: bytes waiting
  std::size_t FHandedOver = 0;  // writing: bytes of whole blocks, ready for the system
  static constexpr std::size_t NoHold = SIZE_MAX;
  std::size_t FHold = NoHold;   // reading: the first held byte
};

// The process's standard output. It opens itself at its first write; it is
// flushed at the end of the process and never released. Made at its first
// use: a fault handler may use it only once it exists.
TLineFile& StdOut();

}  // namespace ostrak
