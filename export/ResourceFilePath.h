#pragma once
#include <cstdint>
#include <string>

#include "core/Records.h"

namespace verdo {

// Where a project's export writes its files: the project's path (ending with "/") and
// name, in the record's single-byte text. Usable is false when they cannot name a file
// in that folder: a NUL anywhere (the file system would end the name there) or a name
// that leads out of the folder.
struct ExportTarget {
    std::string Directory;
    std::string Name;
    bool Usable = false;

    // The resource file's name as the file system names it.
    std::string ResFile() const;
};

// Why a target that is not usable names no file.
inline constexpr const char* UnusableTargetReason = "its name or path holds a character no file name can have";

ExportTarget ExportTargetOf(const RESFileRecord& project);

// A file's name made whole: a relative one counts from the current folder, and "." parts
// and doubled slashes go. Empty when the current folder cannot be found.
std::string FullFileName(const std::string& path);

// The full name of the resource file the project's export writes, as the file system
// names it; a relative path counts from the current folder. Empty, with the reason in
// `why` (one line naming the project), when the store cannot be read, the project does
// not exist or its name or path cannot name a file.
std::string ResourceFilePath(int32_t projectNumber, std::string& why);

}  // namespace verdo
