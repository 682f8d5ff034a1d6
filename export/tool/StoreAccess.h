#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/RuntimeError.h"
#include "runtime/store/StoreEngine.h"
#include "runtime/store/StoreSchema.h"

namespace verdo::tool {

// A store named on the command line: a store file's path or a connection string.
struct Store {
    std::string Argument;  // as the user wrote it
    std::string Name;      // as the store layer names it
    std::shared_ptr<StoreEngine> Engine;
};

Store Named(const std::string& argument);
// The store's words for a failure.
std::string Why(const RuntimeErrorState& failure);
// Says what is wrong with the store in one line; false.
bool Report(const Store& store, const std::string& what);
// Opens the store through the store layer; false, said, when it cannot be.
bool Open(Store& store, bool write);
// The tables of a store, in the order of the catalogue.
std::vector<const TableDef*> Tables();
// Every row of a table as stored, in the order the rows were added, read in batches;
// false, said, when the table cannot be read.
bool ReadAll(Store& store, const TableDef& table, std::vector<StoredRow>& rows, std::vector<int64_t>* rowIds = nullptr);
bool SameRow(const StoredRow& a, const StoredRow& b);
// A lookup table's standard rows, as the store holds them.
std::vector<StoredRow> StandardRows(const CatalogEntry& entry);

}  // namespace verdo::tool
