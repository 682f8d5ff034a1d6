#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/store/FieldDictionary.h"

namespace verdo {

// A field as every store engine keeps it: a whole number (numbers, a date as yyyymmdd, a
// time as hhmmsscc), UTF-8 text with trailing spaces removed (each byte of a record's
// single-byte text is the character of the same number), or raw bytes.
enum class StoredForm { Number, Text, Bytes };

StoredForm FormOf(const FieldDef& field);

int64_t NumberOf(const FieldDef& field, const void* record);
std::string TextOf(const FieldDef& field, const void* record);
std::string_view BytesOf(const FieldDef& field, const void* record);

// The reverse moves: a number is cut to the field's width, text that the record cannot
// hold reads as '?' and is cut at the width, bytes are cut or filled with zeros.
void SetNumber(const FieldDef& field, int64_t value, void* record);
void SetText(const FieldDef& field, std::string_view utf8, void* record);
void SetBytes(const FieldDef& field, std::string_view bytes, void* record);

}  // namespace verdo
