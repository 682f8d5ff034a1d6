#pragma once
#include <deque>
#include <string>
#include <vector>

#include "runtime/platform/FileDialogs.h"

namespace verdo::test {

// Answers the folder picker and the file-open dialog from scripted answers, in order:
// a name for a choice, nothing for a cancelled dialog. A dialog that opens when no
// answer is left, or an answer left unused, fails the running test. What each dialog
// was opened with is kept. Installed for the lifetime of the object.
class ScriptedFileDialogs : public FileDialogs {
public:
    ScriptedFileDialogs() { SetFileDialogs(this); }
    ~ScriptedFileDialogs() override;

    void Choose(const std::string& name) { answers_.push_back({true, name}); }
    void Cancel() { answers_.push_back({false, {}}); }

    bool PickFolder(const std::string& title, const std::string& start, std::string& folder) override;
    bool PickFile(const std::string& title, const std::vector<Filter>& filters, std::string& file) override;

    std::vector<std::string> Titles;
    std::vector<std::string> Starts;
    std::vector<Filter> LastFilters;

private:
    bool Answer(std::string& name);
    struct Scripted {
        bool Chosen;
        std::string Name;
    };
    std::deque<Scripted> answers_;
};

}  // namespace verdo::test
