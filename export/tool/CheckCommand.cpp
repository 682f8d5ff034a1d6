// verdo-store check STORE: whether a store has its tables, their keys and usable lookup
// rows.
#include <cctype>
#include <cstdio>
#include <map>

#include "export/tool/StoreAccess.h"
#include "export/tool/ToolCommands.h"
#include "export/tool/ToolSupport.h"
#include "runtime/store/FieldValues.h"

namespace verdo::tool {

namespace {

// A value of a lookup table's row as the program needs it: raw bytes of the field's width,
// or as many hexadecimal digits as the field is wide.
bool UsableValue(const FieldDef& field, const StoredValue& value) {
    if (FormOf(field) == StoredForm::Bytes) return value.Data.size() == field.Size;
    if (value.Data.size() != field.Size) return false;
    for (char c : value.Data)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

}  // namespace

int Check(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) return Misused;
    const std::string& argument = arguments[0];
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
    std::printf("%s: the tables, their keys and lookup rows are in order; %zu projects, %zu extra strings, %zu "
                "builds on record\n", argument.c_str(), counts["RESFile"], counts["ExtraSeg"], counts["RESBuild"]);
    return Done;
}


}  // namespace verdo::tool
