#include "runtime/store/RecordCodec.h"

#include <sqlite3.h>

#include "runtime/store/FieldValues.h"

namespace verdo {

void BindField(sqlite3_stmt* statement, int parameter, const FieldDef& field, const void* record) {
    switch (FormOf(field)) {
        case StoredForm::Number: sqlite3_bind_int64(statement, parameter, NumberOf(field, record)); break;
        case StoredForm::Bytes: {
            std::string_view bytes = BytesOf(field, record);
            sqlite3_bind_blob(statement, parameter, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        case StoredForm::Text: {
            std::string text = TextOf(field, record);
            sqlite3_bind_text(statement, parameter, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
            break;
        }
    }
}

void ReadField(sqlite3_stmt* statement, int column, const FieldDef& field, void* record) {
    switch (FormOf(field)) {
        case StoredForm::Number: SetNumber(field, sqlite3_column_int64(statement, column), record); break;
        case StoredForm::Bytes: {
            const void* blob = sqlite3_column_blob(statement, column);
            size_t n = static_cast<size_t>(sqlite3_column_bytes(statement, column));
            SetBytes(field, blob ? std::string_view(static_cast<const char*>(blob), n) : std::string_view(), record);
            break;
        }
        case StoredForm::Text: {
            const unsigned char* text = sqlite3_column_text(statement, column);
            int n = sqlite3_column_bytes(statement, column);
            SetText(field, text ? std::string_view(reinterpret_cast<const char*>(text), n) : std::string_view(), record);
            break;
        }
    }
}

int BindRecord(sqlite3_stmt* statement, int first, const TableDef& table, const void* record) {
    int parameter = first;
    for (const FieldDef& f : table.Fields)
        if (f.Type != FieldType::Group) BindField(statement, parameter++, f, record);
    return parameter;
}

void ReadRecord(sqlite3_stmt* statement, int first, const TableDef& table, void* record) {
    int column = first;
    for (const FieldDef& f : table.Fields)
        if (f.Type != FieldType::Group) ReadField(statement, column++, f, record);
}

}  // namespace verdo
