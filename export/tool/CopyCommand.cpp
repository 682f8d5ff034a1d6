// verdo-store copy FROM TO: moves a store between a store file and a PostgreSQL server,
// either way, into a store that holds nothing yet.
#include <cstdio>
#include <map>

#include "export/tool/StoreAccess.h"
#include "export/tool/ToolCommands.h"
#include "export/tool/ToolSupport.h"
#include "runtime/store/StoreEngines.h"

namespace verdo::tool {

namespace {

constexpr int CopyLockWaitMs = 10000;

int Refuse(const Store& store, const std::string& what) {
    Report(store, what);
    return Failure;
}

// The tables exist, with their keys; a store that is missing, or a database without
// them, is made as the program makes it.
bool Prepare(Store& store) {
    for (const TableDef* table : Tables()) {
        int code = store.Engine ? store.Engine->CheckTable(*table) : FileNotFoundErr;
        if (code == FileNotFoundErr) {
            store.Engine.reset();
            if (CreateStoreTable(store.Name, *table) != NoError)
                return Report(store, table->Label + " cannot be created: " + Why(LastError()));
            if (!Open(store, true)) return false;
            code = store.Engine->CheckTable(*table);
        }
        if (code == BadKeyErr && store.Engine->BuildKeys(*table) == NoError) code = NoError;
        if (code != NoError) return Report(store, table->Label + " cannot be used: " + Why(store.Engine->Failure()));
    }
    return true;
}

// The rows of each table, by their row ids.
using RowIds = std::map<const TableDef*, std::vector<int64_t>>;

// Nothing but what a new store starts with: no projects and no extra strings, and lookup
// tables that are empty or hold exactly the standard rows; `found` takes those rows.
bool Empty(Store& store, RowIds& found) {
    for (const CatalogEntry& entry : Catalog()) {
        std::vector<StoredRow> rows;
        if (!ReadAll(store, *entry.Table, rows, &found[entry.Table])) return false;
        std::vector<StoredRow> standard = StandardRows(entry);
        bool fresh = rows.empty() || rows.size() == standard.size();
        for (size_t i = 0; fresh && i < rows.size(); ++i) fresh = SameRow(rows[i], standard[i]);
        if (!fresh)
            return Report(store, "is not empty: " + entry.Table->Label + " holds " + std::to_string(rows.size()) +
                                     " rows; nothing was copied");
    }
    return true;
}

bool CopyRows(Store& from, Store& to, const RowIds& standard, std::map<std::string, size_t>& counts) {
    for (const TableDef* table : Tables()) {
        // The new store's standard rows, as checked, give way to the rows of the store
        // that moves.
        for (int64_t id : standard.at(table))
            if (to.Engine->Delete(*table, id) != NoError)
                return Report(to, table->Label + " cannot be emptied: " + Why(to.Engine->Failure()));
        std::vector<StoredRow> rows;
        if (!ReadAll(from, *table, rows)) return false;
        for (const StoredRow& row : rows)
            if (to.Engine->InsertStored(*table, row) != NoError)
                return Report(to, "a row of " + table->Label + " cannot be written: " + Why(to.Engine->Failure()));
        counts[table->Label] = rows.size();
    }
    return true;
}

}  // namespace

int Copy(const std::vector<std::string>& arguments) {
    if (arguments.size() != 2) return Misused;
    const std::string& source = arguments[0];
    const std::string& target = arguments[1];
    Store from = Named(source), to = Named(target);
    if (from.Name == to.Name) return Refuse(to, "is the store to copy from");
    if (!Open(from, false)) return Failure;
    for (const TableDef* table : Tables()) {
        int code = from.Engine->CheckTable(*table);
        if (code == FileNotFoundErr) return Refuse(from, "the table " + table->Label + " is missing");
    }
    int error = NoError;
    to.Engine = AcquireStore(to.Name, true, error);
    if (!to.Engine && error != FileNotFoundErr) return Refuse(to, "cannot be opened: " + Why(LastError()));
    if (!Prepare(to)) return Failure;

    // The target is found empty within the transaction that fills it, so that nothing
    // another program adds meanwhile is taken for a standard row and deleted.
    if (to.Engine->Begin(CopyLockWaitMs) != NoError) return Refuse(to, "cannot be written: " + Why(to.Engine->Failure()));
    RowIds standard;
    std::map<std::string, size_t> counts;
    if (!Empty(to, standard) || !CopyRows(from, to, standard, counts)) {
        to.Engine->Rollback();
        return Failure;
    }
    if (to.Engine->Commit() != NoError) return Refuse(to, "the copy was not kept: " + Why(to.Engine->Failure()));
    std::printf("copied %zu projects, %zu extra strings, %zu builds on record and the lookup tables (%zu, %zu, %zu, "
                "%zu rows) to %s\n", counts["RESFile"], counts["ExtraSeg"], counts["RESBuild"], counts["FileOS"],
                counts["FileType"], counts["CodePage"], counts["LangID"], target.c_str());
    return Done;
}


}  // namespace verdo::tool
