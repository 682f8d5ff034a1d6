#pragma once
#include <string>
#include <string_view>

namespace verdo {

// Replaces the file at path by exactly these bytes, so that a reader (or a crash) sees
// either the old file or the complete new one, never a part. The bytes go to a fresh
// file beside the target, which is then renamed over it; it keeps the permissions of the
// file it replaces, and a new file gets the usual ones (0666 less the umask).
// On failure the temporary file is gone, the old target is untouched, the runtime's
// last error holds the file system's code and text, and the result is false.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace verdo
