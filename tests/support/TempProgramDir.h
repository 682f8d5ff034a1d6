#pragma once
#include <string>

namespace verdo::test {

// A fresh temporary directory that stands for the program's directory: its own store
// and settings file. Removed with everything in it when the object goes away.
class TempProgramDir {
public:
    TempProgramDir();
    ~TempProgramDir();
    TempProgramDir(const TempProgramDir&) = delete;
    TempProgramDir& operator=(const TempProgramDir&) = delete;

    // The directory, ending with "/".
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + name; }

    // Copies the built program, or the store tool, into the directory (or a folder in it,
    // ending with "/") and returns its path there.
    std::string InstallProgram(const std::string& folder = "") const;
    std::string InstallStoreTool(const std::string& folder = "") const;
    // Puts the server store's module beside the program, as an installation has it.
    void InstallServerModule() const;

private:
    std::string path_;
};

// Reads a whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

}  // namespace verdo::test
