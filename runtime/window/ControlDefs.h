#pragma once
#include <string>
#include <utility>

#include "runtime/window/WindowDef.h"

namespace verdo {

// A control of a window definition with what every definition sets: name, kind, place
// and size in dialog units, text, and the tab or sheet it lies on.
inline ControlDef MakeControl(std::string name, ControlKind kind, int x, int y, int width = 0, int height = 0,
                              std::string text = {}, std::string parent = {}) {
    ControlDef c;
    c.Name = std::move(name);
    c.Kind = kind;
    c.X = x;
    c.Y = y;
    c.Width = width;
    c.Height = height;
    c.Text = std::move(text);
    c.Parent = std::move(parent);
    return c;
}

// The control showing the field of `table` with this label in `record`.
inline ControlDef BoundTo(ControlDef c, void* record, const TableDef& table, const char* label) {
    c.Use = FieldRef{record, &table.Field(label)};
    return c;
}

}  // namespace verdo
