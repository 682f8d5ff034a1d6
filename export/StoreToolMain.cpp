// verdo-store: moves a store between a store file and a PostgreSQL server, either way,
// and checks a store; for builds that link VERDO's resource files, it names a project's
// file and writes it, raising the numbers or keeping them, with a status a build can use. A tool for people: it says what it did or why not, and fails with
// a non-zero status.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/Dictionary.h"
#include "core/ProgramNames.h"
#include "core/Records.h"
#include "core/Startup.h"
#include "export/ExportRESFile.h"
#include "export/ResourceFilePath.h"
#include "framework/FileManager.h"
#include "framework/MessageManager.h"
#include "runtime/platform/ModulePath.h"
#include "runtime/RuntimeError.h"
#include "runtime/store/FieldValues.h"
#include "runtime/store/StoreEngines.h"
#include "runtime/store/StoreSchema.h"

using namespace verdo;

namespace {

constexpr int Usage = 2;
constexpr int Failure = 1;
constexpr size_t Batch = 500;
constexpr int CopyLockWaitMs = 10000;

void PrintUsage() {
    std::fprintf(stderr,
                 "usage: verdo-store copy FROM TO\n"
                 "       verdo-store check STORE\n"
                 "       verdo-store path PROJECT\n"
                 "       verdo-store build PROJECT [FILE]\n"
                 "       verdo-store export PROJECT [FILE]\n"
                 "A store is the path of a store file (VERDO) or a PostgreSQL connection string\n"
                 "(\"host=builddb dbname=verdo user=ci\" or \"postgresql://ci@builddb/verdo\").\n"
                 "copy creates TO when it is missing and refuses a TO that holds anything but\n"
                 "the rows a new store starts with.\n"
                 "path, build and export work on the store verdo uses: path prints the full name\n"
                 "of the project's resource file; build writes it as verdo PROJECT does, export\n"
                 "without raising the version numbers; both fail with status 1 when it was not\n"
                 "written, or when FILE is given and the project writes another file.\n");
}

// A connection string is keyword=value pairs or a URI; anything else is a file's path.
bool IsConnectionString(const std::string& argument) {
    if (argument.rfind("postgresql://", 0) == 0 || argument.rfind("postgres://", 0) == 0) return true;
    size_t at = argument.find_first_not_of(" \t");
    size_t word = at;
    while (word < argument.size() && (std::isalpha(static_cast<unsigned char>(argument[word])) || argument[word] == '_'))
        ++word;
    if (at == std::string::npos || word == at) return false;
    word = argument.find_first_not_of(" \t", word);
    return word != std::string::npos && argument[word] == '=';
}

struct Store {
    std::string Argument;  // as the user wrote it
    std::string Name;      // as the store layer names it
    std::shared_ptr<StoreEngine> Engine;
};

Store Named(const std::string& argument) {
    Store store;
    store.Argument = argument;
    store.Name = IsConnectionString(argument) ? ServerStoreName(argument)
                                              : std::filesystem::absolute(argument).lexically_normal().string();
    return store;
}

std::string Why(const RuntimeErrorState& failure) {
    std::string why = failure.Text.empty() ? ErrorTextFor(failure.Code) : failure.Text;
    if (!failure.FileText.empty()) why += ": " + failure.FileText;
    return why;
}

bool Report(const Store& store, const std::string& what) {
    std::fprintf(stderr, "verdo-store: %s: %s\n", store.Argument.c_str(), what.c_str());
    return false;
}

int Refuse(const Store& store, const std::string& what) {
    Report(store, what);
    return Failure;
}

bool Open(Store& store, bool write) {
    int error = NoError;
    store.Engine = AcquireStore(store.Name, write, error);
    if (store.Engine) return true;
    if (error == FileNotFoundErr) return Report(store, "there is no store file there");
    return Report(store, "cannot be opened: " + Why(LastError()));
}

std::vector<const TableDef*> Tables() {
    std::vector<const TableDef*> tables;
    for (const CatalogEntry& entry : Catalog()) tables.push_back(entry.Table);
    return tables;
}

// Every row of a table as stored, in the order the rows were added.
bool ReadAll(Store& store, const TableDef& table, std::vector<StoredRow>& rows, std::vector<int64_t>* rowIds = nullptr) {
    rows.clear();
    int64_t after = 0;
    for (;;) {
        std::vector<StoredRow> batch;
        std::vector<int64_t> ids;
        if (store.Engine->ReadStored(table, after, Batch, batch, ids) != NoError)
            return Report(store, table.Label + " cannot be read: " + Why(store.Engine->Failure()));
        for (StoredRow& row : batch) rows.push_back(std::move(row));
        if (rowIds) rowIds->insert(rowIds->end(), ids.begin(), ids.end());
        if (ids.size() < Batch) return true;
        after = ids.back();
    }
}

// A standard row of a lookup table, as the store holds it.
StoredRow Stored(const TableDef& table, const std::string& image) {
    StoredRow row;
    for (const FieldDef* f : schema::StoredFields(table)) {
        StoredValue value;
        switch (FormOf(*f)) {
            case StoredForm::Number: value.Number = NumberOf(*f, image.data()); break;
            case StoredForm::Text: value.Data = TextOf(*f, image.data()); break;
            case StoredForm::Bytes: value.Data = std::string(BytesOf(*f, image.data())); break;
        }
        row.push_back(std::move(value));
    }
    return row;
}

bool SameRow(const StoredRow& a, const StoredRow& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].Number != b[i].Number || a[i].Data != b[i].Data) return false;
    return true;
}

