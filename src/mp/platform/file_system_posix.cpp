// POSIX file calls, with errno values mapped onto the I/O error codes.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "mp/io_result.hpp"
#include "mp/platform/errno_codes.hpp"
#include "mp/platform/file_system.hpp"

namespace ostrak::platform {

namespace {

// Files this process has open for reading, so that an output can never be one
// of them: the stand-in for a sharing mode that lets others only read.
struct ReadingFile {
  int Descriptor;
  dev_t Device;
  ino_t Inode;
};
std::vector<ReadingFile>& FilesOpenForReading() {
  static std::vector<ReadingFile> files;
  return files;
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The folder part of a name: everything before its last slash, or "." when
// the name has none.
std::string FolderOf(const char* name) {
  const std::string path(name);
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A missing name is "file not found" when its folder exists and "invalid
// filename" when a folder on the path is missing.
std::int32_t CodeForOpenErrno(int error, const char* name) {
  if (error == ENOENT && !IsDirectory(FolderOf(name))) return IoCode::PathNotFound;
  return IoCodeOfErrno(error);
}

int OpenRetrying(const char* name, int flags, mode_t mode = 0) {
  int descriptor;
  do {
    descriptor = ::open(name, flags, mode);
  } while (descriptor < 0 && errno == EINTR);
  return descriptor;
}

// Waits until a descriptor left in non-blocking mode by another program is ready.
void WaitUntilReady(int descriptor, short events) {
  pollfd request{descriptor, events, 0};
  while (::poll(&request, 1, -1) < 0 && errno == EINTR) {
  }
}

}  // namespace

std::int32_t IoCodeOfErrno(int error) {
  switch (error) {
    case ENOENT: return IoCode::FileNotFound;
    case ENOTDIR: return IoCode::PathNotFound;
    case EMFILE:
    case ENFILE: return IoCode::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST: return IoCode::AccessDenied;
    case EPIPE: return IoCode::BrokenPipe;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return IoCode::DiskFull;
    case EIO: return IoCode::DeviceError;
    default: return error;
  }
}

std::int32_t OpenInputFile(const char* name, NativeHandle& handle) {
  const int descriptor = OpenRetrying(name, O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (descriptor < 0) return CodeForOpenErrno(errno, name);
  struct stat info {};
  if (::fstat(descriptor, &info) != 0) {
    const int error = errno;
    ::close(descriptor);
    return IoCodeOfErrno(error);
  }
  if (S_ISDIR(info.st_mode)) {
    ::close(descriptor);
    return IoCode::AccessDenied;
  }
  FilesOpenForReading().push_back({descriptor, info.st_dev, info.st_ino});
  handle = descriptor;
  return 0;
}

std::int32_t OpenOutputFile(const char* name, NativeHandle& handle) {
  // Opened without truncation first: the file may turn out to be the input.
  const int descriptor = OpenRetrying(name, O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
  if (descriptor < 0) return CodeForOpenErrno(errno, name);
  struct stat info {};
  if (::fstat(descriptor, &info) != 0) {
    ::close(descriptor);
    return IoCode::UnknownOutput;
  }
  for (const ReadingFile& input : FilesOpenForReading()) {
    if (input.Device == info.st_dev && input.Inode == info.st_ino) {
      ::close(descriptor);
      return IoCode::SharingViolation;
    }
  }
  // Only a regular file can be emptied; a pipe or a device is written as it is.
  if (S_ISREG(info.st_mode)) {
    int result;
    do {
      result = ::ftruncate(descriptor, 0);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
      const int error = errno;
      ::close(descriptor);
      return IoCodeOfErrno(error);
    }
  }
  handle = descriptor;
  return 0;
}

std::int32_t StandardOutput(NativeHandle& handle) {
  struct stat info {};
  if (::fstat(STDOUT_FILENO, &info) != 0) return IoCode::UnknownOutput;
  handle = STDOUT_FILENO;
  return 0;
}

std::int32_t QueryOutputKind(NativeHandle handle, OutputKind& kind) {
  struct stat info {};
  if (::fstat(static_cast<int>(handle), &info) != 0) return IoCode::UnknownOutput;
  kind = S_ISCHR(info.st_mode) ? OutputKind::Character : OutputKind::Other;
  return 0;
}

std::int32_t ReadFile(NativeHandle handle, char* buffer, std::size_t capacity, std::size_t& count) {
  count = 0;
  for (;;) {
    const ssize_t got = ::read(static_cast<int>(handle), buffer, capacity);
    if (got >= 0) {
      count = static_cast<std::size_t>(got);
      return 0;
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      WaitUntilReady(static_cast<int>(handle), POLLIN);
      continue;
    }
    return IoCodeOfErrno(errno);
  }
}

std::int32_t WriteFile(NativeHandle handle, const char* data, std::size_t count) {
  while (count > 0) {
    const ssize_t written = ::write(static_cast<int>(handle), data, count);
    if (written > 0) {
      data += written;
      count -= static_cast<std::size_t>(written);
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      WaitUntilReady(static_cast<int>(handle), POLLOUT);
      continue;
    }
    // A write that makes no progress without an error is a full device.
    return written == 0 ? IoCode::DiskFull : IoCodeOfErrno(errno);
  }
  return 0;
}

std::int32_t CloseFile(NativeHandle handle) {
  const int descriptor = static_cast<int>(handle);
  std::vector<ReadingFile>& reading = FilesOpenForReading();
  std::erase_if(reading, [descriptor](const ReadingFile& file) { return file.Descriptor == descriptor; });
  // The descriptor is released even when close reports an error; EINTR is
  // therefore not retried.
  if (::close(descriptor) != 0 && errno != EINTR) return IoCodeOfErrno(errno);
  return 0;
}

}  // namespace ostrak::platform
