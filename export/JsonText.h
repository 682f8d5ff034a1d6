#pragma once
#include <string>

namespace verdo {

// A JSON string of a UTF-8 text: the quote, the backslash and the control characters
// escaped, everything else as it is.
std::string JsonUtf8(const std::string& utf8);

// The same of a record's single-byte text.
std::string JsonString(const std::string& singleByte);

}  // namespace verdo