std::vector<StoredRow> StandardRows(const CatalogEntry& entry) {
    std::vector<StoredRow> rows;
    if (entry.StandardRows)
        for (const std::string& image : entry.StandardRows()) rows.push_back(Stored(*entry.Table, image));
    return rows;
}

// A value of a lookup table's row as the program needs it: raw bytes of the field's width,
// or as many hexadecimal digits as the field is wide.
bool UsableValue(const FieldDef& field, const StoredValue& value) {
    if (FormOf(field) == StoredForm::Bytes) return value.Data.size() == field.Size;
    if (value.Data.size() != field.Size) return false;
    for (char c : value.Data)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

int Check(const std::string& argument) {
    Store store = Named(argument);
    if (!Open(store, false)) return Failure;
    bool sound = true;
    std::map<std::string, size_t> counts;
    for (const CatalogEntry& entry : Catalog()) {
        const TableDef& table = *entry.Table;
        int code = store.Engine->CheckTable(table);
        if (code == FileNotFoundErr) {
            sound = Report(store, "the table " + table.Label + " is missing");
            continue;
        }
        if (code == BadKeyErr) sound = Report(store, "a key of " + table.Label + " is missing");
        else if (code != NoError) sound = Report(store, table.Label + " cannot be checked: " + Why(store.Engine->Failure()));
        std::vector<StoredRow> rows;
        if (!ReadAll(store, table, rows)) {
            sound = false;
            continue;
        }
        counts[table.Label] = rows.size();
        if (!entry.StandardRows) continue;
        // The form fills its drop lists from these rows and copies their values into projects.
        if (rows.empty()) sound = Report(store, "the lookup table " + table.Label + " has no rows");
        const FieldDef& value = table.Fields[1];
        size_t unusable = 0;
        for (const StoredRow& row : rows) unusable += UsableValue(value, row[1]) ? 0 : 1;
        if (unusable)
            sound = Report(store, std::to_string(unusable) + " rows of " + table.Label + " have a " + value.Column +
                                      " the program cannot use");
        size_t missing = 0;
        for (const StoredRow& standard : StandardRows(entry)) {
            bool found = false;
            for (const StoredRow& row : rows) found = found || SameRow(row, standard);
            missing += found ? 0 : 1;
        }
        if (missing)
            std::printf("%s: note: %zu of the standard rows of %s are not there\n", argument.c_str(), missing,
                        table.Label.c_str());
    }
    if (!sound) return Failure;
    std::printf("%s: the six tables, their keys and lookup rows are in order; %zu projects, %zu extra strings\n",
                argument.c_str(), counts["RESFile"], counts["ExtraSeg"]);
    return 0;
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

int Copy(const std::string& source, const std::string& target) {
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
    std::printf("copied %zu projects, %zu extra strings and the lookup tables (%zu, %zu, %zu, %zu rows) to %s\n",
                counts["RESFile"], counts["ExtraSeg"], counts["FileOS"], counts["FileType"], counts["CodePage"],
                counts["LangID"], target.c_str());
    return 0;
}

}  // namespace

// A whole number within 32 bits, nothing else.
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

// The work of path, build or export on one project; the status the tool ends with.
int OneProject(const std::string& what, int32_t project, const std::string& expected) {
    std::string why;
    std::string path = what == "path" || !expected.empty() ? ResourceFilePath(project, why) : std::string();
    if (what != "path") {
        // A build names the file it links; a project moved or renamed since would leave it
        // linking the old one.
        if (!expected.empty() && !path.empty() && path != expected) {
            std::fprintf(stderr, "VERDO: project %d now writes %s, not %s: configure the build again\n", project,
                         path.c_str(), expected.c_str());
            return Failure;
        }
        return ExportRESFile(project, what == "build" ? BuildTimeRun : BuildKeepingNumbers) ? 0 : Failure;
    }
    if (path.empty()) {
        std::fprintf(stderr, "VERDO: %s\n", why.c_str());
        return Failure;
    }
    std::printf("%s\n", path.c_str());
    return 0;
}

// On the store that verdo beside this tool uses, started as verdo starts: the full name
// of a project's resource file, for a build that links it; the build-time run, which
// says in its status whether the file was written, so that a build stops without a new
// one; or the same run keeping the numbers (a release rebuild). VERDO's own line on
// standard error says why not.
int ForProject(const std::string& what, const std::string& argument, const std::string& expected) {
    int32_t number = 0;
    if (!ProjectNumberOf(argument, number)) {
        std::fprintf(stderr, "verdo-store: %s is not a project number\n", argument.c_str());
        return Usage;
    }
    int status = 0;
    // A store that cannot be opened ends the run from deep inside; a tool says so in its status.
    GlobalMessages().SetHaltHandler([] {
        std::fflush(nullptr);
        std::_Exit(Failure);
    });
    RunProgram(ModuleFileName(), argument, [&](int32_t project) {
        // One opening of the store serves the look-up and the export.
        FileManager& res = *Access_RESFile;
        res.Open();
        status = OneProject(what, project, expected);
        res.Close();
    }, nullptr);
    // Startup ends the run before the store is opened when its folder cannot be used.
    return status == 0 && !StoreFolderProblem.empty() ? Failure : status;
}

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 2 && arguments[0] == "path") return ForProject(arguments[0], arguments[1], "");
    if ((arguments.size() == 2 || arguments.size() == 3) && (arguments[0] == "build" || arguments[0] == "export"))
        return ForProject(arguments[0], arguments[1], arguments.size() == 3 ? arguments[2] : "");
    RegisterStoreTables();
    if (arguments.size() == 3 && arguments[0] == "copy") return Copy(arguments[1], arguments[2]);
    if (arguments.size() == 2 && arguments[0] == "check") return Check(arguments[1]);
    PrintUsage();
    return Usage;
}
