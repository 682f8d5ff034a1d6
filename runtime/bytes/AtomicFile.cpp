#include "runtime/bytes/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <optional>
#include <random>

#include "runtime/RuntimeError.h"
#include "runtime/bytes/DiskCalls.h"
#include "runtime/bytes/UniqueFd.h"

namespace verdo {

namespace {

constexpr std::string_view kTempEnd = ".tmp";
constexpr size_t kTokenLength = 6;

CreateOutcome Fail(int error) {
    SetLastError(FileSystemErr, error, std::strerror(error));
    return CreateOutcome::Failed;
}

struct Target {
    std::string path;
    std::string dir;  // empty, or ending in '/'
    std::string base;
    std::string Directory() const { return dir.empty() ? "." : dir; }
};

Target Split(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {path, {}, path};
    return {path, path.substr(0, slash + 1), path.substr(slash + 1)};
}

bool IsToken(std::string_view text, size_t length) {
    if (text.size() != length) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'))) return false;
    return true;
}

// The writer's process number is in the name, so that a later writer can tell a file
// whose writer was killed from one that is still being written.
std::string TempName(const Target& target) {
    static std::atomic<uint64_t> counter{0};
    // Seeded from the clock rather than std::random_device, which may throw; O_EXCL and
    // linkat keep the name unique anyway, the seed only makes a clash unlikely.
    static thread_local std::mt19937_64 random{static_cast<uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count())};
    static constexpr char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string token;
    uint64_t value = random() ^ counter.fetch_add(1);
    for (size_t i = 0; i < kTokenLength; ++i, value /= 36) token.push_back(digits[value % 36]);
    return target.dir + "." + target.base + "." + std::to_string(::getpid()) + "." + token + std::string(kTempEnd);
}

pid_t ParsePid(std::string_view digits) {
    if (digits.empty() || digits.size() > 9) return 0;
    pid_t pid = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

bool WriterGone(pid_t pid) { return pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH; }

// A writer holds a lock on its file for as long as it works on it. That also protects a
// writer whose process number means something else here, such as one in another
// container that shares the folder.
bool Unlocked(int dirFd, const char* name) {
    UniqueFd fd(::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    return fd.Valid() && ::flock(fd.Get(), LOCK_EX | LOCK_NB) == 0;
}

bool OlderThanAnHour(int dirFd, const char* name) {
    struct stat info {};
    return ::fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
           info.st_mtime < std::time(nullptr) - 3600;
}

// Whether a directory entry is a temporary file of ours for this target that no one
// will finish any more.
bool Abandoned(int dirFd, const char* entry, const Target& target) {
    std::string_view name = entry;
    std::string prefix = "." + target.base + ".";
    if (name.starts_with(prefix) && name.ends_with(kTempEnd)) {
        std::string_view middle = name.substr(prefix.size(), name.size() - prefix.size() - kTempEnd.size());
        size_t dot = middle.find('.');
        // Earlier versions named it without the writer, and took milliseconds to write it.
        if (dot == std::string_view::npos) return IsToken(middle, 10) && OlderThanAnHour(dirFd, entry);
        return IsToken(middle.substr(dot + 1), kTokenLength) && WriterGone(ParsePid(middle.substr(0, dot))) &&
               Unlocked(dirFd, entry);
    }
    // Earlier versions built a new store as "<name>.new-<pid>" with the engine's side files.
    std::string store = target.base + ".new-";
    if (!name.starts_with(store)) return false;
    std::string_view pid = name.substr(store.size());
    for (std::string_view side : {"-journal", "-wal", "-shm"})
        if (pid.ends_with(side)) pid.remove_suffix(side.size());
    return WriterGone(ParsePid(pid));
}

void RemoveAbandoned(const Target& target) {
    DIR* dir = ::opendir(target.Directory().c_str());
    if (!dir) return;
    while (dirent* entry = ::readdir(dir))
        if (Abandoned(::dirfd(dir), entry->d_name, target)) ::unlinkat(::dirfd(dir), entry->d_name, 0);
    ::closedir(dir);
}

// 0666 less the umask. A file without a name is not always given the umask by the
// kernel, so it is applied here; /proc is the only way to read it without setting it
// for every thread of the process at once.
std::optional<mode_t> NewFileMode() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("Umask:")) return static_cast<mode_t>(0666 & ~std::strtoul(line.c_str() + 6, nullptr, 8));
    return std::nullopt;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = Disk().Write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// The data must be on disk before the file gets the target's name, or a crash could
// leave an empty file there. A file written anew keeps the permissions its user gave
// the old one.
bool Fill(int fd, std::string_view bytes, const struct stat* old) {
    ::flock(fd, LOCK_EX);
    if (old) ::fchmod(fd, old->st_mode & 07777);
    return WriteAll(fd, bytes) && Disk().Fsync(fd) == 0;
}

// The new name must survive a crash as well as the data under it.
void SyncDirectory(const Target& target) {
    UniqueFd dir(::open(target.Directory().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Valid()) Disk().Fsync(dir.Get());
}

bool LinkUnnamed(int fd, const std::string& name) { return Disk().Link(fd, name.c_str()) == 0; }

// Names a complete unnamed file: at the target itself when creating (linkat refuses an
// existing name), through a temporary name and a rename when replacing. Nothing when
// the file system or a missing /proc refuses names to unnamed files.
std::optional<CreateOutcome> NameUnnamed(int fd, const Target& target, bool replace) {
    if (!replace) {
        if (LinkUnnamed(fd, target.path)) return CreateOutcome::Created;
        if (errno == EEXIST) return CreateOutcome::AlreadyThere;
        return std::nullopt;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = TempName(target);
        if (!LinkUnnamed(fd, temp)) {
            if (errno == EEXIST) continue;
            return std::nullopt;
        }
        if (Disk().Rename(temp.c_str(), target.path.c_str()) != 0) {
            int error = errno;
            ::unlink(temp.c_str());
            return Fail(error);
        }
        return CreateOutcome::Created;
    }
    return std::nullopt;
}

// Puts a complete temporary file at the target's name unless that name is taken.
CreateOutcome RenameIfAbsent(const std::string& temp, const Target& target) {
    if (Disk().RenameNoReplace(temp.c_str(), target.path.c_str()) == 0)
        return CreateOutcome::Created;
    int error = errno;
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP) {
        ::unlink(temp.c_str());
        return error == EEXIST ? CreateOutcome::AlreadyThere : Fail(error);
    }
    // The file system can neither link nor refuse to rename over a name: creators of a
    // name in this directory take turns by a lock on it.
    UniqueFd dir(::open(target.Directory().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Valid()) ::flock(dir.Get(), LOCK_EX);
    struct stat existing {};
    if (::lstat(target.path.c_str(), &existing) == 0) {
        ::unlink(temp.c_str());
        return CreateOutcome::AlreadyThere;
    }
    if (Disk().Rename(temp.c_str(), target.path.c_str()) != 0) {
        error = errno;
        ::unlink(temp.c_str());
        return Fail(error);
    }
    return CreateOutcome::Created;
}

}  // namespace

// The bytes are on disk in a file without a name, or, where the file system has no such
// files, under a temporary name of this writer's.
struct PendingFile::Parts {
    Target target;
    bool replace = true;
    UniqueFd fd;
    std::string temp;  // empty for a file without a name
    bool placed = false;
    // Kept for the named way, should the file system refuse a name to the unnamed file.
    std::string bytes;
    std::optional<struct stat> old;

    // Leftovers of writers that died go once this write is over, placed or not: the
    // folder's walk is kept out of the time a build-time run holds the store.
    ~Parts() {
        if (!placed && !temp.empty()) ::unlink(temp.c_str());
        RemoveAbandoned(target);
    }

    // Writes the bytes under a temporary name of this writer's.
    bool WriteNamed() {
        for (int attempt = 0; attempt < 100; ++attempt) {
            temp = TempName(target);
            // With mode 0666 the kernel applies the umask and any default ACL of the directory.
            fd.Reset(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
            if (fd.Valid()) break;
            if (errno != EEXIST) return Fail(errno), false;
        }
        if (!fd.Valid()) return Fail(EEXIST), false;
        if (Fill(fd.Get(), bytes, old ? &*old : nullptr)) return true;
        int error = errno;
        ::unlink(temp.c_str());
        temp.clear();
        return Fail(error), false;
    }
};

std::unique_ptr<PendingFile> PendingFile::Prepare(const std::string& path, std::string_view bytes, bool replace) {
    auto parts = std::make_unique<Parts>();
    parts->target = Split(path);
    parts->replace = replace;
    parts->bytes.assign(bytes);
    struct stat old {};
    if (replace && ::stat(path.c_str(), &old) == 0) parts->old = old;

    if (std::optional<mode_t> mode = NewFileMode()) {
        parts->fd.Reset(::open(parts->target.Directory().c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, *mode));
        // Older kernels and file systems such as FAT cannot make a file without a name.
        if (!parts->fd.Valid() && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return Fail(errno), nullptr;
        if (parts->fd.Valid() && !Fill(parts->fd.Get(), bytes, parts->old ? &*parts->old : nullptr))
            return Fail(errno), nullptr;
    }
    if (!parts->fd.Valid() && !parts->WriteNamed()) return nullptr;
    return std::unique_ptr<PendingFile>(new PendingFile(std::move(parts)));
}

PendingFile::PendingFile(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}

PendingFile::~PendingFile() = default;

CreateOutcome PendingFile::Place() {
    Parts& p = *parts_;
    if (p.placed) return CreateOutcome::Failed;
    std::optional<CreateOutcome> outcome;
    if (p.temp.empty()) outcome = NameUnnamed(p.fd.Get(), p.target, p.replace);
    if (!outcome) {
        // A file system that refuses a name to an unnamed file gets the named way.
        if (p.temp.empty() && !p.WriteNamed()) {
            p.placed = true;
            return CreateOutcome::Failed;
        }
        if (!p.replace) {
            outcome = RenameIfAbsent(p.temp, p.target);
        } else if (Disk().Rename(p.temp.c_str(), p.target.path.c_str()) != 0) {
            outcome = Fail(errno);
            ::unlink(p.temp.c_str());
        } else {
            outcome = CreateOutcome::Created;
        }
        p.temp.clear();
    }
    p.placed = true;
    if (*outcome == CreateOutcome::Created) SyncDirectory(p.target);
    return *outcome;
}

namespace {

CreateOutcome Put(const std::string& path, std::string_view bytes, bool replace) {
    std::unique_ptr<PendingFile> pending = PendingFile::Prepare(path, bytes, replace);
    if (!pending) return CreateOutcome::Failed;
    return pending->Place();
}

}  // namespace

bool FileHolds(const std::string& path, std::string_view bytes) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || static_cast<uint64_t>(info.st_size) != bytes.size())
        return false;
    std::ifstream in(path, std::ios::binary);
    std::string held(bytes.size(), '\0');
    return in.read(held.data(), static_cast<std::streamsize>(held.size())) && in.gcount() == info.st_size &&
           std::string_view(held) == bytes;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    return Put(path, bytes, true) == CreateOutcome::Created;
}

CreateOutcome CreateFileAtomically(const std::string& path, std::string_view bytes) {
    return Put(path, bytes, false);
}

}  // namespace verdo
