#include "tests/support/RecordingDisk.h"

#include <sys/stat.h>

#include <algorithm>

namespace verdo::test {

bool RecordingDisk::Refused(const std::string& call) {
    Calls.push_back(call);
    if (call != failing_) return false;
    errno = error_;
    return true;
}

ssize_t RecordingDisk::Write(int fd, const void* data, size_t size) {
    return Refused("write") ? -1 : DiskCalls::Write(fd, data, size);
}

int RecordingDisk::Fsync(int fd) {
    struct stat info {};
    bool folder = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
    return Refused(folder ? "fsync folder" : "fsync file") ? -1 : DiskCalls::Fsync(fd);
}

int RecordingDisk::Link(int fd, const char* to) { return Refused("link") ? -1 : DiskCalls::Link(fd, to); }

int RecordingDisk::Rename(const char* from, const char* to) {
    return Refused("rename") ? -1 : DiskCalls::Rename(from, to);
}

int RecordingDisk::RenameNoReplace(const char* from, const char* to) {
    return Refused("rename absent") ? -1 : DiskCalls::RenameNoReplace(from, to);
}

int RecordingDisk::First(std::initializer_list<std::string> calls) const {
    auto found = std::find_first_of(Calls.begin(), Calls.end(), calls.begin(), calls.end());
    return found == Calls.end() ? -1 : static_cast<int>(found - Calls.begin());
}

int RecordingDisk::Last(std::initializer_list<std::string> calls) const {
    auto found = std::find_first_of(Calls.rbegin(), Calls.rend(), calls.begin(), calls.end());
    return found == Calls.rend() ? -1 : static_cast<int>(Calls.rend() - found) - 1;
}

}  // namespace verdo::test
