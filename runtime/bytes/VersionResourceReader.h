#pragma once
#include <string>
#include <string_view>

namespace verdo {

// What a file holds as its version resource.
enum class VersionSearch {
    Found,          // the resource's data is in `data`
    NoResource,     // a resource file or Windows program without a version resource
    NotAProgram,    // neither a compiled resource file nor a PE32 or PE32+ image
    Unreadable,     // one of those, but an offset or size leads outside it, or a
                    // directory leads back into itself
};

// Finds the version resource (RT_VERSION) of a compiled resource file or of a Windows
// program or library. Every offset and size is checked against the file before it is
// read, and no resource directory is entered twice. `why` says what was wrong.
VersionSearch FindVersionResource(std::string_view file, std::string& data, std::string& why);

}  // namespace verdo
