#include "mp/line_file.hpp"

#include <algorithm>

namespace ostrak {

TLineFile& StdOut() {
  static TLineFile file{TLineFile::StdOutTag{}};
  return file;
}

TLineFile::TLineFile(std::size_t transferSize) noexcept : FTransferSize(std::max<std::size_t>(transferSize, 1)) {}

TLineFile::~TLineFile() {
  if (FState == State::Writing) FWriter.HandOverBlocks();
  Release();
}

void TLineFile::Release() noexcept {
  if (FHandle != platform::NoHandle && !FIsStdOut) platform::CloseFile(FHandle);
  FHandle = platform::NoHandle;
  FState = State::Closed;
  FReader.Stop();
  FWriter.Stop();
}

void TLineFile::Bind(std::string_view name) {
  Release();
  FName.assign(name);
}

bool TLineFile::OpenHandle(PlatformOpen open) {
  Release();
  // A name is used whole or not at all: one holding a NUL byte would reach
  // the system cut short.
  if (FName.find('\0') != std::string::npos) {
    SetInOutResult(IoCode::InvalidName);
    return false;
  }
  if (const std::int32_t code = open(FName.c_str(), FHandle)) {
    FHandle = platform::NoHandle;
    SetInOutResult(code);
    return false;
  }
  return true;
}

void TLineFile::OpenRead() {
  if (!OpenHandle(platform::OpenInputFile)) return;
  FReader.Start(FHandle, FTransferSize);
  FState = State::Reading;
}

void TLineFile::OpenWrite() {
  if (OpenHandle(platform::OpenOutputFile)) StartWriting();
}

bool TLineFile::StartStdOut() {
  if (!FIsStdOut || FState != State::Closed) {
    SetInOutResult(IoCode::NotOpenForOutput);
    return false;
  }
  if (platform::StandardOutput(FHandle) != 0) {
    FHandle = platform::NoHandle;
    SetInOutResult(IoCode::UnknownOutput);
    return false;
  }
  return StartWriting();
}

bool TLineFile::StartWriting() {
  platform::OutputKind kind{};
  if (platform::QueryOutputKind(FHandle, kind) != 0) {
    Release();
    SetInOutResult(IoCode::UnknownOutput);
    return false;
  }
  FWriter.Start(FHandle, kind == platform::OutputKind::Character, FTransferSize);
  FState = State::Writing;
  return true;
}

void TLineFile::NotReading() noexcept { SetInOutResult(IoCode::NotOpenForInput); }

void TLineFile::FlushText() {
  if (FState == State::Writing) FWriter.HandOverAll();
}

void TLineFile::CloseText() {
  if (FState == State::Closed) {
    if (!FIsStdOut) SetInOutResult(IoCode::FileNotOpen);
    return;
  }
  // A failed hand-over leaves the file open for writing.
  if (FState == State::Writing && !FWriter.HandOverAll()) return;
  if (FIsStdOut) return;
  const platform::NativeHandle handle = FHandle;
  FHandle = platform::NoHandle;
  Release();
  if (const std::int32_t code = platform::CloseFile(handle)) SetInOutResult(code);
}

}  // namespace ostrak
