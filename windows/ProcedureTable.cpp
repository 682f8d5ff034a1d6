#include "windows/ProcedureTable.h"

#include <map>

#include "runtime/window/WindowSystem.h"

namespace verdo {

namespace {
std::map<std::string, std::function<void()>>& Table() {
    static std::map<std::string, std::function<void()>> table;
    return table;
}
}  // namespace

void RegisterProcedure(const std::string& name, std::function<void()> procedure) {
    Table()[name] = std::move(procedure);
}

void StartProcedure(const std::string& name, int stackSize) {
    auto it = Table().find(name);
    WindowSystem* system = CurrentWindowSystem();
    if (it == Table().end() || !it->second || !system) return;
    system->StartThread(it->second, stackSize);
}

}  // namespace verdo
