// The end of a run: one failure report on standard error and exit status 1
// after a failure, exit status 0 otherwise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "mp/errors.hpp"

namespace ostrak {

// A processor fault turned into an error object of its own class.
class EProcessorFault : public Exception {
 public:
  EProcessorFault(const char* className, std::string_view message, const void* location) noexcept
      : Exception(message, location), FClassName(className) {}
  const char* ClassName() const noexcept override { return FClassName; }

 private:
  const char* FClassName;
};

struct FailureReport {
  static constexpr std::size_t Capacity = 1024;  // the text is at most 1023 bytes
  char Text[Capacity];                           // followed by a NUL byte
  std::size_t Length;
};

// "Exception <class> in module <module> at <offset>.\r\n<message>.\r\n": the
// offset in at least 8 upper-case hexadecimal digits; the full stop after the
// message only when it is not empty and does not end with one already.
void FormatFailureText(std::string_view className, std::string_view moduleName, std::uintptr_t offset,
                       std::string_view message, FailureReport& report) noexcept;

// The report of an error raised at a code location.
void FormatFailureReport(const Exception& error, const void* location, FailureReport& report) noexcept;

// Hands waiting standard output to the system, then writes the report and an
// empty line to standard error.
void ShowFailureReport(const Exception& error, const void* location) noexcept;

// Reports the failure and ends the process with exit status 1. Uses neither
// the heap nor locks, so a fault handler may call it.
[[noreturn]] void EndRunWithFailure(const Exception& error, const void* location) noexcept;

// The top-level handler of an error that left the program's work: offers it
// to the system first, which lets a debugger take it over (then nothing is
// reported), and otherwise ends the run with EndRunWithFailure.
[[noreturn]] void HandleUncaughtFailure(const Exception& error, const void* location) noexcept;

// Ends a run that succeeded: standard output is handed over, exit status 0.
[[noreturn]] void EndRun() noexcept;

// Makes the process ready to report every failure, memory exhaustion and
// processor faults included. Called first thing.
void PrepareFailureReporting() noexcept;

// The error that stands for memory exhaustion, made before the run starts, and
// the place in the program's own allocation-failure handler where memory last ran out.
const EOutOfMemory& OutOfMemoryError() noexcept;
const void* AllocationFailureLocation() noexcept;

}  // namespace ostrak
