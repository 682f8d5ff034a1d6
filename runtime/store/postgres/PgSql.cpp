#include "runtime/store/postgres/PgSql.h"

#include "runtime/store/FieldValues.h"
#include "runtime/store/StoreSchema.h"

namespace verdo {
namespace pgsql {

namespace {
constexpr const char* Upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr const char* Lower = "abcdefghijklmnopqrstuvwxyz";
}  // namespace

std::string Ident(const std::string& name) {
    std::string folded = "\"";
    for (char c : name) folded += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return folded + "\"";
}

std::string TableName(const TableDef& table) { return Ident(table.Label); }

std::string IndexName(const KeyDef& key) { return Ident(schema::IndexName(key)); }

bool Folded(const TableDef& table, const KeyDef& key, size_t component) {
    return key.NoCase && FormOf(table.Fields[key.Components[component]]) == StoredForm::Text;
}

std::string KeyTerm(const TableDef& table, const KeyDef& key, size_t component) {
    std::string column = Ident(table.Fields[key.Components[component]].Column);
    if (!Folded(table, key, component)) return column;
    return "translate(" + column + ", '" + Upper + "', '" + Lower + "')";
}

std::string FoldText(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string NotEmpty(const TableDef& table, const KeyDef& key) {
    if (!key.ExcludeEmpty) return "true";
    std::string sql = "NOT (";
    for (size_t i = 0; i < key.Components.size(); ++i) {
        const FieldDef& f = table.Fields[key.Components[i]];
        if (i) sql += " AND ";
        StoredForm form = FormOf(f);
        sql += Ident(f.Column) + (form == StoredForm::Text ? " = ''" : form == StoredForm::Bytes ? " = '\\x'" : " = 0");
    }
    return sql + ")";
}

std::string CreateTable(const TableDef& table) {
    std::string sql = "CREATE TABLE IF NOT EXISTS " + TableName(table) +
                      " (\"rowid\" bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY";
    for (const FieldDef* f : schema::StoredFields(table)) {
        sql += ", " + Ident(f->Column);
        switch (FormOf(*f)) {
            case StoredForm::Text: sql += " text COLLATE \"C\" NOT NULL DEFAULT ''"; break;
            case StoredForm::Bytes: sql += " bytea NOT NULL DEFAULT '\\x'"; break;
            case StoredForm::Number: sql += " bigint NOT NULL DEFAULT 0"; break;
        }
    }
    return sql + ")";
}

std::string CreateIndex(const TableDef& table, const KeyDef& key) {
    std::string sql = std::string("CREATE ") + (key.Unique ? "UNIQUE " : "") + "INDEX IF NOT EXISTS " +
                      IndexName(key) + " ON " + TableName(table) + " (";
    for (size_t i = 0; i < key.Components.size(); ++i) sql += (i ? ", " : "") + KeyTerm(table, key, i);
    // Duplicates follow in row order; a unique key has none.
    if (!key.Unique) sql += ", \"rowid\"";
    sql += ")";
    if (key.ExcludeEmpty) sql += " WHERE " + NotEmpty(table, key);
    return sql;
}

std::string SelectList(const TableDef& table) {
    std::string sql = "\"rowid\"";
    for (const FieldDef* f : schema::StoredFields(table)) sql += ", " + Ident(f->Column);
    return sql;
}

std::string Insert(const TableDef& table, size_t rows) {
    std::vector<const FieldDef*> fields = schema::StoredFields(table);
    std::string columns;
    for (const FieldDef* f : fields) columns += (columns.empty() ? "" : ", ") + Ident(f->Column);
    std::string values;
    size_t parameter = 1;
    for (size_t r = 0; r < rows; ++r) {
        values += r ? ", (" : "(";
        for (size_t i = 0; i < fields.size(); ++i) values += (i ? ", $" : "$") + std::to_string(parameter++);
        values += ")";
    }
    return "INSERT INTO " + TableName(table) + " (" + columns + ") VALUES " + values + " RETURNING \"rowid\"";
}

}  // namespace pgsql
}  // namespace verdo
