#include "runtime/platform/FileDialogs.h"

namespace verdo {

namespace {
FileDialogs* current = nullptr;
}

FileDialogs* CurrentFileDialogs() { return current; }
void SetFileDialogs(FileDialogs* dialogs) { current = dialogs; }

}  // namespace verdo
