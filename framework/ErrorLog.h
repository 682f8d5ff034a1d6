#pragma once
#include <string>
#include <string_view>

namespace verdo {

// Appends lines to the error log file. A log that cannot be written must never stop
// the program, so a failure only comes back as a diagnostic text.
class ErrorLog {
public:
    std::string Path = "QATError.Log";

    // Appends the line and a line end. Returns "" when the line was written, else one of
    // "Unable to Open error log; ", "Unable to update error log; ", "Unable to close error log; ".
    std::string Append(std::string_view line) const;
};

}  // namespace verdo
