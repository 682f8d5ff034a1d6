#include "runtime/store/RecordCodec.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstring>

#include "runtime/datetime/DateTime.h"
#include "runtime/text/Text.h"

namespace verdo {

namespace {
template <typename T>
T Load(const void* record, size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const char*>(record) + offset, sizeof(T));
    return value;
}

template <typename T>
void Store(void* record, size_t offset, T value) {
    std::memcpy(static_cast<char*>(record) + offset, &value, sizeof(T));
}
}  // namespace

void BindField(sqlite3_stmt* statement, int parameter, const FieldDef& field, const void* record) {
    const char* at = static_cast<const char*>(record) + field.Offset;
    switch (field.Type) {
        case FieldType::Long: sqlite3_bind_int64(statement, parameter, Load<int32_t>(record, field.Offset)); break;
        case FieldType::ULong: sqlite3_bind_int64(statement, parameter, Load<uint32_t>(record, field.Offset)); break;
        case FieldType::UShort: sqlite3_bind_int64(statement, parameter, Load<uint16_t>(record, field.Offset)); break;
        case FieldType::Byte: sqlite3_bind_int64(statement, parameter, Load<uint8_t>(record, field.Offset)); break;
        case FieldType::Date:
            sqlite3_bind_int64(statement, parameter, Load<Date>(record, field.Offset).ToNumber());
            break;
        case FieldType::Time:
            sqlite3_bind_int64(statement, parameter, Load<Time>(record, field.Offset).ToNumber());
            break;
        case FieldType::RawBytes: sqlite3_bind_blob(statement, parameter, at, static_cast<int>(field.Size), SQLITE_TRANSIENT); break;
        case FieldType::String:
        case FieldType::Memo: {
            std::string text = Latin1ToUtf8(TrimRight(std::string_view(at, field.Size)));
            sqlite3_bind_text(statement, parameter, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
            break;
        }
        case FieldType::Group: break;
    }
}

void ReadField(sqlite3_stmt* statement, int column, const FieldDef& field, void* record) {
    char* at = static_cast<char*>(record) + field.Offset;
    sqlite3_int64 number = sqlite3_column_int64(statement, column);
    switch (field.Type) {
        case FieldType::Long: Store(record, field.Offset, static_cast<int32_t>(number)); break;
        case FieldType::ULong: Store(record, field.Offset, static_cast<uint32_t>(number)); break;
        case FieldType::UShort: Store(record, field.Offset, static_cast<uint16_t>(number)); break;
        case FieldType::Byte: Store(record, field.Offset, static_cast<uint8_t>(number)); break;
        case FieldType::Date: Store(record, field.Offset, Date::FromNumber(number)); break;
        case FieldType::Time: Store(record, field.Offset, Time::FromNumber(number)); break;
        case FieldType::RawBytes: {
            std::memset(at, 0, field.Size);
            const void* blob = sqlite3_column_blob(statement, column);
            size_t n = static_cast<size_t>(sqlite3_column_bytes(statement, column));
            if (blob) std::memcpy(at, blob, n < field.Size ? n : field.Size);
            break;
        }
        case FieldType::String:
        case FieldType::Memo: {
            const unsigned char* text = sqlite3_column_text(statement, column);
            int n = sqlite3_column_bytes(statement, column);
            std::string value = text ? Utf8ToLatin1(std::string_view(reinterpret_cast<const char*>(text), n)) : "";
            AssignField(at, field.Size, value);
            break;
        }
        case FieldType::Group: break;
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
