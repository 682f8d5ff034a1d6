#pragma once
#include <memory>
#include <string>
#include <string_view>

namespace verdo {

// Replaces the file at path by exactly these bytes, so that a reader (or a crash) sees
// either the old file or the complete new one, never a part. The bytes are written to a
// file that has no name yet where the file system allows it, and only then named and
// renamed over the target, so a process killed meanwhile leaves nothing behind; on file
// systems without unnamed files the bytes go to a temporary file named after the target
// and this process, which a later write removes once its writer is gone.
// The file keeps the permissions of the file it replaces; a new file gets the usual
// ones (0666 less the umask).
// On failure the temporary file is gone, the old target is untouched, the runtime's
// last error holds the file system's code and text, and the result is false.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// Whether a regular file at path holds exactly these bytes; anything else in its place
// (a folder, a device) holds none, and is not read.
bool FileHolds(const std::string& path, std::string_view bytes);

enum class CreateOutcome { Created, AlreadyThere, Failed };

// A new file for path, its bytes written and on disk but not yet under the name, so that
// putting it in place can wait for something else to succeed first. Place puts it there
// in one step (replacing the file, or only where nothing has the name); dropped without
// Place, it leaves nothing behind, and a process killed meanwhile leaves nothing either.
class PendingFile {
public:
    // nullptr when the bytes could not be written; the runtime's last error says why.
    static std::unique_ptr<PendingFile> Prepare(const std::string& path, std::string_view bytes, bool replace = true);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    CreateOutcome Place();

private:
    struct Parts;
    explicit PendingFile(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> parts_;
};

// Puts a file of exactly these bytes at path unless something of that name is there
// already, in which case that stays as it is. As with WriteFileAtomically, no one ever
// sees the file partly written under its name, and nothing is left behind on failure.
// Works on file systems without hard links too.
CreateOutcome CreateFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace verdo
