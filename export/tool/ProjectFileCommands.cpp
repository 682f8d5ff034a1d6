// For builds that link VERDO's resource files, on the store verdo beside this tool uses:
//   verdo-store path PROJECT     the full name of the project's resource file
//   verdo-store build PROJECT    the build-time run of verdo PROJECT, with a status
//   verdo-store export PROJECT   the same run keeping the numbers (a release rebuild)
// build and export take the file the build links, which the project must still write,
// and any number of --write FORMAT:FILE, written from the same run.
#include <cstdio>

#include "export/ExportRESFile.h"
#include "export/ResourceFilePath.h"
#include "export/tool/ToolCommands.h"
#include "export/tool/ToolSupport.h"

namespace verdo::tool {

namespace {

int Run(const std::vector<std::string>& arguments, uint8_t run) {
    if (arguments.empty()) return Misused;
    size_t options = 1;
    std::string expected;
    if (arguments.size() > 1 && arguments[1].rfind("--", 0) != 0) {
        expected = arguments[1];
        options = 2;
    }
    OutputSet outputs;
    if (!ReadOutputOptions(arguments, options, outputs)) return Usage;
    return OnProgramStore(arguments[0], StoreUse::Writing, [&](int32_t project) {
        if (!expected.empty()) {
            // A build names the file it links; a project moved or renamed since would leave
            // it linking the old one.
            std::string why;
            std::string path = ResourceFilePath(project, why);
            std::string linked = FullFileName(expected);
            if (!path.empty() && path != linked) {
                std::fprintf(stderr, "VERDO: project %d now writes %s, not %s: configure the build again\n", project,
                             path.c_str(), linked.c_str());
                return Failure;
            }
        }
        return ExportRESFile(project, run, outputs.Files.empty() ? nullptr : &outputs) ? Done : Failure;
    });
}

}  // namespace

int Path(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) return Misused;
    return OnProgramStore(arguments[0], StoreUse::Reading, [](int32_t project) {
        std::string why;
        std::string path = ResourceFilePath(project, why);
        if (path.empty()) {
            std::fprintf(stderr, "VERDO: %s\n", why.c_str());
            return Failure;
        }
        std::printf("%s\n", path.c_str());
        return Done;
    });
}

int Build(const std::vector<std::string>& arguments) { return Run(arguments, BuildTimeRun); }

int Export(const std::vector<std::string>& arguments) { return Run(arguments, BuildKeepingNumbers); }

}  // namespace verdo::tool
