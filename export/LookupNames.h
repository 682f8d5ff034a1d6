#pragma once
#include "export/VersionValues.h"

namespace verdo {

// Puts the names the lookup tables give the values' language, code page, operating
// system and file type into them; a code no row has keeps an empty name. The tables'
// record buffers are as they were afterwards.
void LookUpNames(VersionValues& values);

}  // namespace verdo
