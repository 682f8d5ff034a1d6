#include "core/ProgramNames.h"

#include <cstdint>
#include <cstdlib>

#include "core/DataFolders.h"
#include "runtime/platform/ProfileFile.h"
#include "runtime/store/StoreEngines.h"
#include "runtime/text/Text.h"

namespace verdo {

std::string CommandTail;
std::string ProgramDir;
std::string ProgramFile;
std::string SettingsFileName;
std::string ManualFileName;
std::string StoreName;
std::string RESFileName;
std::string FileOSName;
std::string ExtraSegName;
std::string FileTypeName;
std::string CodePageName;
std::string LangIDName;
std::string RESBuildName;
std::string StoreFolderProblem;
std::string SettingsFolderProblem;

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trimmed(std::string_view text) {
    size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) ++start;
    return std::string(TrimRight(text.substr(start)));
}
}  // namespace

std::string ConfiguredServer(const std::string& settingsFileName) {
    // A build agent is pointed at the server without touching the program's folder.
    const char* variable = std::getenv("VERDO_STORE");
    std::string server = Trimmed(variable ? variable : "");
    if (!server.empty()) return server;
    return Trimmed(ReadProfileString("Store", "Server", "", settingsFileName));
}

void ComposeNames(const std::string& modulePath, const std::string& commandTail) {
    size_t start = 0;
    while (start < commandTail.size() && IsBlank(commandTail[start])) ++start;
    CommandTail = commandTail.substr(start);

    size_t slash = modulePath.rfind('/');
    ProgramDir = slash == std::string::npos ? std::string("./") : modulePath.substr(0, slash + 1);
    ProgramDir = std::string(TrimRight(ProgramDir));

    DataFolders folders = ChooseDataFolders(ProgramDir);
    SettingsFileName = folders.Settings + "VERDO.INI";
    ManualFileName = folders.Manual;
    ProgramFile = ProgramDir + std::string(ProgramFixedName);
    // The settings file is read here, before the dictionary starts: the managers are set
    // up over these names.
    std::string server = ConfiguredServer(SettingsFileName);
    StoreName = server.empty() ? folders.Store + "VERDO" : ServerStoreName(server);
    StoreFolderProblem = server.empty() ? folders.StoreProblem : std::string();
    SettingsFolderProblem = folders.SettingsProblem;
    const std::string store = StoreName + "\\!";
    RESFileName = store + "RESFile";
    FileOSName = store + "FileOS";
    ExtraSegName = store + "ExtraSeg";
    FileTypeName = store + "FileType";
    CodePageName = store + "CodePage";
    LangIDName = store + "LangID";
    RESBuildName = store + "RESBuild";
}

int32_t ReadProjectNumber(std::string_view tail) {
    size_t i = 0;
    while (i < tail.size() && IsBlank(tail[i])) ++i;
    bool negative = false;
    if (i < tail.size() && tail[i] == '-') {
        negative = true;
        ++i;
    }
    int64_t value = 0;
    for (; i < tail.size() && tail[i] >= '0' && tail[i] <= '9'; ++i) {
        value = value * 10 + (tail[i] - '0');
        // A number no project can have must not wrap round onto one that exists.
        if (value > INT32_MAX + int64_t{1}) return 0;
    }
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return 0;
    return static_cast<int32_t>(value);
}

std::string CommandTailFrom(int argc, char** argv) {
    std::string tail;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) tail += ' ';
        tail += argv[i];
    }
    return tail;
}

}  // namespace verdo
