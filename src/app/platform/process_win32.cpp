#include <windows.h>

#include "app/platform/process.hpp"

namespace ostrak::platform {

void PrepareFailureHandling() noexcept {
  // A console program reports its failures on standard error: the system
  // shows no window for a missing disk, a file it cannot open or a crash.
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  RecordModules();
  InstallFaultHandlers();
}

void WriteStandardError(const char* data, std::size_t count) noexcept {
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), data, static_cast<DWORD>(count), &written, nullptr);
}

void EndProcess(int status) noexcept { ::ExitProcess(static_cast<UINT>(status)); }

}  // namespace ostrak::platform
