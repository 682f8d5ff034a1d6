#include "runtime/bytes/DirectoryLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "runtime/RuntimeError.h"

namespace verdo {

std::optional<DirectoryLock> DirectoryLock::Take(const std::string& directory, int waitMs) {
    int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        SetLastError(FileSystemErr, errno, std::strerror(errno));
        return std::nullopt;
    }
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return DirectoryLock(fd);
        int error = errno;
        if ((error != EWOULDBLOCK && error != EINTR) || std::chrono::steady_clock::now() >= until) {
            ::close(fd);
            SetLastError(FileSystemErr, error, std::strerror(error));
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

}  // namespace verdo
