#include "mp/line_file.hpp"

#include <algorithm>
#include <cstring>

#include "mp/io_result.hpp"

namespace ostrak {

namespace {

constexpr char EndOfFileByte = 0x1A;

// Codes for an operation on a file in the wrong state.
constexpr std::int32_t NotOpenForInput = 104;
constexpr std::int32_t NotOpenForOutput = 105;
constexpr std::int32_t NotOpen = 103;

constexpr std::size_t RoundUpToBlock(std::size_t size) {
  return std::max<std::size_t>(TLineFile::BlockSize,
                               (size + TLineFile::BlockSize - 1) / TLineFile::BlockSize * TLineFile::BlockSize);
}

}  // namespace

TLineFile& StdOut() {
  static TLineFile file{TLineFile::StdOutTag{}};
  return file;
}

TLineFile::TLineFile(std::size_t transferSize) noexcept : FTransferSize(std::max<std::size_t>(transferSize, 1)) {}

TLineFile::~TLineFile() {
  if (FState == State::Writing) WriteOut();
  Release();
}

void TLineFile::Release() noexcept {
  if (FHandle != platform::NoHandle && !FIsStdOut) platform::CloseFile(FHandle);
  FHandle = platform::NoHandle;
  FState = State::Closed;
}

void TLineFile::Bind(std::string_view name) {
  Release();
  FName.assign(name);
  FWriteAfterLine = false;
  FInputEnded = false;
  FPosition = FEnd = FHandedOver = 0;
  FHold = NoHold;
  ForgetBreaks();
}

void TLineFile::PrepareBuffer(std::size_t capacity) {
  if (FCapacity < capacity) {
    FBuffer = std::make_unique<char[]>(capacity + ScanPadding);
    FCapacity = capacity;
  }
  FPosition = FEnd = FHandedOver = 0;
  FHold = NoHold;
  FHeldMovedBy = 0;
  ForgetBreaks();
}

// A name is used whole or not at all: one holding a NUL byte would reach the
// system cut short.
bool TLineFile::NameIsUsable() const {
  if (FName.find('\0') == std::string::npos) return true;
  SetInOutResult(IoCode::InvalidName);
  return false;
}

void TLineFile::OpenRead() {
  Release();
  FInputEnded = false;
  FWriteAfterLine = false;
  if (!NameIsUsable()) return;
  if (const std::int32_t code = platform::OpenInputFile(FName.c_str(), FHandle)) {
    FHandle = platform::NoHandle;
    SetInOutResult(code);
    return;
  }
  PrepareBuffer(2 * FTransferSize);
  FFindBreaks = ActiveLineBreakFinder();
  FState = State::Reading;
}

void TLineFile::OpenWrite() {
  Release();
  FWriteAfterLine = false;
  if (!NameIsUsable()) return;
  if (const std::int32_t code = platform::OpenOutputFile(FName.c_str(), FHandle)) {
    FHandle = platform::NoHandle;
    SetInOutResult(code);
    return;
  }
  platform::OutputKind kind{};
  if (platform::QueryOutputKind(FHandle, kind) != 0) {
    Release();
    SetInOutResult(IoCode::UnknownOutput);
    return;
  }
  FWriteAfterLine = kind == platform::OutputKind::Character;
  PrepareBuffer(RoundUpToBlock(FTransferSize));
  FState = State::Writing;
}

// ---------------------------------------------------------------- reading

std::size_t TLineFile::MakeRoomForRead(std::size_t keep) {
  ForgetBreaks();
  const std::uintptr_t before = reinterpret_cast<std::uintptr_t>(FBuffer.get());
  const std::size_t first = std::min(keep, FHold);
  // Held bytes are moved only when the room behind them runs short: most
  // sections end long before the buffer does.
  std::size_t moved = 0;
  if (first > 0 && (FHold == NoHold || FCapacity - FEnd < FTransferSize)) {
    std::memmove(FBuffer.get(), FBuffer.get() + first, FEnd - first);
    FEnd -= first;
    moved = first;
    if (FHold != NoHold) FHold -= first;
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
  return moved;
}

bool TLineFile::Refill() {
  if (FInputEnded) return false;
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

bool TLineFile::FindMoreBreaks() noexcept {
  if (FState != State::Reading || FScanned >= FEnd) return false;
  // A look ahead of a few thousand lines at most: the breaks are taken while
  // their bytes are still in the processor's cache.
  constexpr std::size_t MostAhead = 64 * 1024;
  const std::size_t size = std::min(FEnd - FScanned, MostAhead);
  char* const from = FBuffer.get() + FScanned;
  FBreakBase = FScanned;
  FBreakNext = 0;
  FBreakCount = static_cast<std::uint32_t>(FFindBreaks(from, from + size, FBreaks, BreakBatch));
  FScanned = FBreakCount == BreakBatch ? FBreakBase + FBreaks[BreakBatch - 1] + 1 : FBreakBase + size;
  return FBreakCount > 0;
}

bool TLineFile::ReadLineSlowly(std::string_view& line, std::ptrdiff_t& heldMovedBy) {
  const bool got = !AtEnd();
  if (got) line = ReadTextLineSlowly();
  heldMovedBy = FHeldMovedBy;
  FHeldMovedBy = 0;
  return got;
}

bool TLineFile::AtEndAfterRefill() {
  if (FState != State::Reading) {
    SetInOutResult(NotOpenForInput);
    return true;
  }
  if (FPosition < FEnd) return false;
  FPosition -= MakeRoomForRead(FEnd);
  return !Refill();
}

// The general case: a line that runs past the bytes read so far, holds a CR of
// its own, or ends the input.
std::string_view TLineFile::ReadTextLineSlowly() {
  if (FState != State::Reading) {
    SetInOutResult(NotOpenForInput);
    return {};
  }
  // [start, kept) is the line so far; a dropped CR makes the later bytes move
  // down onto it. scan is the next byte not yet looked at.
  std::size_t start = FPosition;
  std::size_t kept = start;
  std::size_t scan = start;
  // Whether the line is followed by CR LF in the buffer, looked at when it is
  // handed out: a dropped CR may have moved its bytes away from its
  // terminator, and the breaks found before are looked for again.
  const auto line = [&]() -> std::string_view {
    FEndedWithCrLf = kept + 2 <= FEnd && FBuffer[kept] == '\r' && FBuffer[kept + 1] == '\n';
    ForgetBreaks();
    return {FBuffer.get() + start, kept - start};
  };
  for (;;) {
    char* const buffer = FBuffer.get();
    const std::size_t at = static_cast<std::size_t>(FindLineBreak(buffer + scan, buffer + FEnd) - buffer);
    if (kept != scan) std::memmove(buffer + kept, buffer + scan, at - scan);
    kept += at - scan;
    scan = at;
    if (at < FEnd) {
      if (buffer[at] == '\n') {
        FPosition = at + 1;
        return line();
      }
      if (at + 1 < FEnd) {
        if (buffer[at + 1] == '\n') {
          FPosition = at + 2;
          return line();
        }
        scan = at + 1;  // a CR on its own is dropped
        continue;
      }
      // A CR is the last byte read so far: the next byte decides.
    }
    const std::size_t moved = MakeRoomForRead(start);
    start -= moved;
    kept -= moved;
    scan -= moved;
    if (!Refill()) {
      // The input ends inside the line: the line ends here, and a CR that
      // would have been its last byte is dropped.
      FPosition = FEnd;
      return line();
    }
  }
}

// ---------------------------------------------------------------- writing

bool TLineFile::ReadyToWrite() {
  if (FState == State::Writing) return true;
  if (!FIsStdOut || FState != State::Closed) {
    SetInOutResult(NotOpenForOutput);
    return false;
  }
  platform::OutputKind kind{};
  if (platform::StandardOutput(FHandle) != 0 || platform::QueryOutputKind(FHandle, kind) != 0) {
    FHandle = platform::NoHandle;
    SetInOutResult(IoCode::UnknownOutput);
    return false;
  }
  FWriteAfterLine = kind == platform::OutputKind::Character;
  PrepareBuffer(RoundUpToBlock(FTransferSize));
  FState = State::Writing;
  return true;
}

std::int32_t TLineFile::WriteOut() noexcept {
  std::int32_t code = 0;
  if (FHandedOver > 0) {
    code = platform::WriteFile(FHandle, FBuffer.get(), FHandedOver);
    std::memmove(FBuffer.get(), FBuffer.get() + FHandedOver, FEnd - FHandedOver);
    FEnd -= FHandedOver;
    FHandedOver = 0;
  }
  return code;
}

void TLineFile::Place(const char* data, std::size_t count) {
  while (count > 0) {
    if (FEnd == FCapacity) {
      // The buffer is full of whole blocks but for less than one block.
      if (const std::int32_t code = WriteOut()) SetInOutResult(code);
    }
    const std::size_t chunk = std::min(count, FCapacity - FEnd);
    std::memcpy(FBuffer.get() + FEnd, data, chunk);
    FEnd += chunk;
    data += chunk;
    count -= chunk;
    FHandedOver = FEnd - (FEnd - FHandedOver) % BlockSize;
  }
}

void TLineFile::WriteTextLineSlowly(std::string_view line) {
  if (!ReadyToWrite()) return;
  Place(line.data(), line.size());
  Place("\r\n", 2);
  if (FWriteAfterLine) HandOverAll();
}

void TLineFile::WriteTextLinesSlowly(std::string_view lines) {
  if (!ReadyToWrite()) return;
  if (!FWriteAfterLine) {
    Place(lines.data(), lines.size());
    return;
  }
  // A character device gets every line as it is written.
  while (!lines.empty()) {
    const std::size_t length = std::min(lines.find('\n'), lines.size() - 1) + 1;
    Place(lines.data(), length);
    HandOverAll();
    lines.remove_prefix(length);
  }
}

void TLineFile::HandOverAll() {
  FHandedOver = FEnd;
  if (const std::int32_t code = WriteOut()) SetInOutResult(code);
}

void TLineFile::FlushText() {
  if (FState == State::Writing) HandOverAll();
}

void TLineFile::CloseText() {
  if (FState == State::Closed) {
    if (!FIsStdOut) SetInOutResult(NotOpen);
    return;
  }
  if (FState == State::Writing) {
    FHandedOver = FEnd;
    if (const std::int32_t code = WriteOut()) {
      // A failed hand-over leaves the file open for writing.
      SetInOutResult(code);
      return;
    }
  }
  if (FIsStdOut) return;
  const platform::NativeHandle handle = FHandle;
  FHandle = platform::NoHandle;
  FState = State::Closed;
  if (const std::int32_t code = platform::CloseFile(handle)) SetInOutResult(code);
}

}  // namespace ostrak
