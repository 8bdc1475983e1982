#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "app/platform/process.hpp"

namespace ostrak::platform {

void PrepareFailureHandling() noexcept {
  RecordModules();
  InstallFaultHandlers();
  // A reader that went away makes a write fail with EPIPE, which is reported
  // like any other write error, instead of killing the process silently.
  std::signal(SIGPIPE, SIG_IGN);
}

void WriteStandardError(const char* data, std::size_t count) noexcept {
  while (count > 0) {
    const ssize_t written = ::write(STDERR_FILENO, data, count);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    data += written;
    count -= static_cast<std::size_t>(written);
  }
}

void EndProcess(int status) noexcept {
  if (status == 0) std::exit(0);
  ::_exit(status);
}

}  // namespace ostrak::platform
