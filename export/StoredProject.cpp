#include "export/StoredProject.h"

#include <vector>

#include "core/Dictionary.h"
#include "export/ExtraItems.h"
#include "framework/FileManager.h"
#include "runtime/RuntimeError.h"

namespace verdo {

bool FetchProject(int32_t projectNumber, RESFileRecord& project, std::string& why) {
    const std::string named = "project " + std::to_string(projectNumber);
    FileManager& res = *Access_RESFile;
    res.Open();
    if (res.UseFile() != LevelNone) {
        res.Close();
        why = named + ": the store cannot be read";
        return false;
    }
    uint16_t saved = res.SaveState();
    ClearRecord(RESFileTable(), &RES);
    RES.RESNumber = projectNumber;
    bool found = res.TryFetch(res.KeyNumber("RES:RESNumberK")) == LevelNone;
    if (found) {
        project = RES;
    } else {
        const RuntimeErrorState& failure = LastError();
        why = failure.Code == RecordNotAvailErr
                  ? "there is no " + named
                  : named + ": " + (failure.Code == FileSystemErr ? failure.FileText : failure.Text);
    }
    res.RestoreState(saved);
    res.Close();
    return found;
}

bool StoredProjectValues(int32_t projectNumber, VersionValues& values, std::string& why) {
    RESFileRecord project;
    if (!FetchProject(projectNumber, project, why)) return false;
    bool failure = false;
    std::string unread;
    std::vector<ExtraItem> extras = ReadExtraItems(projectNumber, false, failure, unread);
    if (failure) {
        why = "project " + std::to_string(projectNumber) + ": " +
              (unread.empty() ? std::string("its extra strings could not be read") : unread);
        return false;
    }
    values = ValuesOf(project, extras);
    return true;
}

}  // namespace verdo
