#pragma once
#include <functional>
#include <string>

namespace verdo {

// Where the program keeps its store file and settings file, and where its manual is.
// Beside the program when its folder is its own and writable (a copy in a folder of its
// own); for an installed program (in a bin folder with the manual under
// ../share/doc/verdo) or a folder it may not write, in the user's folders:
// $XDG_DATA_HOME/verdo for the store and $XDG_CONFIG_HOME/verdo for the settings, by
// default ~/.local/share/verdo and ~/.config/verdo, made when missing.
struct DataFolders {
    std::string Store;     // folders end with "/"
    std::string Settings;
    std::string Manual;    // the manual's full name
    // Why the user's data or configuration folder cannot be used; empty when all is well.
    std::string StoreProblem;
    std::string SettingsProblem;
};

// `environment` reads a variable (empty when unset); the real environment by default.
DataFolders ChooseDataFolders(const std::string& programDir,
                              const std::function<std::string(const char*)>& environment = {});

}  // namespace verdo
