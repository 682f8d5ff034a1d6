#include "runtime/store/StoreEngines.h"

#include <dlfcn.h>

#include <cerrno>
#include <map>
#include <mutex>

#include "runtime/RuntimeError.h"
#include "runtime/platform/ModulePath.h"
#include "runtime/store/SqliteStore.h"

namespace verdo {

namespace {
std::mutex registryMutex;

std::map<std::string, std::weak_ptr<StoreEngine>>& Registry() {
    static std::map<std::string, std::weak_ptr<StoreEngine>> registry;
    return registry;
}

// The server's client library comes with the module and is loaded with it, at the first
// server store and never for a store file. The module stays for the life of the process.
ServerConnectFunction ServerModule(std::string& problem) {
    static std::once_flag loaded;
    static ServerConnectFunction connect = nullptr;
    static std::string failure;
    std::call_once(loaded, [] {
        std::string program = ModuleFileName();
        std::string place = ProgramModule(program.substr(0, program.rfind('/') + 1), ServerModuleFile);
        // Binding the client library's symbols as they are first called spares a build-time
        // run much of the loading; the module is linked with every symbol it needs.
        void* module = dlopen(place.c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (!module) {
            failure = std::string("the server store module cannot be loaded: ") + dlerror();
            return;
        }
        connect = reinterpret_cast<ServerConnectFunction>(dlsym(module, ServerModuleEntry));
        if (!connect) failure = std::string("the server store module is not VERDO's: ") + dlerror();
    });
    problem = failure;
    return connect;
}

std::shared_ptr<StoreEngine> ConnectServer(const std::string& store, bool write, int& error) {
    std::string problem;
    ServerConnectFunction connect = ServerModule(problem);
    if (!connect) {
        SetLastError(FileSystemErr, ENOENT, problem);
        error = FileSystemErr;
        return nullptr;
    }
    RuntimeErrorState failure;
    std::shared_ptr<StoreEngine> engine(connect(StoreEngineInterface, ServerConnection(store), write, failure));
    if (!engine) {
        SetLastError(failure);
        error = failure.Code;
    }
    return engine;
}
}  // namespace

bool IsServerStore(std::string_view store) { return store.substr(0, ServerStorePrefix.size()) == ServerStorePrefix; }

std::string ServerStoreName(std::string_view connection) {
    return std::string(ServerStorePrefix) + std::string(connection);
}

std::string ServerConnection(std::string_view store) {
    return IsServerStore(store) ? std::string(store.substr(ServerStorePrefix.size())) : std::string();
}

std::shared_ptr<StoreEngine> AcquireStore(const std::string& store, bool write, int& error) {
    std::lock_guard<std::mutex> lock(registryMutex);
    error = NoError;
    auto& registry = Registry();
    if (auto it = registry.find(store); it != registry.end()) {
        if (auto existing = it->second.lock()) {
            if (!write || !existing->ReadOnly()) return existing;
        }
    }
    std::shared_ptr<StoreEngine> engine =
        IsServerStore(store) ? ConnectServer(store, write, error) : SqliteStore::Open(store, write, error);
    if (engine) registry[store] = engine;
    return engine;
}

int CreateStoreTable(const std::string& store, const TableDef& table) {
    int error = NoError;
    auto engine = AcquireStore(store, true, error);
    if (error == FileNotFoundErr && !IsServerStore(store)) return SqliteStore::CreateFile(store);
    if (!engine) return error;
    error = engine->CreateTable(table, Catalog());
    if (error != NoError) {
        RuntimeErrorState failure = engine->Failure();
        SetLastError(error, failure.FileCode, failure.FileText);
    }
    return error;
}

}  // namespace verdo
