// Where a code address lies: the module that holds it, by the path that the
// system reports for that module, and the offset from the module's base.
// Fixed buffers only, so that a report can be made when memory has run out.
#include <windows.h>

#include <cstring>

#include "app/platform/process.hpp"

namespace ostrak::platform {

namespace {

constexpr DWORD PathCapacity = 261;  // MAX_PATH and room for the terminator

char ProgramName[PathCapacity] = "ostrak.exe";
char ModuleName[PathCapacity];

// Copies the file name of module, the part of its path after the last
// backslash, into name; false when the system reports no path.
bool CopyModuleName(HMODULE module, char (&name)[PathCapacity]) noexcept {
  char path[PathCapacity];
  const DWORD length = ::GetModuleFileNameA(module, path, PathCapacity);
  if (length == 0) return false;
  path[PathCapacity - 1] = '\0';
  const char* const backslash = std::strrchr(path, '\\');
  std::strcpy(name, backslash != nullptr ? backslash + 1 : path);
  return true;
}

}  // namespace

void RecordModules() noexcept {
  // The executable's name as it is on disk, whatever name it was started by.
  CopyModuleName(nullptr, ProgramName);
}

CodeLocation LocateCode(const void* address) noexcept {
  const auto value = reinterpret_cast<std::uintptr_t>(address);
  HMODULE module = nullptr;
  if (value != 0 &&
      ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<const char*>(address), &module) &&
      CopyModuleName(module, ModuleName)) {
    return {ModuleName, value - reinterpret_cast<std::uintptr_t>(module)};
  }
  return {ProgramName, value == 0 ? 0 : value - 0x1000};
}

}  // namespace ostrak::platform
