#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/Records.h"

namespace verdo {

// One extra version string of a project, as stored (single-byte texts, trailing
// spaces allowed).
struct ExtraItem {
    std::string Name;
    std::string Data;
};

// The complete compiled resource file holding the project's version information:
// the leading empty resource header, the RT_VERSION resource header and the
// VS_VERSIONINFO data with the non-empty standard strings, then the extras in the
// order given, then the translation.
// Empty (nullopt) when the resource data would reach 65,536 bytes: its length words
// are 16 bits wide, so such a file cannot be written correctly.
std::optional<std::string> ComposeVersionResource(const RESFileRecord& project, const std::vector<ExtraItem>& extras);

}  // namespace verdo
