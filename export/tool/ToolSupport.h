#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "export/outputs/OutputFormat.h"

namespace verdo::tool {

// The statuses of verdo-store: done, the work failed (said on standard error), or the
// command line was not understood.
inline constexpr int Done = 0;
inline constexpr int Failure = 1;
inline constexpr int Usage = 2;

// A whole number within 32 bits, nothing else.
bool ProjectNumberOf(const std::string& argument, int32_t& number);

// Runs the work on the store that verdo beside this tool uses, started as verdo starts,
// and gives its status. A project argument that is no number is said, with status 2.
// Work that only reads opens the store for reading, so that it never waits for a build
// that holds the store.
enum class StoreUse { Reading, Writing };
int OnProgramStore(const std::string& projectArgument, StoreUse use, const std::function<int(int32_t)>& work);
// The same for work on the whole store, for no project.
int OnProgramStore(StoreUse use, const std::function<int()>& work);

// A file "FORMAT:FILE" of the command line; false, with the reason said, when its format
// is unknown or the file is not named.
bool NamedOutput(const std::string& argument, OutputRequest& request);

// What follows a command's own arguments, from `from` on: any number of
// "--write FORMAT:FILE" and a "--prefix PREFIX". False, with the reason said in one
// line, for anything else.
bool ReadOutputOptions(const std::vector<std::string>& arguments, size_t from, OutputSet& outputs);

}  // namespace verdo::tool
