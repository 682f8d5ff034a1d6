#include "core/ProgramNames.h"
#include "core/Startup.h"
#include "runtime/platform/ModulePath.h"

int main(int argc, char** argv) {
    return verdo::RunProgram(verdo::ModuleFileName(), verdo::CommandTailFrom(argc, argv), nullptr);
}
