// Where the modules of the process lie in memory, recorded once at start-up
// so that a failure report can place a code address without the heap, locks
// or the dynamic loader (which a fault handler may not use).
#include <link.h>
#include <unistd.h>

#include <cstring>

#include "app/platform/process.hpp"

namespace ostrak::platform {

namespace {

struct Module {
  std::uintptr_t Base;   // load address: offsets are counted from here
  std::uintptr_t Start;  // lowest and highest address of its loaded segments
  std::uintptr_t End;
  char Name[256];
};

constexpr std::size_t MaxModules = 64;
Module Modules[MaxModules];
std::size_t ModuleCount = 0;
char ProgramName[256] = "ostrak";

// Copies the part of path after its last slash.
void CopyBaseName(const char* path, char (&name)[256]) noexcept {
  const char* slash = std::strrchr(path, '/');
  const char* base = slash ? slash + 1 : path;
  std::size_t length = std::strlen(base);
  if (length >= sizeof name) length = sizeof name - 1;
  std::memcpy(name, base, length);
  name[length] = '\0';
}

int RecordModule(dl_phdr_info* info, std::size_t, void*) noexcept {
  if (ModuleCount == MaxModules) return 1;
  Module& module = Modules[ModuleCount];
  module.Base = info->dlpi_addr;
  module.Start = UINTPTR_MAX;
  module.End = 0;
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info->dlpi_phdr[i];
    if (segment.p_type != PT_LOAD) continue;
    const std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
    if (start < module.Start) module.Start = start;
    if (start + segment.p_memsz > module.End) module.End = start + segment.p_memsz;
  }
  // The program itself comes first and has no name of its own here.
  const bool isProgram = ModuleCount == 0 || info->dlpi_name == nullptr || info->dlpi_name[0] == '\0';
  if (isProgram) {
    std::memcpy(module.Name, ProgramName, sizeof module.Name);
  } else {
    CopyBaseName(info->dlpi_name, module.Name);
  }
  if (module.Start < module.End) ++ModuleCount;
  return 0;
}

}  // namespace

void RecordModules() noexcept {
  // The executable's name as it is on disk, whatever name it was started by.
  char path[4096];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length > 0) {
    path[length] = '\0';
    CopyBaseName(path, ProgramName);
  }
  ModuleCount = 0;
  dl_iterate_phdr(RecordModule, nullptr);
}

CodeLocation LocateCode(const void* address) noexcept {
  const auto value = reinterpret_cast<std::uintptr_t>(address);
  for (std::size_t i = 0; i < ModuleCount; ++i) {
    const Module& module = Modules[i];
    if (value >= module.Start && value < module.End) return {module.Name, value - module.Base};
  }
  return {ProgramName, value == 0 ? 0 : value - 0x1000};
}

}  // namespace ostrak::platform
