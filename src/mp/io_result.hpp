// The pending I/O error code and CheckIO.
//
// A file operation never raises by itself: when it fails it stores its I/O
// error code and returns normally. The caller runs CheckIO right after it,
// which takes the code and raises EInOutError at the place of the call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ostrak {

// I/O error codes with a meaning of their own in this program.
namespace IoCode {
inline constexpr std::int32_t FileNotFound = 2;
inline constexpr std::int32_t PathNotFound = 3;       // "Invalid filename"
inline constexpr std::int32_t TooManyOpenFiles = 4;
inline constexpr std::int32_t AccessDenied = 5;
inline constexpr std::int32_t SharingViolation = 32;  // output is the input
inline constexpr std::int32_t ReadBeyondEnd = 100;    // input ended inside a section
inline constexpr std::int32_t FileNotOpen = 103;      // a file closed that was not open
inline constexpr std::int32_t NotOpenForInput = 104;  // a read from a file not open for reading
inline constexpr std::int32_t NotOpenForOutput = 105; // a write to a file not open for writing
inline constexpr std::int32_t UnknownOutput = 105;    // output of unknown kind, or no standard output
inline constexpr std::int32_t BrokenPipe = 109;
inline constexpr std::int32_t DiskFull = 112;
inline constexpr std::int32_t InvalidName = 123;      // a name the file system cannot take
inline constexpr std::int32_t DeviceError = 1117;
}  // namespace IoCode

namespace detail {
// One per thread; 0 while nothing has failed.
extern constinit thread_local std::int32_t PendingInOutCode;
}  // namespace detail

// Stores code as the pending I/O error code (a later failure replaces an earlier one).
inline void SetInOutResult(std::int32_t code) noexcept { detail::PendingInOutCode = code; }

// Takes the pending code and resets it to 0, for the few places where a
// failure is deliberately not reported (the last flush of standard output).
inline std::int32_t TakeInOutResult() noexcept {
  const std::int32_t code = detail::PendingInOutCode;
  detail::PendingInOutCode = 0;
  return code;
}

// Takes the pending code and raises EInOutError; the error's location is the
// return address of this call, which lies right after the CheckIO that called it.
[[noreturn]] void RaiseInOutError();

// Raises EInOutError if a file operation has left an I/O error code. Always
// inlined, so that the raise call, and with it the error's location, lies in
// the code that checks.
[[gnu::always_inline]] inline void CheckIO() {
  if (detail::PendingInOutCode != 0) [[unlikely]] RaiseInOutError();
}

// The message of an I/O error code: a fixed text for the codes that have one,
// otherwise "I/O error <code>". Built in place, without the heap.
struct InOutMessage {
  char Text[32];
  std::size_t Length;
  std::string_view View() const noexcept { return {Text, Length}; }
};
InOutMessage InOutErrorMessage(std::int32_t code) noexcept;

}  // namespace ostrak
