// The entry of the program verdo: the build-time run with a project number, or the
// editor's module without one. It sits on top of the layers it starts.
#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "core/ProductInfo.h"
#include "core/ProgramNames.h"
#include "core/Startup.h"
#include "export/ExportRESFile.h"
#include "runtime/platform/ModulePath.h"
#include "runtime/text/Text.h"

namespace {

// The editor lives in a module of its own (beside the program, or in the installed
// tree's lib/verdo), loaded only here, so that the build-time run never loads a window
// library.
int RunInteractive(const std::string& modulePath, int argc, char** argv) {
    std::string directory = modulePath.substr(0, modulePath.rfind('/') + 1);
    std::string library = verdo::ProgramModule(directory, "libverdo_gui.so");
    void* module = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    using Entry = int (*)(int, char**);
    Entry entry = module ? reinterpret_cast<Entry>(dlsym(module, "VerdoInteractiveMain")) : nullptr;
    if (!entry) {
        std::fprintf(stderr, "VERDO: the windows cannot be started: %s\n", dlerror());
        return 0;
    }
    entry(argc, argv);
    return 0;
}

// "--help", "-h" and "--version" alone on the command line answer and end, touching no
// store; any other command line keeps its meaning, a project number.
bool AnsweredOption(int argc, char** argv) {
    if (argc != 2) return false;
    const std::string option = argv[1];
    if (option == "--version") {
        std::printf("verdo %s\n", verdo::ProductVersion);
        return true;
    }
    if (option != "--help" && option != "-h") return false;
    std::printf(
        "Usage: verdo [PROJECT-NUMBER]\n"
        "Without a project number, opens the editor of the version resource projects.\n"
        "With one (verdo 12), raises the project's version numbers by their steps and\n"
        "writes its .RES file anew, as a step of a build.\n"
        "See verdo(1) and verdo-store(1).\n");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (AnsweredOption(argc, argv)) return 0;
    std::string modulePath = verdo::ModuleFileName();
    std::string tail = verdo::CommandTailFrom(argc, argv);
    if (verdo::TrimRight(tail).find_first_not_of(" \t") == std::string::npos) return RunInteractive(modulePath, argc, argv);
    return verdo::RunProgram(modulePath, tail, [](int32_t project) { verdo::ExportRESFile(project, verdo::BuildTimeRun); }, nullptr);
}
