#include "runtime/bytes/DiskCalls.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <string>

namespace verdo {

namespace {
DiskCalls systemCalls;
DiskCalls* installed = &systemCalls;
}  // namespace

ssize_t DiskCalls::Write(int fd, const void* data, size_t size) { return ::write(fd, data, size); }

int DiskCalls::Fsync(int fd) { return ::fsync(fd); }

int DiskCalls::Link(int fd, const char* to) {
    std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, to, AT_SYMLINK_FOLLOW);
}

int DiskCalls::Rename(const char* from, const char* to) { return ::rename(from, to); }

int DiskCalls::RenameNoReplace(const char* from, const char* to) {
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

DiskCalls& Disk() { return *installed; }

void SetDisk(DiskCalls* calls) { installed = calls ? calls : &systemCalls; }

}  // namespace verdo
