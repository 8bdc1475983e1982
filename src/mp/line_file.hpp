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
//
// Lines are cut where they lie in the input buffer, by the line breaks that a
// line scanner (line_scan.hpp) finds ahead of them.
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

  // Reading: AtEnd and ReadTextLine in one. Returns false at the end of the
  // input (and after a failure, with its code pending); otherwise takes the
  // next line and returns true. heldMovedBy tells by how many bytes the held
  // bytes (HoldFrom) moved meanwhile, so that views of them can follow; 0
  // when they did not move, as for most lines.
  bool ReadLine(std::string_view& line, std::ptrdiff_t& heldMovedBy) {
    if (ReadBufferedLine(line)) [[likely]] {
      heldMovedBy = 0;
      return true;
    }
    return ReadLineSlowly(line, heldMovedBy);
  }

  // Reading: keeps the bytes of line, the line just read, and of every line
  // read after it in the buffer until ReleaseHold, so that views of them stay
  // valid. Reading more may move the held bytes as a whole; ReadLine tells
  // how far.
  void HoldFrom(std::string_view line) noexcept { FHold = static_cast<std::size_t>(line.data() - FBuffer.get()); }
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

  // Reading: takes the next line as ReadTextLine would and returns true, when
  // it lies whole in the bytes read so far and ends with LF or CR LF, as most
  // lines do. Otherwise returns false and takes nothing: the line needs the
  // system, or the line rules of a CR.
  bool ReadBufferedLine(std::string_view& line) noexcept {
    if (FBreakNext == FBreakCount && !FindMoreBreaks()) return false;
    char* const buffer = FBuffer.get();
    const std::size_t at = FBreakBase + FBreaks[FBreakNext];
    if (buffer[at] != '\n') return false;  // a CR that no LF follows here
    ++FBreakNext;
    const bool crLf = at > FPosition && buffer[at - 1] == '\r';
    line = {buffer + FPosition, at - FPosition - crLf};
    FEndedWithCrLf = crLf;
    FPosition = at + 1;
    return true;
  }
  // Reading: finds the next line breaks after those found so far; false
  // when the bytes read so far hold none.
  bool FindMoreBreaks() noexcept;
  // Reading: the breaks found so far are no longer good (the bytes moved or
  // changed): they are looked for again from the next unread byte on.
  void ForgetBreaks() noexcept {
    FBreakNext = FBreakCount = 0;
    FScanned = FPosition;
  }
  bool ReadLineSlowly(std::string_view& line, std::ptrdiff_t& heldMovedBy);
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
  // one. Returns by how many bytes their offsets went down; adds how far the
  // held bytes moved in memory to FHeldMovedBy.
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
  std::unique_ptr<char[]> FBuffer;  // ScanPadding bytes longer than FCapacity
  std::size_t FCapacity = 0;
  std::size_t FPosition = 0;    // reading: the next unread byte
  std::size_t FEnd = 0;         // reading: valid bytes; writing: bytes waiting
  std::size_t FHandedOver = 0;  // writing: bytes of whole blocks, ready for the system
  static constexpr std::size_t NoHold = SIZE_MAX;
  std::size_t FHold = NoHold;   // reading: the first held byte
  std::ptrdiff_t FHeldMovedBy = 0;  // reading: how far the held bytes moved since ReadLine last told

  // Reading: line breaks found ahead of FPosition, as offsets from
  // FBreakBase; those from FBreakNext on are not taken yet. Bytes before
  // FScanned have been looked at.
  static constexpr std::uint32_t BreakBatch = 256;
  LineBreakFinder FFindBreaks = nullptr;
  std::uint32_t FBreakNext = 0;
  std::uint32_t FBreakCount = 0;
  std::size_t FBreakBase = 0;
  std::size_t FScanned = 0;
  std::uint32_t FBreaks[BreakBatch];
};

// The process's standard output. It opens itself at its first write; it is
// flushed at the end of the process and never released. Made at its first
// use: a fault handler may use it only once it exists.
TLineFile& StdOut();

}  // namespace ostrak
