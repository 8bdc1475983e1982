// Operating-system file calls of the file layer. One implementation per
// platform (file_system_posix.cpp, file_system_win32.cpp), chosen by the build.
//
// Every call returns 0 on success or the I/O error code of its failure, in the
// numbering that CheckIO's message table speaks (2 not found, 3 path not found,
// 4 too many open files, 5 access denied, 32 sharing violation, 112 disk full,
// otherwise the system's own number).
#pragma once

#include <cstddef>
#include <cstdint>

namespace ostrak::platform {

using NativeHandle = std::intptr_t;
inline constexpr NativeHandle NoHandle = -1;

enum class OutputKind {
  Character,  // a terminal or another character device: written after every line
  Other,      // a disk file or a pipe: written in large batches
};

// Opens an existing file for reading; others may read it meanwhile but not write it.
std::int32_t OpenInputFile(const char* name, NativeHandle& handle);

// Creates the file, or empties an existing one, for writing. A file that this
// process holds open for reading is refused with code 32 and left unchanged.
std::int32_t OpenOutputFile(const char* name, NativeHandle& handle);

// The process's standard output, or an error when there is none.
std::int32_t StandardOutput(NativeHandle& handle);

// The kind of an open output; an error when the system cannot tell it.
std::int32_t QueryOutputKind(NativeHandle handle, OutputKind& kind);

// Reads up to capacity bytes; count is 0 at the end of the data.
std::int32_t ReadFile(NativeHandle handle, char* buffer, std::size_t capacity, std::size_t& count);

// Writes all count bytes, continuing short writes, or fails.
std::int32_t WriteFile(NativeHandle handle, const char* data, std::size_t count);

// Releases the handle; it is gone even when an error is returned.
std::int32_t CloseFile(NativeHandle handle);

}  // namespace ostrak::platform
