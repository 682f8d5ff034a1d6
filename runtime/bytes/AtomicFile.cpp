#include "runtime/bytes/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <random>

#include "runtime/RuntimeError.h"

namespace verdo {

namespace {

bool Fail(int error) {
    SetLastError(FileSystemErr, error, std::strerror(error));
    return false;
}

// A name beside the target that no one else uses. open() with O_EXCL and mode 0666
// does what mkstemp does, except that the kernel applies the umask (and any default
// ACL of the directory) itself: mkstemp's fixed 0600 would need the umask read back,
// and umask() can only be read by changing it, for every thread of the process at once.
std::string TempNameFor(const std::string& path) {
    static std::atomic<uint64_t> counter{0};
    // Seeded from the clock rather than std::random_device, which may throw; O_EXCL
    // keeps the name unique anyway, the seed only makes a clash unlikely.
    static thread_local std::mt19937_64 random{static_cast<uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count())};
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    static constexpr char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string suffix;
    uint64_t value = random() ^ (static_cast<uint64_t>(::getpid()) << 20) ^ counter.fetch_add(1);
    for (int i = 0; i < 10; ++i, value /= 36) suffix.push_back(digits[value % 36]);
    return dir + "." + base + "." + suffix + ".tmp";
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = TempNameFor(path);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return Fail(errno);
    }
    if (fd < 0) return Fail(EEXIST);
    // A file written anew keeps the permissions its user gave the old one.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);

    // The data must be on disk before the rename makes it the target, or a crash could
    // leave an empty file under the target's name.
    if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) {
        int error = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return Fail(error);
    }
    if (::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
        int error = errno;
        ::unlink(temp.c_str());
        return Fail(error);
    }
    return true;
}

}  // namespace verdo
