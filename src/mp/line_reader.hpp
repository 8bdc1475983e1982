// LineReader: cuts the bytes of an open input into lines.
//
// The line rules: LF or CR LF ends a line; a CR that is not followed by LF is
// dropped, also at the end of the input; a Ctrl-Z byte (0x1A) or the physical
// end ends the input. Every other byte, NUL included, is line content.
//
// Lines are cut where they lie in the buffer, by the line breaks that a line
// scanner (line_scan.hpp) finds ahead of them, a batch at a time. A line that
// ends with LF in the bytes read so far is taken at once; every other line
// (one that needs more bytes, holds a CR of its own, or ends the input) goes
// through the same breaks, a byte at a time only where a CR stands.
//
// Failures do not raise: a failed read stores its I/O error code and reads as
// the end of the bytes for now; the next read asks the system again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "mp/line_scan.hpp"
#include "mp/platform/file_system.hpp"

namespace ostrak {

class LineReader {
 public:
  LineReader() = default;
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Begins reading handle with system calls of transferSize bytes. The
  // buffer is kept from one input to the next.
  void Start(platform::NativeHandle handle, std::size_t transferSize);
  // Forgets the input and every byte read from it.
  void Stop() noexcept;

  // True when no more line content can be read; consumes nothing.
  bool AtEnd() { return FPosition < FEnd ? false : !ReadMore(); }

  // The next line without its terminator; at the end of the input, an empty
  // line. The view stays valid until the next read, or while its bytes are
  // held (HoldFrom).
  std::string_view ReadTextLine() {
    std::string_view line;
    if (TakeBufferedLine(line)) return line;
    return AtEnd() ? std::string_view{} : TakeLineSlowly();
  }

  // AtEnd and ReadTextLine in one: false at the end of the input (and after
  // a failure, with its code pending); otherwise takes the next line.
  // heldMovedBy tells by how many bytes the held bytes moved meanwhile, so
  // that views of them can follow; 0 when they did not move, as for most
  // lines.
  bool ReadLine(std::string_view& line, std::ptrdiff_t& heldMovedBy) {
    if (TakeBufferedLine(line)) [[likely]] {
      heldMovedBy = 0;
      return true;
    }
    return ReadLineSlowly(line, heldMovedBy);
  }

  // Keeps the bytes of line, the line just read, and of every line read
  // after it until ReleaseHold, so that views of them stay valid. Reading
  // more may move the held bytes as a whole; ReadLine tells how far.
  void HoldFrom(std::string_view line) noexcept { FHold = static_cast<std::size_t>(line.data() - FBuffer.get()); }
  void ReleaseHold() noexcept { FHold = NoHold; }
  // True when the last line read is followed by CR LF in the buffer, so that
  // its bytes and terminator can be written as they are.
  bool EndedWithCrLf() const noexcept { return FEndedWithCrLf; }

 private:
  // Takes the next line and returns true when it lies whole in the bytes
  // read so far and ends with LF or CR LF, as most lines do; otherwise takes
  // nothing and returns false.
  bool TakeBufferedLine(std::string_view& line) noexcept {
    if (FBreakNext == FBreakCount && !FindMoreBreaks()) return false;
    char* const buffer = FBuffer.get();
    const std::size_t at = FBreakBase + FBreaks[FBreakNext];
    if (buffer[at] != '\n') return false;  // a CR that no LF follows here
    ++FBreakNext;
    const bool crLf = CrBefore(at, FPosition);
    line = {buffer + FPosition, at - FPosition - crLf};
    FEndedWithCrLf = crLf;
    FPosition = at + 1;
    return true;
  }
  // Whether the LF at at ends its line with a CR LF pair: the CR is part of
  // the terminator when it lies in the line, at or after from.
  bool CrBefore(std::size_t at, std::size_t from) const noexcept { return at > from && FBuffer[at - 1] == '\r'; }

  // The line rules for every line that TakeBufferedLine leaves; there is at
  // least one byte to read.
  std::string_view TakeLineSlowly();
  // The text of a line being taken, as offsets from its first byte, which
  // stay good when ReadMore moves the bytes: the first Kept bytes are its
  // text so far, the bytes from From on are not taken yet. A dropped CR makes
  // the bytes after it move down onto it, so that Kept < From from then on.
  struct LineText {
    std::size_t Kept = 0;
    std::size_t From = 0;
    void TakeUpTo(char* line, std::size_t to) noexcept {
      if (Kept != From) std::memmove(line + Kept, line + From, to - From);
      Kept += to - From;
      From = to;
    }
    void DropByteAt(char* line, std::size_t at) noexcept {
      TakeUpTo(line, at);
      From = at + 1;
    }
  };
  // Ends the line being taken: its text runs to textEnd, the next line
  // begins at next; crLf: a CR LF pair ended it.
  std::string_view EndLine(LineText& text, std::size_t textEnd, std::size_t next, bool crLf) noexcept;
  bool ReadLineSlowly(std::string_view& line, std::ptrdiff_t& heldMovedBy);
  // Finds the next batch of line breaks in the bytes not looked at yet;
  // false when they hold none.
  bool FindMoreBreaks() noexcept;
  // Reads more bytes behind those read so far, keeping the unread ones and
  // the held ones (which may move down or into a larger buffer); false at
  // the end of the input or on a failure.
  bool ReadMore();
  void MakeRoom();

  platform::NativeHandle FHandle = platform::NoHandle;
  std::size_t FTransferSize = 0;
  std::unique_ptr<char[]> FBuffer;  // ScanPadding bytes longer than FCapacity
  std::size_t FCapacity = 0;
  std::size_t FPosition = 0;  // the next unread byte
  std::size_t FEnd = 0;       // the bytes read so far
  bool FInputEnded = false;   // the physical end or a Ctrl-Z byte was met
  bool FEndedWithCrLf = false;
  static constexpr std::size_t NoHold = SIZE_MAX;
  std::size_t FHold = NoHold;       // the first held byte
  std::ptrdiff_t FHeldMovedBy = 0;  // how far the held bytes moved since ReadLine last told

  // Line breaks found ahead of FPosition, as offsets from FBreakBase; those
  // from FBreakNext on are not taken yet. Bytes before FScanned have been
  // looked at; FPosition <= FScanned <= FEnd.
  static constexpr std::uint32_t BreakBatchSize = 256;
  LineBreakFinder FFindBreaks = nullptr;
  std::uint32_t FBreakNext = 0;
  std::uint32_t FBreakCount = 0;
  std::size_t FBreakBase = 0;
  std::size_t FScanned = 0;
  std::uint32_t FBreaks[BreakBatchSize];
};

}  // namespace ostrak
