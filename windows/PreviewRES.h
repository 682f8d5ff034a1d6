#pragma once
#include <cstdint>

namespace verdo {

// Shows a project the way a file-properties dialog would show an application built
// with it: its description, copyright, file version and version strings among fixed
// sample texts. Modal on the calling thread; writes nothing.
void PreviewRES(int32_t resourceNumber);

}  // namespace verdo
