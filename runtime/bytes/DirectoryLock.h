#pragma once
#include <optional>
#include <string>

#include "runtime/bytes/UniqueFd.h"

namespace verdo {

// An exclusive lock on a directory, held for the lifetime of the object, that processes
// writing into the same directory take in turn. It is advisory: only writers that ask
// for it wait for each other.
class DirectoryLock {
public:
    // Waits up to waitMs for the lock; nothing when it could not be had (the runtime's
    // last error says why).
    static std::optional<DirectoryLock> Take(const std::string& directory, int waitMs);

private:
    explicit DirectoryLock(int fd) : fd_(fd) {}
    UniqueFd fd_;
};

}  // namespace verdo
