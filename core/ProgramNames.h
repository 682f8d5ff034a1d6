#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace verdo {

// The process-wide names, set once at start-up from the program's own location and
// read-only afterwards. Paths use "/"; ProgramDir ends with "/".
extern std::string CommandTail;
extern std::string ProgramDir;
extern std::string ProgramFile;
extern std::string SettingsFileName;
extern std::string ManualFileName;
// The store the six tables live in: the file VERDO beside the program, or a database on
// a PostgreSQL server (StoreEngines.h names it).
extern std::string StoreName;
extern std::string RESFileName;
extern std::string FileOSName;
extern std::string ExtraSegName;
extern std::string FileTypeName;
extern std::string CodePageName;
extern std::string LangIDName;
extern std::string RESBuildName;
// Why the user's folder for the store file or for the settings cannot be used, in one
// line; empty when all is well (and the store's always, for a store on a server).
extern std::string StoreFolderProblem;
extern std::string SettingsFolderProblem;

// The program's fixed file name on this platform, whatever the running file is called.
inline constexpr std::string_view ProgramFixedName = "verdo";

// Sets every name from the running program's path and the command tail. The store file
// and the settings lie beside the program or in the user's folders (DataFolders.h); the
// store is the server that ConfiguredServer names, if any.
void ComposeNames(const std::string& modulePath, const std::string& commandTail);

// The connection string of the server the store is on: the environment variable
// VERDO_STORE when it is set and not blank, else the key "Server" of section "Store" in
// the settings file; empty for the store file.
std::string ConfiguredServer(const std::string& settingsFileName);

// The command tail read as a project number: blanks skipped, an optional minus sign and
// the digits that follow; anything else ends the number (a point or comma starts a
// fraction, which is dropped). No digits, or a number outside 32 bits, gives 0.
int32_t ReadProjectNumber(std::string_view tail);

// The command tail from the arguments after the program's own name.
std::string CommandTailFrom(int argc, char** argv);

}  // namespace verdo
