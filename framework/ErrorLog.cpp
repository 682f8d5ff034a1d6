#include "framework/ErrorLog.h"

#include <cstdio>

namespace verdo {

std::string ErrorLog::Append(std::string_view line) const {
    std::FILE* file = std::fopen(Path.c_str(), "ab");
    if (!file) return "Unable to Open error log; ";
    bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size() && std::fputc('\n', file) != EOF;
    // fclose also reports a write that failed only when the buffer was flushed.
    bool closed = std::fclose(file) == 0;
    if (!written) return "Unable to update error log; ";
    if (!closed) return "Unable to close error log; ";
    return {};
}

}  // namespace verdo
