#pragma once
#include <functional>
#include <string>
#include <vector>

#include "runtime/store/FieldDictionary.h"

namespace verdo {

// How a table of the store is laid out in SQL: one column per stored field, one
// index per key. The texts are shared by creation, key rebuilding and every walk.
namespace schema {

// A table's, column's or index's name as SQL takes it.
std::string Quoted(const std::string& name);

// The stored fields of a table (groups hold no storage).
std::vector<const FieldDef*> StoredFields(const TableDef& table);

// "SEG_RESNumberK" for "SEG:RESNumberK".
std::string IndexName(const KeyDef& key);

std::string CreateTableSql(const TableDef& table);
std::string CreateIndexSql(const TableDef& table, const KeyDef& key);

// The condition that keeps records whose key components are all empty out of a key;
// "1" for a key that takes every record.
std::string NotEmptyCondition(const TableDef& table, const KeyDef& key);

// A key component as it is ordered and compared (its collation is the column's).
std::string OrderedColumn(const TableDef& table, const KeyDef& key, size_t component);

// The column list read for a record: rowid first, then the stored fields in order.
std::string SelectColumns(const TableDef& table);

// Adds one record: a parameter per stored field, in order, as BindRecord binds them.
std::string InsertSql(const TableDef& table);

}  // namespace schema

// The tables that belong in a store file, and the rows a new file starts with.
// Creating a store file creates every registered table with its keys and rows.
struct CatalogEntry {
    const TableDef* Table;
    // The standard rows, each as a record image of Table->RecordSize bytes.
    std::function<std::vector<std::string>()> StandardRows;
};

void RegisterCatalogTable(const CatalogEntry& entry);
const std::vector<CatalogEntry>& Catalog();
const CatalogEntry* FindCatalogTable(const std::string& label);

}  // namespace verdo
