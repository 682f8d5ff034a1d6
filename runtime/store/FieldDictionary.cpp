#include "runtime/store/FieldDictionary.h"

#include <strings.h>

#include <cstring>

namespace verdo {

int TableDef::FieldIndex(const std::string& label) const {
    for (size_t i = 0; i < Fields.size(); ++i)
        if (strcasecmp(Fields[i].Label.c_str(), label.c_str()) == 0) return static_cast<int>(i);
    return -1;
}

const FieldDef& TableDef::Field(const std::string& label) const {
    return Fields.at(static_cast<size_t>(FieldIndex(label)));
}

int TableDef::KeyIndex(const std::string& label) const {
    for (size_t i = 0; i < Keys.size(); ++i)
        if (strcasecmp(Keys[i].Label.c_str(), label.c_str()) == 0) return static_cast<int>(i);
    return -1;
}

void ClearRecord(const TableDef& table, void* record) {
    auto* bytes = static_cast<unsigned char*>(record);
    std::memset(bytes, 0, table.RecordSize);
    for (const FieldDef& f : table.Fields)
        if (f.Type == FieldType::String || f.Type == FieldType::Memo) std::memset(bytes + f.Offset, ' ', f.Size);
}

}  // namespace verdo
