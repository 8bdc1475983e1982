#include "mp/block_writer.hpp"

#include <algorithm>
#include <cstring>

#include "mp/io_result.hpp"

namespace ostrak {

void BlockWriter::Start(platform::NativeHandle handle, bool eachLine, std::size_t transferSize) {
  const std::size_t capacity = std::max<std::size_t>(BlockSize, (transferSize + BlockSize - 1) / BlockSize * BlockSize);
  if (FCapacity < capacity) {
    FBuffer = std::make_unique<char[]>(capacity);
    FCapacity = capacity;
  }
  FHandle = handle;
  FEachLine = eachLine;
  FEnd = 0;
  FGatherLimit = eachLine ? 0 : FCapacity;
}

void BlockWriter::Stop() noexcept {
  FHandle = platform::NoHandle;
  FEnd = 0;
  FGatherLimit = 0;
}

std::int32_t BlockWriter::Transfer(std::size_t count) noexcept {
  if (count == 0) return 0;
  const std::int32_t code = platform::WriteFile(FHandle, FBuffer.get(), count);
  std::memmove(FBuffer.get(), FBuffer.get() + count, FEnd - count);
  FEnd -= count;
  return code;
}

bool BlockWriter::HandOverAll() noexcept {
  const std::int32_t code = Transfer(FEnd);
  if (code != 0) SetInOutResult(code);
  return code == 0;
}

void BlockWriter::HandOverBlocks() noexcept {
  if (FHandle != platform::NoHandle) Transfer(WholeBlocks());
  FEnd = 0;
}

void BlockWriter::Place(const char* data, std::size_t count) {
  while (count > 0) {
    // A full buffer holds whole blocks only: its capacity is a multiple of them.
    if (FEnd == FCapacity) {
      if (const std::int32_t code = Transfer(FCapacity)) SetInOutResult(code);
    }
    const std::size_t chunk = std::min(count, FCapacity - FEnd);
    std::memcpy(FBuffer.get() + FEnd, data, chunk);
    FEnd += chunk;
    data += chunk;
    count -= chunk;
  }
}

void BlockWriter::WriteLineSlowly(std::string_view line) {
  Place(line.data(), line.size());
  Place("\r\n", 2);
  if (FEachLine) HandOverAll();
}

void BlockWriter::WriteLinesSlowly(std::string_view lines) {
  if (!FEachLine) {
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

}  // namespace ostrak
