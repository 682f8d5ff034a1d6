#include "runtime/RuntimeError.h"
#include "runtime/store/StoreEngine.h"
#include "runtime/store/postgres/PgStore.h"

// The module's one way in; everything else in it stays hidden from the program.
extern "C" __attribute__((visibility("default"))) verdo::StoreEngine* VerdoConnectServerStore(
    int interface, const std::string& connection, bool write, verdo::RuntimeErrorState& failure) {
    if (interface != verdo::StoreEngineInterface) {
        failure.Code = verdo::FileSystemErr;
        failure.Text = verdo::ErrorTextFor(failure.Code);
        failure.FileText = "the server store module belongs to another version of VERDO";
        return nullptr;
    }
    return verdo::PgStore::Connect(connection, write, failure);
}
