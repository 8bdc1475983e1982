#include "mp/line_reader.hpp"

#include <algorithm>
#include <cstring>

#include "mp/io_result.hpp"

namespace ostrak {

namespace {

constexpr char EndOfFileByte = 0x1A;

}  // namespace

void LineReader::Start(platform::NativeHandle handle, std::size_t transferSize) {
  Stop();
  FHandle = handle;
  FTransferSize = transferSize;
  if (FCapacity < 2 * transferSize) {
    FBuffer = std::make_unique<char[]>(2 * transferSize + ScanPadding);
    FCapacity = 2 * transferSize;
  }
  FFindBreaks = ActiveLineBreakFinder();
}

void LineReader::Stop() noexcept {
  FHandle = platform::NoHandle;
  FPosition = FEnd = FScanned = 0;
  FBreakNext = FBreakCount = 0;
  FInputEnded = false;
  FEndedWithCrLf = false;
  FHold = NoHold;
  FHeldMovedBy = 0;
}

bool LineReader::ReadLineSlowly(std::string_view& line, std::ptrdiff_t& heldMovedBy) {
  const bool got = !AtEnd();
  if (got) line = TakeLineSlowly();
  heldMovedBy = FHeldMovedBy;
  FHeldMovedBy = 0;
  return got;
}

std::string_view LineReader::TakeLineSlowly() {
  LineText text;
  for (;;) {
    if (FBreakNext == FBreakCount && !FindMoreBreaks()) {
      // No break in the bytes read so far: they all belong to the line.
      if (ReadMore()) continue;
      return EndLine(text, FEnd - FPosition, FEnd - FPosition, false);  // the input ends inside it
    }
    const std::size_t at = FBreakBase + FBreaks[FBreakNext++] - FPosition;
    const char* const line = FBuffer.get() + FPosition;
    if (line[at] == '\n') {
      const bool crLf = CrBefore(FPosition + at, FPosition + text.From);
      return EndLine(text, at - crLf, at + 1, crLf);
    }
    if (FPosition + at + 1 < FEnd) {
      // A CR whose next byte is read: with an LF (beyond the bytes the last
      // scan looked at) it ends the line, otherwise it is dropped.
      if (line[at + 1] == '\n') return EndLine(text, at, at + 2, true);
      text.DropByteAt(FBuffer.get() + FPosition, at);
      continue;
    }
    // A CR that is the last byte read so far: the next byte decides, so it
    // is looked at again with the bytes after it.
    text.TakeUpTo(FBuffer.get() + FPosition, at);
    FBreakNext = FBreakCount = 0;
    FScanned = FPosition + at;
    if (!ReadMore()) return EndLine(text, at, at + 1, false);  // the input ends: the CR is dropped
  }
}

std::string_view LineReader::EndLine(LineText& text, std::size_t textEnd, std::size_t next, bool crLf) noexcept {
  text.TakeUpTo(FBuffer.get() + FPosition, textEnd);
  const std::string_view line{FBuffer.get() + FPosition, text.Kept};
  // The terminator follows the text only where no dropped CR moved it.
  FEndedWithCrLf = crLf && text.Kept == text.From;
  FPosition += next;
  FScanned = std::max(FScanned, FPosition);
  return line;
}

bool LineReader::FindMoreBreaks() noexcept {
  // A look ahead of a few thousand lines at most: the breaks are taken while
  // their bytes are still in the processor's cache.
  constexpr std::size_t MostAhead = 64 * 1024;
  while (FScanned < FEnd) {
    const char* const from = FBuffer.get() + FScanned;
    const BreakBatch batch =
        FindBreakBatch(FFindBreaks, from, from + std::min(FEnd - FScanned, MostAhead), FBreaks, BreakBatchSize);
    FBreakBase = FScanned;
    FBreakNext = 0;
    FBreakCount = static_cast<std::uint32_t>(batch.Count);
    FScanned += batch.Next;
    if (FBreakCount > 0) return true;
  }
  return false;
}

bool LineReader::ReadMore() {
  if (FInputEnded) return false;
  MakeRoom();
  std::size_t count = 0;
  if (const std::int32_t code = platform::ReadFile(FHandle, FBuffer.get() + FEnd, FCapacity - FEnd, count)) {
    // A failed read is not the end: the next read asks the system again.
    SetInOutResult(code);
    return false;
  }
  if (count == 0) {
    FInputEnded = true;
    return false;
  }
  // Nothing from a Ctrl-Z byte on is input.
  if (const void* stop = std::memchr(FBuffer.get() + FEnd, EndOfFileByte, count)) {
    count = static_cast<std::size_t>(static_cast<const char*>(stop) - (FBuffer.get() + FEnd));
    FInputEnded = true;
  }
  FEnd += count;
  return count > 0;
}

// Makes room for a read of FTransferSize bytes behind the bytes to keep: the
// unread ones and the held ones. No break is pending here: every caller has
// taken or dropped those it found.
void LineReader::MakeRoom() {
  const std::uintptr_t before = reinterpret_cast<std::uintptr_t>(FBuffer.get());
  const std::size_t first = std::min(FPosition, FHold);
  // Held bytes are moved only when the room behind them runs short: most
  // sections end long before the buffer does.
  std::size_t moved = 0;
  if (first > 0 && (FHold == NoHold || FCapacity - FEnd < FTransferSize)) {
    std::memmove(FBuffer.get(), FBuffer.get() + first, FEnd - first);
    moved = first;
    FEnd -= moved;
    FPosition -= moved;
    FScanned -= moved;
    if (FHold != NoHold) FHold -= moved;
  }
  // A line or held section longer than a transfer grows the buffer,
  // geometrically so that it is not copied over and over; memory follows the
  // longest line and the largest section, never the size of the file.
  if (FCapacity - FEnd < FTransferSize) {
    const std::size_t capacity = std::max(FEnd + 2 * FTransferSize, 2 * FCapacity);
    auto grown = std::make_unique<char[]>(capacity + ScanPadding);
    std::memcpy(grown.get(), FBuffer.get(), FEnd);
    FBuffer = std::move(grown);
    FCapacity = capacity;
  }
  // Only addresses are computed with: the old bytes may be gone.
  if (FHold != NoHold) {
    FHeldMovedBy += static_cast<std::ptrdiff_t>(reinterpret_cast<std::uintptr_t>(FBuffer.get()) - moved - before);
  }
}

}  // namespace ostrak
