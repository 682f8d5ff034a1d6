#pragma once
#include <QString>
#include <string>
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

// The bytes a field held when a control last showed it: while they are unchanged, the
// program has put no value of its own into the field since.
class FieldSnapshot {
public:
    void Take(const FieldRef& ref);
    bool Holds(const FieldRef& ref) const;

private:
    std::string bytes_;
};

// A control's text stands for the field's value when it differs from what the field
// shows only by blanks at its end, as the user may have typed them.
bool ShowsFieldText(const QString& text, const QString& fieldText);

// Numeric fields as whole numbers; 0 for other types.
long long FieldNumber(const FieldRef& ref);
void StoreFieldNumber(const FieldRef& ref, long long value);

}  // namespace verdo
