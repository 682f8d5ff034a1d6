#include "tests/support/ScriptedFileDialogs.h"

#include <gtest/gtest.h>

namespace verdo::test {

ScriptedFileDialogs::~ScriptedFileDialogs() {
    SetFileDialogs(nullptr);
    for (const Scripted& answer : answers_) ADD_FAILURE() << "scripted dialog answer never asked for: " << answer.Name;
}

bool ScriptedFileDialogs::Answer(std::string& name) {
    if (answers_.empty()) {
        ADD_FAILURE() << "a file dialog opened that the test did not expect: " << Titles.back();
        return false;
    }
    Scripted answer = answers_.front();
    answers_.pop_front();
    if (answer.Chosen) name = answer.Name;
    return answer.Chosen;
}

bool ScriptedFileDialogs::PickFolder(const std::string& title, const std::string& start, std::string& folder) {
    Titles.push_back(title);
    Starts.push_back(start);
    return Answer(folder);
}

bool ScriptedFileDialogs::PickFile(const std::string& title, const std::vector<Filter>& filters, std::string& file) {
    Titles.push_back(title);
    LastFilters = filters;
    return Answer(file);
}

}  // namespace verdo::test
