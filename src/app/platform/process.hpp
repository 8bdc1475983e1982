// Process-level calls of the failure report. One implementation per platform
// (process_*.cpp with modules_*.cpp and fault_handler_*.cpp, for posix and
// win32).
#pragma once

#include <cstddef>
#include <cstdint>

namespace ostrak::platform {

// Makes the process ready to report any failure: records where its modules
// lie, turns processor faults into failure reports and makes a write to a
// closed pipe an ordinary write error. Runs before the program's own work.
void PrepareFailureHandling() noexcept;

struct CodeLocation {
  const char* ModuleName;  // file name of the module, without its folder
  std::uintptr_t Offset;   // from the start of that module
};

// The module holding a code address and the address's offset in it. An
// address in no module is reported against the program's own file, less
// 0x1000. Uses neither the heap nor locks, so a fault handler may call it.
CodeLocation LocateCode(const void* address) noexcept;

// Offers an error that left the program's work to the system before it is
// reported. Returns when the program is to report it; when a debugger takes
// it over instead, the error is handed to the system and this does not
// return, so no report is written. Where the system has no such say, it
// returns at once.
void OfferFailureToSystem(const void* location) noexcept;

// Writes to standard error; the result is ignored. No heap, no locks.
void WriteStandardError(const char* data, std::size_t count) noexcept;

// Ends the process with its exit status. After a failure (status 1) nothing
// of the program runs any more, not even the destruction of static objects.
[[noreturn]] void EndProcess(int status) noexcept;

// Records the modules of the process (called by PrepareFailureHandling).
void RecordModules() noexcept;
// Turns processor faults into failure reports (called by PrepareFailureHandling).
void InstallFaultHandlers() noexcept;

}  // namespace ostrak::platform
