#pragma once
#include <cstdint>
#include <string>

namespace verdo {

// Where a build came from, as far as it can be told; empty texts are not known.
struct BuildOrigin {
    std::string Commit;
    uint8_t Dirty = 2;  // the work tree had changes: 0 no, 1 yes, 2 not known
    std::string Job;    // the CI job's address
    std::string Host;
    std::string User;
};

inline constexpr uint8_t DirtyUnknown = 2;

// The commit from VERDO_COMMIT or a CI system's own variable, else from the git
// repository around the current folder, asked of the user's git; whether its work tree
// had changes, unless a variable gave the commit or the check is off (VERDO_DIRTY_CHECK,
// which wins, or the key DirtyCheck of the section [Build] of `settingsFile`: on unless
// 0); the CI job's address from VERDO_BUILD_URL or the CI system's variables. A commit
// longer than 64 characters is cut there, one holding a control character is not taken.
BuildOrigin FindBuildOrigin(const std::string& settingsFile);

}  // namespace verdo
