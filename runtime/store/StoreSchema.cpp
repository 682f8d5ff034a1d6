#include "runtime/store/StoreSchema.h"

#include <strings.h>

namespace verdo {
namespace schema {

namespace {
bool IsText(FieldType type) { return type == FieldType::String || type == FieldType::Memo; }

bool InNoCaseKey(const TableDef& table, const FieldDef& field) {
    for (const KeyDef& key : table.Keys)
        for (size_t component : key.Components)
            if (key.NoCase && &table.Fields[component] == &field) return true;
    return false;
}
}  // namespace

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

std::vector<const FieldDef*> StoredFields(const TableDef& table) {
    std::vector<const FieldDef*> fields;
    for (const FieldDef& f : table.Fields)
        if (f.Type != FieldType::Group) fields.push_back(&f);
    return fields;
}

std::string IndexName(const KeyDef& key) {
    std::string name = key.Label;
    for (char& c : name)
        if (c == ':') c = '_';
    return name;
}

std::string CreateTableSql(const TableDef& table) {
    std::string sql = "CREATE TABLE " + Quoted(table.Label) + " (";
    bool first = true;
    for (const FieldDef* f : StoredFields(table)) {
        if (!first) sql += ", ";
        first = false;
        sql += Quoted(f->Column);
        if (IsText(f->Type))
            sql += std::string(" TEXT") + (InNoCaseKey(table, *f) ? " COLLATE NOCASE" : "") + " NOT NULL DEFAULT ''";
        else if (f->Type == FieldType::RawBytes)
            sql += " BLOB NOT NULL DEFAULT x''";
        else
            sql += " INTEGER NOT NULL DEFAULT 0";
    }
    return sql + ")";
}

std::string OrderedColumn(const TableDef& table, const KeyDef& key, size_t component) {
    // Case-insensitive text columns carry their collation in the table itself, so that
    // walks compare positions in the index's order and the index serves them.
    return Quoted(table.Fields[key.Components[component]].Column);
}

std::string NotEmptyCondition(const TableDef& table, const KeyDef& key) {
    if (!key.ExcludeEmpty) return "1";
    std::string sql = "NOT (";
    for (size_t i = 0; i < key.Components.size(); ++i) {
        const FieldDef& f = table.Fields[key.Components[i]];
        if (i) sql += " AND ";
        sql += Quoted(f.Column) + (IsText(f.Type) ? " = ''" : f.Type == FieldType::RawBytes ? " = x''" : " = 0");
    }
    return sql + ")";
}

std::string CreateIndexSql(const TableDef& table, const KeyDef& key) {
    std::string sql = std::string("CREATE ") + (key.Unique ? "UNIQUE " : "") + "INDEX IF NOT EXISTS " +
                      Quoted(IndexName(key)) + " ON " + Quoted(table.Label) + " (";
    for (size_t i = 0; i < key.Components.size(); ++i) {
        if (i) sql += ", ";
        const FieldDef& f = table.Fields[key.Components[i]];
        sql += Quoted(f.Column) + (key.NoCase && IsText(f.Type) ? " COLLATE NOCASE" : " COLLATE BINARY");
    }
    sql += ")";
    if (key.ExcludeEmpty) sql += " WHERE " + NotEmptyCondition(table, key);
    return sql;
}

std::string SelectColumns(const TableDef& table) {
    std::string sql = "rowid";
    for (const FieldDef* f : StoredFields(table)) sql += ", " + Quoted(f->Column);
    return sql;
}

std::string InsertSql(const TableDef& table) {
    std::string columns, placeholders;
    for (const FieldDef* f : StoredFields(table)) {
        columns += (columns.empty() ? "" : ", ") + Quoted(f->Column);
        placeholders += placeholders.empty() ? "?" : ", ?";
    }
    return "INSERT INTO " + Quoted(table.Label) + " (" + columns + ") VALUES (" + placeholders + ")";
}

}  // namespace schema

namespace {
std::vector<CatalogEntry>& Entries() {
    static std::vector<CatalogEntry> entries;
    return entries;
}
}  // namespace

void RegisterCatalogTable(const CatalogEntry& entry) {
    for (CatalogEntry& e : Entries())
        if (strcasecmp(e.Table->Label.c_str(), entry.Table->Label.c_str()) == 0) {
            e = entry;
            return;
        }
    Entries().push_back(entry);
}

const std::vector<CatalogEntry>& Catalog() { return Entries(); }

const CatalogEntry* FindCatalogTable(const std::string& label) {
    for (const CatalogEntry& e : Entries())
        if (strcasecmp(e.Table->Label.c_str(), label.c_str()) == 0) return &e;
    return nullptr;
}

}  // namespace verdo
