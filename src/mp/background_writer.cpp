#include "mp/background_writer.hpp"

namespace ostrak {

BackgroundWriter::BackgroundWriter(platform::NativeHandle handle)
    : FHandle(handle), FThread(&BackgroundWriter::WriteHandedOver, this) {}

BackgroundWriter::~BackgroundWriter() {
  {
    std::unique_lock lock(FLock);
    FChanged.wait(lock, [this] { return !FBusy; });
    FStopping = true;
  }
  FChanged.notify_all();
  FThread.join();
}

std::int32_t BackgroundWriter::Finish() {
  std::unique_lock lock(FLock);
  FChanged.wait(lock, [this] { return !FBusy; });
  return FFailure;
}

void BackgroundWriter::HandOver(const char* data, std::size_t count) {
  {
    std::lock_guard lock(FLock);
    FData = data;
    FCount = count;
    FBusy = true;
  }
  FChanged.notify_all();
}

void BackgroundWriter::WriteHandedOver() {
  std::unique_lock lock(FLock);
  for (;;) {
    FChanged.wait(lock, [this] { return FBusy || FStopping; });
    if (!FBusy) return;
    // After a failure the output must end with the blocks handed over before
    // it, as it would had every write been made at once.
    if (FFailure == 0) {
      lock.unlock();
      const std::int32_t code = platform::WriteFile(FHandle, FData, FCount);
      lock.lock();
      FFailure = code;
    }
    FBusy = false;
    FChanged.notify_all();
  }
}

}  // namespace ostrak
