// Windows file calls. Error codes are GetLastError values, used unchanged:
// they are the numbers that CheckIO's message table speaks.
//
// A file opened for reading lets others only read it (FILE_SHARE_READ), and
// an output asks to write: so the output can never be the run's own input,
// whatever name it is given by, and that open fails with a sharing violation
// (32) before the file is touched.
#include <windows.h>

#include <algorithm>

#include "mp/io_result.hpp"
#include "mp/platform/file_system.hpp"

namespace ostrak::platform {

namespace {

HANDLE AsHandle(NativeHandle handle) { return reinterpret_cast<HANDLE>(handle); }

std::int32_t LastError() { return static_cast<std::int32_t>(::GetLastError()); }

// The largest count one ReadFile or WriteFile takes.
constexpr std::size_t MaxTransfer = 0x7FFFF000;

std::int32_t Open(const char* name, DWORD access, DWORD disposition, NativeHandle& handle) {
  const HANDLE file =
      ::CreateFileA(name, access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return LastError();
  handle = reinterpret_cast<NativeHandle>(file);
  return 0;
}

}  // namespace

std::int32_t OpenInputFile(const char* name, NativeHandle& handle) {
  return Open(name, GENERIC_READ, OPEN_EXISTING, handle);
}

std::int32_t OpenOutputFile(const char* name, NativeHandle& handle) {
  return Open(name, GENERIC_WRITE, CREATE_ALWAYS, handle);
}

std::int32_t StandardOutput(NativeHandle& handle) {
  const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == INVALID_HANDLE_VALUE || output == nullptr) return IoCode::UnknownOutput;
  handle = reinterpret_cast<NativeHandle>(output);
  return 0;
}

std::int32_t QueryOutputKind(NativeHandle handle, OutputKind& kind) {
  switch (::GetFileType(AsHandle(handle))) {
    case FILE_TYPE_UNKNOWN: return IoCode::UnknownOutput;
    case FILE_TYPE_CHAR: kind = OutputKind::Character; return 0;
    default: kind = OutputKind::Other; return 0;
  }
}

std::int32_t ReadFile(NativeHandle handle, char* buffer, std::size_t capacity, std::size_t& count) {
  count = 0;
  DWORD got = 0;
  if (!::ReadFile(AsHandle(handle), buffer, static_cast<DWORD>(std::min(capacity, MaxTransfer)), &got, nullptr)) {
    const std::int32_t code = LastError();
    // The writer of a pipe has gone: that is the end of the data.
    return code == ERROR_BROKEN_PIPE ? 0 : code;
  }
  count = got;
  return 0;
}

std::int32_t WriteFile(NativeHandle handle, const char* data, std::size_t count) {
  // WriteFile may take fewer bytes than it is given (a pipe, a console):
  // the rest follows until everything is written or the system fails.
  while (count > 0) {
    DWORD written = 0;
    if (!::WriteFile(AsHandle(handle), data, static_cast<DWORD>(std::min(count, MaxTransfer)), &written, nullptr)) {
      return LastError();
    }
    // A write that makes no progress without an error is a full device.
    if (written == 0) return IoCode::DiskFull;
    data += written;
    count -= written;
  }
  return 0;
}

std::int32_t CloseFile(NativeHandle handle) {
  if (!::CloseHandle(AsHandle(handle))) return LastError();
  return 0;
}

}  // namespace ostrak::platform
