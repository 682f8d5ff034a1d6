#pragma once
#include <string>

#include "runtime/store/FieldDictionary.h"

namespace verdo {

// How a table of the store is laid out on the server. Names are written in lower case,
// as the server folds names written without quotes, so scripts name tables and columns
// as on a store file (RESFile, ProjectName). Text is compared byte by byte in UTF-8
// (collation "C"); a case-insensitive key compares its text with the ASCII letters folded
// to lower case, as the store file's NOCASE does, and leaves every other character as it
// is. A row number from an identity column, "rowid", keeps rows in the order they were
// added and ends each key that allows duplicates, so that equal keys follow in that order.
namespace pgsql {

std::string Ident(const std::string& name);
std::string TableName(const TableDef& table);
std::string IndexName(const KeyDef& key);

// A key component as it is ordered and compared.
std::string KeyTerm(const TableDef& table, const KeyDef& key, size_t component);
// Whether a key component is text folded for comparison: its values are folded alike.
bool Folded(const TableDef& table, const KeyDef& key, size_t component);
// UTF-8 text with its ASCII letters in lower case.
std::string FoldText(std::string text);

// The condition that keeps records whose key components are all empty out of a key.
std::string NotEmpty(const TableDef& table, const KeyDef& key);

std::string CreateTable(const TableDef& table);
std::string CreateIndex(const TableDef& table, const KeyDef& key);
// "rowid" first, then the stored fields in order.
std::string SelectList(const TableDef& table);
// Adds `rows` rows of one parameter per stored field; gives back each row's number.
std::string Insert(const TableDef& table, size_t rows);

}  // namespace pgsql
}  // namespace verdo
