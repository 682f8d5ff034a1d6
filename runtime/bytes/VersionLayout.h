#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace verdo {

// A version resource's data laid out again the way VERDO writes it: every block's length
// counts the padding after its last child but not the padding after a text or binary
// value that ends it, text values are counted in characters with their terminating
// zero, and padding is zero. Resource compilers that link a .RES file into a program may
// re-encode the tree with other length conventions; laid out again, the same strings and
// numbers give the same bytes. Nothing when the data is no well-formed block tree.
std::optional<std::string> RelaidVersionData(std::string_view data);

}  // namespace verdo
