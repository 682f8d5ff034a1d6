#pragma once
#include <sys/types.h>

namespace verdo {

// The system calls on which a written file's survival of a crash depends: the data
// written, made durable, and only then named. The byte-file layer makes them through
// the object installed here, so that a test can count them, see their order, or make one
// of them fail as a full disk or a failing device would.
class DiskCalls {
public:
    virtual ~DiskCalls() = default;
    virtual ssize_t Write(int fd, const void* data, size_t size);
    // The data of a file, or the names of a directory opened as one.
    virtual int Fsync(int fd);
    // Gives an open file without a name (or one named elsewhere) the name `to`.
    virtual int Link(int fd, const char* to);
    virtual int Rename(const char* from, const char* to);
    // Renames only where nothing has the name `to`.
    virtual int RenameNoReplace(const char* from, const char* to);
};

// The calls in use: the system's, unless a test installed its own (nullptr puts the
// system's back).
DiskCalls& Disk();
void SetDisk(DiskCalls* calls);

}  // namespace verdo
