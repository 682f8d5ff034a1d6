#pragma once
#include <cstdint>
#include <string>

namespace verdo {

// What the project include file is made of. All texts are single-byte and already
// free of trailing spaces.
struct ProjectIncludeValues {
    std::string ProjectBase;       // target directory + project name, as the user sees it
    std::string ShortProgramFile;  // the program the host build runs to raise the versions
    int32_t ProjectNumber = 0;
    bool IncrementsConfigured = false;  // only then does the build run the program
    std::string ShortResFile;      // the compiled resource file the build links
};

// The whole text of the file, byte for byte: CR LF line ends, the 0x91 and 0x92 quote
// bytes of the host's project language, and a closing empty line.
std::string ComposeProjectInclude(const ProjectIncludeValues& values);

}  // namespace verdo
