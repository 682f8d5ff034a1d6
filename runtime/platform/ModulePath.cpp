#include "runtime/platform/ModulePath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace verdo {

std::string ModuleFileName() {
    // The link holds a path of any length; grow the buffer until it fits.
    std::vector<char> buffer(4096);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return std::string();
        if (static_cast<size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ProgramModule(const std::string& programDir, const std::string& file) {
    for (std::string place : {programDir + file, programDir + InstalledModuleDir + file})
        if (IsRegularFile(place)) return place;
    return programDir + file;
}

}  // namespace verdo
