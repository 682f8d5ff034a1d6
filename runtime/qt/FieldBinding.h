#pragma once
#include <QString>
#include <string_view>

#include "runtime/window/WindowDef.h"

namespace verdo {

// Moving a record field to and from the text a control shows. Record texts are
// single-byte (byte n is U+00nn); widgets show Unicode. Line breaks are CR LF in the
// record and a single line feed in a widget.

// The field's value as shown under a display picture: "@s35" text (its first 35
// characters), "@n-14" number
// ("B" at the end: blank when zero), "@d17"/"@D17B" date, "@T7B" time. Without a
// picture, numbers are plain decimals and dates and times use the short forms.
QString FieldDisplayText(const FieldRef& ref, std::string_view picture);

// Whether a control can edit the field as text (text and numbers; not dates, times
// or raw bytes).
bool FieldTakesText(const FieldRef& ref);

// The most characters an entry for the field takes; 0 for no limit of its own.
int FieldTextLimit(const FieldRef& ref, std::string_view picture);

// Stores edited text into the field: texts are cut at the field's width, numbers are
// kept within the range of their type. False when the field cannot take the text
// (an unreadable number, a date); the field is then unchanged.
bool StoreFieldText(const FieldRef& ref, const QString& text);

// Numeric fields as whole numbers; 0 for other types.
long long FieldNumber(const FieldRef& ref);
void StoreFieldNumber(const FieldRef& ref, long long value);

}  // namespace verdo
