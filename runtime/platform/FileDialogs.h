#pragma once
#include <string>
#include <vector>

namespace verdo {

// The desktop's folder picker and file-open dialog. The window library installs its
// own; tests install a double. Names are UTF-8 as the file system gives them.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // False when the user chose nothing.
    virtual bool PickFolder(const std::string& title, const std::string& start, std::string& folder) = 0;
    // Filters are pairs of a description and its patterns ("VERDO 1.0 File (*.VDO)", "*.VDO").
    struct Filter {
        std::string Description;
        std::string Patterns;
    };
    virtual bool PickFile(const std::string& title, const std::vector<Filter>& filters, std::string& file) = 0;
};

// The dialogs in use; nullptr when the program runs without windows.
FileDialogs* CurrentFileDialogs();
void SetFileDialogs(FileDialogs* dialogs);

}  // namespace verdo
