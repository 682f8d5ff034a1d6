#pragma once
#include <cstdint>
#include <string>

#include "core/Records.h"
#include "export/VersionValues.h"

namespace verdo {

// Reads a project by its number, leaving the shared project buffer as it was. False,
// with the reason in `why` (one line naming the project), when the store cannot be read
// or has no such project.
bool FetchProject(int32_t projectNumber, RESFileRecord& project, std::string& why);

// A project's values as the store holds them now, its extra items included, for the
// files written from them outside a build; false, with `why`, as for FetchProject or
// when its extra items cannot be read.
bool StoredProjectValues(int32_t projectNumber, VersionValues& values, std::string& why);

}  // namespace verdo
