#include "export/ResourceFilePath.h"

#include <filesystem>
#include <system_error>

#include "export/StoredProject.h"
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

std::string FullFileName(const std::string& path) {
    std::error_code error;
    std::filesystem::path file = std::filesystem::absolute(path, error);
    return error ? std::string() : WithoutDots(file);
}

std::string ResourceFilePath(int32_t projectNumber, std::string& why) {
    RESFileRecord project;
    if (!FetchProject(projectNumber, project, why)) return {};
    ExportTarget target = ExportTargetOf(project);
    if (!target.Usable) {
        why = "project " + std::to_string(projectNumber) + ": " + UnusableTargetReason;
        return {};
    }
    std::string path = FullFileName(target.ResFile());
    if (path.empty()) why = "project " + std::to_string(projectNumber) + ": the current folder cannot be found";
    return path;
}

}  // namespace verdo
