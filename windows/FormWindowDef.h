#pragma once
#include <string>

#include "runtime/datetime/DateTime.h"
#include "runtime/window/WindowDef.h"

namespace verdo {

// What the project form shows besides the project: the last-saved date the project had
// when the form opened. Cleared at every opening of the form.
struct FormLocalValues {
    Date TempLastSaved;
};
extern FormLocalValues FormLocals;

// The project form: the General, Advanced Settings, Extra Segments and Notes tabs, the
// import of 1.0 files, OK and Cancel.
const WindowDef& FormWindowDef();

// The columns of the extra items' list.
extern const std::string ExtraSegListFormat;

}  // namespace verdo
