#pragma once
#include <cerrno>
#include <initializer_list>
#include <string>
#include <vector>

#include "runtime/bytes/DiskCalls.h"

namespace verdo::test {

// The disk calls of the byte-file layer, recorded in their order ("write", "fsync file",
// "fsync folder", "link", "rename", "rename absent") and made on the real disk, unless
// the test asks one kind to fail with an error number. Installed for its lifetime.
class RecordingDisk : public DiskCalls {
public:
    RecordingDisk() { SetDisk(this); }
    ~RecordingDisk() override { SetDisk(nullptr); }
    RecordingDisk(const RecordingDisk&) = delete;
    RecordingDisk& operator=(const RecordingDisk&) = delete;

    ssize_t Write(int fd, const void* data, size_t size) override;
    int Fsync(int fd) override;
    int Link(int fd, const char* to) override;
    int Rename(const char* from, const char* to) override;
    int RenameNoReplace(const char* from, const char* to) override;

    // The first call of this kind, and every one after it, fails with the error.
    void Fail(const std::string& call, int error) {
        failing_ = call;
        error_ = error;
    }
    // Where any of the calls first appears, and where last; -1 when none did.
    int First(std::initializer_list<std::string> calls) const;
    int Last(std::initializer_list<std::string> calls) const;

    std::vector<std::string> Calls;

private:
    bool Refused(const std::string& call);
    std::string failing_;
    int error_ = 0;
};

}  // namespace verdo::test
