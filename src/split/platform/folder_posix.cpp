// POSIX folder calls, with errno values mapped onto the I/O error codes.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "mp/platform/errno_codes.hpp"
#include "split/platform/folder.hpp"

namespace ostrak::split::platform {

PathKind KindOf(const char* name) {
  struct stat info {};
  if (::stat(name, &info) != 0) return PathKind::Missing;
  if (S_ISREG(info.st_mode)) return PathKind::RegularFile;
  if (S_ISDIR(info.st_mode)) return PathKind::Folder;
  return PathKind::Other;
}

std::int32_t CreateFolder(const char* name) {
  if (::mkdir(name, 0777) == 0) return 0;
  const int error = errno;
  if (error == EEXIST && KindOf(name) == PathKind::Folder) return 0;
  return ostrak::platform::IoCodeOfErrno(error);
}

std::int32_t RenameReplacing(const char* from, const char* to) {
  return std::rename(from, to) == 0 ? 0 : ostrak::platform::IoCodeOfErrno(errno);
}

std::int32_t RemoveFile(const char* name) {
  if (::unlink(name) == 0 || errno == ENOENT) return 0;
  return ostrak::platform::IoCodeOfErrno(errno);
}

bool SameFile(const char* first, const char* second) {
  struct stat a {}, b {};
  return ::stat(first, &a) == 0 && ::stat(second, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::int32_t FileSize(const char* name, std::uint64_t& size) {
  struct stat info {};
  if (::stat(name, &info) != 0) return ostrak::platform::IoCodeOfErrno(errno);
  size = static_cast<std::uint64_t>(info.st_size);
  return 0;
}

}  // namespace ostrak::split::platform
