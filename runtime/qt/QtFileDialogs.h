#pragma once
#include "runtime/platform/FileDialogs.h"

namespace verdo {

// The folder picker and file-open dialog on Qt, modal over the active window.
class QtFileDialogs final : public FileDialogs {
public:
    bool PickFolder(const std::string& title, const std::string& start, std::string& folder) override;
    bool PickFile(const std::string& title, const std::vector<Filter>& filters, std::string& file) override;
};

}  // namespace verdo
