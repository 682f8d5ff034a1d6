#include "runtime/store/FieldValues.h"

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

StoredForm FormOf(const FieldDef& field) {
    switch (field.Type) {
        case FieldType::String:
        case FieldType::Memo: return StoredForm::Text;
        case FieldType::RawBytes: return StoredForm::Bytes;
        default: return StoredForm::Number;
    }
}

int64_t NumberOf(const FieldDef& field, const void* record) {
    switch (field.Type) {
        case FieldType::Long: return Load<int32_t>(record, field.Offset);
        case FieldType::ULong: return Load<uint32_t>(record, field.Offset);
        case FieldType::UShort: return Load<uint16_t>(record, field.Offset);
        case FieldType::Byte: return Load<uint8_t>(record, field.Offset);
        case FieldType::Date: return Load<Date>(record, field.Offset).ToNumber();
        case FieldType::Time: return Load<Time>(record, field.Offset).ToNumber();
        default: return 0;
    }
}

std::string TextOf(const FieldDef& field, const void* record) {
    const char* at = static_cast<const char*>(record) + field.Offset;
    return Latin1ToUtf8(TrimRight(std::string_view(at, field.Size)));
}

std::string_view BytesOf(const FieldDef& field, const void* record) {
    return std::string_view(static_cast<const char*>(record) + field.Offset, field.Size);
}

void SetNumber(const FieldDef& field, int64_t number, void* record) {
    switch (field.Type) {
        case FieldType::Long: Store(record, field.Offset, static_cast<int32_t>(number)); break;
        case FieldType::ULong: Store(record, field.Offset, static_cast<uint32_t>(number)); break;
        case FieldType::UShort: Store(record, field.Offset, static_cast<uint16_t>(number)); break;
        case FieldType::Byte: Store(record, field.Offset, static_cast<uint8_t>(number)); break;
        case FieldType::Date: Store(record, field.Offset, Date::FromNumber(number)); break;
        case FieldType::Time: Store(record, field.Offset, Time::FromNumber(number)); break;
        default: break;
    }
}

void SetText(const FieldDef& field, std::string_view utf8, void* record) {
    AssignField(static_cast<char*>(record) + field.Offset, field.Size, Utf8ToLatin1(utf8));
}

void SetBytes(const FieldDef& field, std::string_view bytes, void* record) {
    char* at = static_cast<char*>(record) + field.Offset;
    std::memset(at, 0, field.Size);
    if (!bytes.empty()) std::memcpy(at, bytes.data(), bytes.size() < field.Size ? bytes.size() : field.Size);
}

}  // namespace verdo
