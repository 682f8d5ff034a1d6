#include "export/tool/StoreAccess.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

#include "runtime/store/FieldValues.h"
#include "runtime/store/StoreEngines.h"

namespace verdo::tool {

namespace {

constexpr size_t Batch = 500;

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

}  // namespace

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

bool ReadAll(Store& store, const TableDef& table, std::vector<StoredRow>& rows, std::vector<int64_t>* rowIds) {
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

}  // namespace verdo::tool
