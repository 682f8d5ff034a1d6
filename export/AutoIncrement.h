#pragma once
#include "core/Records.h"

namespace verdo {

// Adds each increment step to its version part, modulo 65536, with no carry from one
// part into the next.
void ApplyAutoIncrement(RESFileRecord& project);

}  // namespace verdo
