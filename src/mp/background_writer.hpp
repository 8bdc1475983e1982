// BackgroundWriter: writes the blocks an output hands over on a thread of its
// own, so that the program's work and the system's copying of the output
// overlap. One write is outstanding at a time: the output fills a second
// buffer meanwhile.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>

#include "mp/platform/file_system.hpp"

namespace ostrak {

class BackgroundWriter {
 public:
  explicit BackgroundWriter(platform::NativeHandle handle);
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;
  // Finishes the outstanding write, then ends the thread.
  ~BackgroundWriter();

  // Waits until the outstanding write is done. Returns the I/O error code of
  // the first write that failed, 0 while none has; after a failure nothing
  // more is written.
  std::int32_t Finish();
  // Hands count bytes over for writing; they must stay unchanged until Finish
  // returns. Only after Finish.
  void HandOver(const char* data, std::size_t count);

 private:
  void WriteHandedOver();

  platform::NativeHandle FHandle;
  std::mutex FLock;
  std::condition_variable FChanged;
  const char* FData = nullptr;  // the outstanding write, if any
  std::size_t FCount = 0;
  bool FBusy = false;
  bool FStopping = false;
  std::int32_t FFailure = 0;
  std::thread FThread;  // last: it starts once everything else is ready
};

}  // namespace ostrak
