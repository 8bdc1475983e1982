// BlockWriter: writes lines to an open output, each followed by CR LF.
//
// What reaches the output is measured in blocks of 128 bytes: bytes are handed
// to the system in whole blocks, gathered into large system calls, and the
// rest only by HandOverAll. Bytes of a partial block that is never handed over
// are lost, so a run that fails leaves an output that ends at a multiple of
// 128 bytes. A character device, such as a terminal, gets every line at once.
//
// Failures do not raise: a failed hand-over stores its I/O error code, and its
// bytes are gone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "mp/byte_copy.hpp"
#include "mp/platform/file_system.hpp"

namespace ostrak {

class BlockWriter {
 public:
  static constexpr std::size_t BlockSize = 128;

  BlockWriter() = default;
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;

  // Begins writing to handle, gathering bytes for system calls of about
  // transferSize bytes; eachLine: every line is handed over as it is written.
  void Start(platform::NativeHandle handle, bool eachLine, std::size_t transferSize);
  // Forgets the output and the bytes waiting for it.
  void Stop() noexcept;

  // Writes the line's bytes unchanged, then CR LF.
  void WriteLine(std::string_view line) {
    if (line.size() + 2 <= FGatherLimit - FEnd) [[likely]] {
      char* const out = FBuffer.get() + FEnd;
      CopyBytes(out, line.data(), line.size());
      out[line.size()] = '\r';
      out[line.size() + 1] = '\n';
      FEnd += line.size() + 2;
      return;
    }
    WriteLineSlowly(line);
  }
  // Writes bytes that hold whole lines, each already ending with CR LF, as
  // WriteLine would write those lines one after another.
  void WriteLines(std::string_view lines) {
    if (lines.size() <= FGatherLimit - FEnd) [[likely]] {
      CopyBytes(FBuffer.get() + FEnd, lines.data(), lines.size());
      FEnd += lines.size();
      return;
    }
    WriteLinesSlowly(lines);
  }

  // Hands every waiting byte to the system; false when that fails, with the
  // code pending.
  bool HandOverAll() noexcept;
  // Hands the whole blocks to the system and drops the rest, for an output
  // that is given up; a failure is not reported, the run has failed already.
  void HandOverBlocks() noexcept;

 private:
  // The bytes waiting in whole blocks.
  std::size_t WholeBlocks() const noexcept { return FEnd / BlockSize * BlockSize; }
  // Hands the first count waiting bytes to the system and moves the rest to
  // the front; returns the system's I/O error code (the bytes are gone either
  // way).
  std::int32_t Transfer(std::size_t count) noexcept;
  void Place(const char* data, std::size_t count);
  void WriteLineSlowly(std::string_view line);
  void WriteLinesSlowly(std::string_view lines);

  platform::NativeHandle FHandle = platform::NoHandle;
  bool FEachLine = false;
  std::unique_ptr<char[]> FBuffer;
  std::size_t FCapacity = 0;  // a multiple of BlockSize
  std::size_t FEnd = 0;       // the bytes waiting
  // How far WriteLine may fill the buffer without a system call: FCapacity
  // while lines are gathered, 0 while stopped or writing to a character
  // device, so that one comparison picks the common case.
  std::size_t FGatherLimit = 0;
};

}  // namespace ostrak
