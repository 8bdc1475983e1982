// Windows folder calls. Error codes are GetLastError values, used unchanged.
#include <windows.h>

#include "split/platform/folder.hpp"

namespace ostrak::split::platform {

namespace {

std::int32_t LastError() { return static_cast<std::int32_t>(::GetLastError()); }

// Opens a name only to ask about it: no access to its contents, every sharing allowed.
HANDLE OpenToQuery(const char* name) {
  return ::CreateFileA(name, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

PathKind KindOf(const char* name) {
  const DWORD attributes = ::GetFileAttributesA(name);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return PathKind::Folder;
  const HANDLE file = OpenToQuery(name);
  if (file == INVALID_HANDLE_VALUE) return attributes == INVALID_FILE_ATTRIBUTES ? PathKind::Missing : PathKind::Other;
  const DWORD type = ::GetFileType(file);
  ::CloseHandle(file);
  return type == FILE_TYPE_DISK ? PathKind::RegularFile : PathKind::Other;
}

std::int32_t CreateFolder(const char* name) {
  if (::CreateDirectoryA(name, nullptr)) return 0;
  const std::int32_t error = LastError();
  if (error == ERROR_ALREADY_EXISTS && KindOf(name) == PathKind::Folder) return 0;
  return error;
}

std::int32_t RenameReplacing(const char* from, const char* to) {
  return ::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) ? 0 : LastError();
}

std::int32_t RemoveFile(const char* name) {
  if (::DeleteFileA(name)) return 0;
  const std::int32_t error = LastError();
  return error == ERROR_FILE_NOT_FOUND ? 0 : error;
}

bool SameFile(const char* first, const char* second) {
  BY_HANDLE_FILE_INFORMATION info[2] = {};
  const char* names[2] = {first, second};
  for (int i = 0; i < 2; ++i) {
    const HANDLE file = OpenToQuery(names[i]);
    if (file == INVALID_HANDLE_VALUE) return false;
    const BOOL known = ::GetFileInformationByHandle(file, &info[i]);
    ::CloseHandle(file);
    if (!known) return false;
  }
  return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
         info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

std::int32_t FileSize(const char* name, std::uint64_t& size) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExA(name, GetFileExInfoStandard, &data)) return LastError();
  size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return 0;
}

}  // namespace ostrak::split::platform
