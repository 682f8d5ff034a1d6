#pragma once
#include <string>

#include "runtime/store/FieldDictionary.h"

struct sqlite3_stmt;

namespace verdo {

// Moves a field between a record buffer and SQLite in the forms of FieldValues: TEXT,
// BLOB and INTEGER.
void BindField(sqlite3_stmt* statement, int parameter, const FieldDef& field, const void* record);
void ReadField(sqlite3_stmt* statement, int column, const FieldDef& field, void* record);

// Binds every stored field of a record from parameter `first` on; returns the next free one.
int BindRecord(sqlite3_stmt* statement, int first, const TableDef& table, const void* record);
// Reads every stored field of a record from column `first` on.
void ReadRecord(sqlite3_stmt* statement, int first, const TableDef& table, void* record);

}  // namespace verdo
