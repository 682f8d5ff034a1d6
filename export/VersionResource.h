#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/Records.h"
#include "export/VersionValues.h"

namespace verdo {

// The complete compiled resource file holding the project's version information:
// the leading empty resource header, the RT_VERSION resource header and the
// VS_VERSIONINFO data with the entries of the values, then the translation.
// Empty (nullopt) when the resource data would reach 65,536 bytes: its length words
// are 16 bits wide, so such a file cannot be written correctly.
std::optional<std::string> ComposeVersionResource(const VersionValues& values);

inline std::optional<std::string> ComposeVersionResource(const RESFileRecord& project,
                                                         const std::vector<ExtraItem>& extras) {
    return ComposeVersionResource(ValuesOf(project, extras));
}

}  // namespace verdo
