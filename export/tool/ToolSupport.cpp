#include "export/tool/ToolSupport.h"

#include <cstdio>
#include <cstdlib>

#include "core/Dictionary.h"
#include "core/ProgramNames.h"
#include "core/Startup.h"
#include "framework/FileManager.h"
#include "framework/MessageManager.h"
#include "runtime/platform/ModulePath.h"

namespace verdo::tool {

bool ProjectNumberOf(const std::string& argument, int32_t& number) {
    size_t digits = argument.rfind('-', 0) == 0 ? 1 : 0;
    if (argument.size() == digits || argument.size() > digits + 10 ||
        argument.find_first_not_of("0123456789", digits) != std::string::npos)
        return false;
    long long value = std::stoll(argument);
    if (value < INT32_MIN || value > INT32_MAX) return false;
    number = static_cast<int32_t>(value);
    return true;
}

int OnProgramStore(const std::string& projectArgument, StoreUse use, const std::function<int(int32_t)>& work) {
    int32_t number = 0;
    if (!ProjectNumberOf(projectArgument, number)) {
        std::fprintf(stderr, "verdo-store: %s is not a project number\n", projectArgument.c_str());
        return Usage;
    }
    int status = Done;
    // A store that cannot be opened ends the run from deep inside; a tool says so in its status.
    GlobalMessages().SetHaltHandler([] {
        std::fflush(nullptr);
        std::_Exit(Failure);
    });
    RunProgram(ModuleFileName(), projectArgument, [&](int32_t project) {
        if (use == StoreUse::Reading)
            for (FileManager* table : {Access_RESFile, Access_ExtraSeg, Access_FileOS, Access_FileType, Access_CodePage,
                                       Access_LangID})
                table->OPENMODE = (table->OPENMODE & 0xF0) | StoreTable::ReadOnlyAccess;
        // One opening of the store serves everything the work does with it.
        FileManager& res = *Access_RESFile;
        res.Open();
        status = work(project);
        res.Close();
    }, nullptr);
    // Startup ends the run before the store is opened when its folder cannot be used.
    return status == Done && !StoreFolderProblem.empty() ? Failure : status;
}

int OnProgramStore(StoreUse use, const std::function<int()>& work) {
    // Started as `verdo 0` starts: no project has the number 0, and none is read.
    return OnProgramStore("0", use, [&](int32_t) { return work(); });
}

bool NamedOutput(const std::string& argument, OutputRequest& request) {
    size_t colon = argument.find(':');
    std::string format = argument.substr(0, colon);
    request.Format = FindOutputFormat(format);
    if (!request.Format) {
        std::fprintf(stderr, "verdo-store: %s is not a format; the formats are %s\n", format.c_str(),
                     OutputFormatNames().c_str());
        return false;
    }
    request.File = colon == std::string::npos ? std::string() : argument.substr(colon + 1);
    if (request.File.empty()) {
        std::fprintf(stderr, "verdo-store: %s names no file to write (FORMAT:FILE)\n", argument.c_str());
        return false;
    }
    return true;
}

bool ReadOutputOptions(const std::vector<std::string>& arguments, size_t from, OutputSet& outputs) {
    for (size_t i = from; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if ((option != "--write" && option != "--prefix") || i + 1 >= arguments.size()) {
            std::fprintf(stderr, "verdo-store: %s is not understood here\n", option.c_str());
            return false;
        }
        const std::string& value = arguments[++i];
        if (option == "--prefix") {
            if (!IsIdentifier(value)) {
                std::fprintf(stderr, "verdo-store: the prefix %s is no C identifier (letters, digits and _, not "
                                     "starting with a digit)\n", value.c_str());
                return false;
            }
            outputs.Options.Prefix = value;
            continue;
        }
        OutputRequest request;
        if (!NamedOutput(value, request)) return false;
        outputs.Files.push_back(request);
    }
    return true;
}

}  // namespace verdo::tool
