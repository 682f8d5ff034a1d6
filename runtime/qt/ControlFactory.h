#pragma once
#include <memory>

#include "runtime/qt/QtControl.h"

namespace verdo {

using ControlMaker = std::unique_ptr<QtControl> (*)(const ControlDef& def, int number, ControlHost& host);

// Builds a control of each kind from its definition. Every kind has one maker; a new
// kind of control comes with a maker of its own and one line in the table of makers.
class ControlFactory {
public:
    // Adds or replaces the maker of a kind.
    static void Register(ControlKind kind, ControlMaker maker);
    // A kind without a maker gets a control without a widget, so that the numbering
    // of the controls after it stays the same.
    static std::unique_ptr<QtControl> Create(const ControlDef& def, int number, ControlHost& host);
};

}  // namespace verdo
