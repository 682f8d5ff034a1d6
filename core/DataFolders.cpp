#include "core/DataFolders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "runtime/platform/ModulePath.h"

namespace verdo {

namespace {

constexpr const char* ManualName = "VERDO.PDF";
constexpr const char* InstalledManual = "../share/doc/verdo/VERDO.PDF";

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

// An installed program lies in a bin folder with its modules or its manual in the tree
// beside it (a system may leave out the documentation, never the modules).
bool Installed(const std::string& programDir) {
    std::string dir = WithSlash(programDir);
    return dir.size() >= 5 && dir.compare(dir.size() - 5, 5, "/bin/") == 0 &&
           (IsDirectory(dir + InstalledModuleDir) || IsRegularFile(dir + InstalledManual));
}

// Makes the folder and its missing parents; the user's own folders are the user's only.
// Empty when the folder is there and writable, otherwise why not.
std::string Prepared(const std::string& folder) {
    // Every start after the first finds the folder ready.
    if (IsDirectory(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0) return {};
    std::string path;
    for (size_t at = 0; at <= folder.size(); ++at) {
        if (at < folder.size() && folder[at] != '/') continue;
        path = folder.substr(0, at);
        if (path.empty()) continue;
        if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return path + ": " + std::strerror(errno);
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) return folder + ": " + std::strerror(errno);
    if (!S_ISDIR(info.st_mode)) return folder + ": " + std::strerror(ENOTDIR);
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return folder + ": " + std::strerror(errno);
    return {};
}

// An XDG base folder: the variable when it names an absolute path, else the fallback
// under the home folder.
std::string BaseFolder(const std::function<std::string(const char*)>& environment, const char* variable,
                       const char* fallback) {
    std::string value = environment(variable);
    if (!value.empty() && value.front() == '/') return WithSlash(value);
    std::string home = environment("HOME");
    return WithSlash(home.empty() ? "/" : home) + fallback;
}

}  // namespace

DataFolders ChooseDataFolders(const std::string& programDir,
                              const std::function<std::string(const char*)>& environment) {
    auto env = environment ? environment : [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    DataFolders folders;
    std::string dir = WithSlash(programDir);
    bool installed = Installed(dir);
    folders.Manual = installed && !IsRegularFile(dir + ManualName) ? dir + InstalledManual : dir + ManualName;
    if (!installed && ::access(dir.c_str(), W_OK | X_OK) == 0) {
        folders.Store = folders.Settings = dir;
        return folders;
    }
    folders.Store = BaseFolder(env, "XDG_DATA_HOME", ".local/share/") + "verdo/";
    folders.Settings = BaseFolder(env, "XDG_CONFIG_HOME", ".config/") + "verdo/";
    std::string problem = Prepared(folders.Store);
    if (!problem.empty()) folders.StoreProblem = "the folder " + problem;
    problem = Prepared(folders.Settings);
    if (!problem.empty()) folders.SettingsProblem = "the folder " + problem;
    return folders;
}

}  // namespace verdo
