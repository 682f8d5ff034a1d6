#pragma once
#include <cstddef>  // offsetof, for VERDO_FIELD
#include <string>
#include <vector>

namespace verdo {

enum class FieldType {
    Long,       // signed 32-bit
    ULong,      // unsigned 32-bit
    UShort,     // unsigned 16-bit
    Byte,       // unsigned 8-bit
    String,     // fixed-width single-byte text padded with spaces
    RawBytes,   // fixed-width bytes that are a value, not text
    Date,       // four-byte date
    Time,       // four-byte time
    Group,      // names a run of the fields that follow; holds no storage of its own
    Memo,       // variable text kept with the record
};

// One field of a record layout: its label ("RES:ProjectName"), the store column
// ("ProjectName"), and where it lies in the record buffer.
struct FieldDef {
    std::string Label;
    std::string Column;
    FieldType Type;
    size_t Offset;
    size_t Size;
};

// A key over one or more fields, with the attributes the store honours.
struct KeyDef {
    std::string Label;                 // "RES:RESNumberK"
    std::vector<size_t> Components;    // indexes into the field list
    bool Unique = false;
    bool NoCase = true;
    bool ExcludeEmpty = true;
};

// A field of a packed record struct: its label (prefix, ':', label), its column (the
// member's name), its type and where the member lies.
#define VERDO_FIELD(Rec, Prefix, Name, Label, Type) \
    ::verdo::FieldDef { Prefix ":" Label, #Name, ::verdo::FieldType::Type, offsetof(Rec, Name), sizeof(Rec::Name) }

// The layout of one table: record size, fields in record order (numbered from 1 as
// the field number), the keys.
struct TableDef {
    std::string Label;                 // "RESFile"
    std::string Prefix;                // "RES"
    size_t RecordSize = 0;
    std::vector<FieldDef> Fields;
    std::vector<KeyDef> Keys;

    // Index into Fields, or -1.
    int FieldIndex(const std::string& label) const;
    // The field of that label; a label the table lacks is a fault of the program's own
    // definitions and throws std::out_of_range rather than read past the fields.
    const FieldDef& Field(const std::string& label) const;
    int KeyIndex(const std::string& label) const;
};

// Clears a record: text fields to spaces, everything else to zero.
void ClearRecord(const TableDef& table, void* record);

}  // namespace verdo
