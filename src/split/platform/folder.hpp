// Folder and file-name calls of ostrak-split. One implementation per platform
// (folder_posix.cpp, folder_win32.cpp), chosen by the build.
//
// Calls that can fail return 0 or the I/O error code of the failure, in the
// numbering of the file layer (file_system.hpp).
#pragma once

#include <cstdint>

namespace ostrak::split::platform {

enum class PathKind { Missing, RegularFile, Folder, Other };

// What a name stands for, following symbolic links; Other for a pipe or a device.
PathKind KindOf(const char* name);

// Creates a folder; a folder that exists already counts as made.
std::int32_t CreateFolder(const char* name);

// Renames a file, replacing a file of the new name in one step.
std::int32_t RenameReplacing(const char* from, const char* to);

// Removes a file; a file that is missing already counts as removed.
std::int32_t RemoveFile(const char* name);

// True when both names exist and stand for one file (links included).
bool SameFile(const char* first, const char* second);

// The size of an existing file in bytes.
std::int32_t FileSize(const char* name, std::uint64_t& size);

}  // namespace ostrak::split::platform
