// verdo-store write PROJECT FORMAT FILE [--prefix PREFIX]: one file written from a
// project's values as the store holds them, without raising the numbers.
#include <cstdio>
#include <string>

#include "export/StoredProject.h"
#include "export/outputs/OutputFormat.h"
#include "export/tool/ToolCommands.h"
#include "export/tool/ToolSupport.h"
#include "runtime/RuntimeError.h"
#include "runtime/bytes/AtomicFile.h"

namespace verdo::tool {

int Write(const std::vector<std::string>& arguments) {
    if (arguments.size() < 3) return Misused;
    OutputSet outputs;
    OutputRequest request;
    if (!NamedOutput(arguments[1] + ":" + arguments[2], request)) return Usage;
    outputs.Files.push_back(request);
    if (!ReadOutputOptions(arguments, 3, outputs)) return Usage;
    return OnProgramStore(arguments[0], StoreUse::Reading, [&](int32_t project) {
        VersionValues values;
        std::string why;
        if (!StoredProjectValues(project, values, why)) {
            std::fprintf(stderr, "VERDO: %s\n", why.c_str());
            return Failure;
        }
        for (const auto& [file, text] : ComposeOutputs(values, outputs)) {
            if (FileHolds(file, text) || WriteFileAtomically(file, text)) continue;
            std::fprintf(stderr, "VERDO: project %d: %s could not be written: %s\n", project, file.c_str(),
                         LastError().FileText.c_str());
            return Failure;
        }
        return Done;
    });
}

}  // namespace verdo::tool
