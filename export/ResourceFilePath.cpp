#include "export/ResourceFilePath.h"

#include <filesystem>
#include <system_error>

#include "core/Dictionary.h"
#include "framework/FileManager.h"
#include "runtime/RuntimeError.h"
#include "runtime/text/Text.h"

namespace verdo {

namespace {

// The path without its "." parts and doubled slashes. ".." stays: through a symbolic
// link it leads elsewhere than the text suggests, and the file is written where the
// system takes it.
std::string WithoutDots(const std::filesystem::path& file) {
    std::filesystem::path kept;
    for (const std::filesystem::path& part : file)
        if (part != "." && !part.empty()) kept /= part;
    return kept.string();
}

}  // namespace

ExportTarget ExportTargetOf(const RESFileRecord& project) {
    ExportTarget target;
    target.Directory = FieldText(project.ProjectPath);
    if (target.Directory.empty() || target.Directory.back() != '/') target.Directory += '/';
    target.Name = FieldText(project.ProjectName);
    target.Usable = target.Directory.find('\0') == std::string::npos && target.Name.find('\0') == std::string::npos &&
                    target.Name.find('/') == std::string::npos;
    return target;
}

std::string ExportTarget::ResFile() const { return Latin1ToUtf8(Directory + Name + ".RES"); }

std::string ResourceFilePath(int32_t projectNumber, std::string& why) {
    const std::string project = "project " + std::to_string(projectNumber);
    FileManager& res = *Access_RESFile;
    res.Open();
    if (res.UseFile() != LevelNone) {
        res.Close();
        why = project + ": the store cannot be read";
        return {};
    }
    uint16_t saved = res.SaveState();
    ClearRecord(RESFileTable(), &RES);
    RES.RESNumber = projectNumber;
    std::string path;
    if (res.TryFetch(res.KeyNumber("RES:RESNumberK")) != LevelNone) {
        const RuntimeErrorState& failure = LastError();
        why = failure.Code == RecordNotAvailErr ? "there is no " + project
                                                : project + ": " + (failure.Code == FileSystemErr ? failure.FileText
                                                                                                  : failure.Text);
    } else if (ExportTarget target = ExportTargetOf(RES); !target.Usable) {
        why = project + ": " + UnusableTargetReason;
    } else {
        std::error_code error;
        std::filesystem::path file = std::filesystem::absolute(target.ResFile(), error);
        if (error) why = project + ": " + error.message();
        else path = WithoutDots(file);
    }
    res.RestoreState(saved);
    res.Close();
    return path;
}

}  // namespace verdo
