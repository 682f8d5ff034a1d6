// verdo-store show PROJECT [--json]: a project as people and scripts need it, read from
// the store verdo uses without holding anything a build waits for.
#include <cstdio>
#include <string>

#include "export/LookupNames.h"
#include "export/StoredProject.h"
#include "export/outputs/OutputFormat.h"
#include "export/tool/ToolCommands.h"
#include "export/tool/ToolSupport.h"
#include "runtime/text/Text.h"

namespace verdo::tool {

namespace {

// A text for a terminal: UTF-8, its control characters written as \xNN.
std::string Shown(const std::string& singleByte) {
    std::string shown;
    for (unsigned char c : Latin1ToUtf8(singleByte)) {
        if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(c));
            shown += escape;
        } else {
            shown += static_cast<char>(c);
        }
    }
    return shown;
}

std::string DateShown(const Date& date) { return date.IsEmpty() ? "none" : IsoDate(date); }

std::string Named(const std::string& code, const std::string& name) {
    return code + (name.empty() ? " (no name in the lookup table)" : " " + Shown(name));
}

void PrintText(const VersionValues& v) {
    std::printf("Project %d: %s\n", v.Project, Shown(v.Name).c_str());
    std::printf("Path: %s\n", Shown(v.Path).c_str());
    std::printf("Resource file: %s\n", v.ResourceFile.c_str());
    std::printf("File version: %s (the next build gives %s)\n", VersionString(v.FileVersion).c_str(),
                VersionString(v.NextFileVersion).c_str());
    std::printf("Product version: %s (the next build gives %s)\n", VersionString(v.ProductVersion).c_str(),
                VersionString(v.NextProductVersion).c_str());
    for (const VersionText& text : v.Standard) std::printf("%s: %s\n", text.Key.c_str(), Shown(text.Value).c_str());
    std::printf("Extra strings: %zu\n", v.Extras.size());
    for (const VersionText& extra : v.Extras)
        std::printf("  %s: %s\n", Shown(extra.Key).c_str(), Shown(extra.Value).c_str());
    std::printf("Flags: debug %s, prerelease %s\n", v.FileFlags & 1 ? "yes" : "no", v.FileFlags & 2 ? "yes" : "no");
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", v.FileOS);
    std::printf("File OS: %s\n", Named(code, v.FileOSName).c_str());
    std::snprintf(code, sizeof code, "0x%02X", v.FileType);
    std::printf("File type: %s\n", Named(code, v.FileTypeName).c_str());
    std::printf("Language: %s\n", Named(Shown(v.Language), v.LanguageName).c_str());
    std::printf("Code page: %s\n", Named(Shown(v.CodePage), v.CodePageName).c_str());
    std::printf("Entered: %s, last saved: %s, last exported: %s\n", DateShown(v.EnterDate).c_str(),
                DateShown(v.LastSaved).c_str(), DateShown(v.ExportDate).c_str());
}

}  // namespace

int Show(const std::vector<std::string>& arguments) {
    bool json = arguments.size() == 2 && arguments[1] == "--json";
    if (arguments.empty() || (arguments.size() == 2 && !json) || arguments.size() > 2) return Misused;
    return OnProgramStore(arguments[0], StoreUse::Reading, [json](int32_t project) {
        VersionValues values;
        std::string why;
        if (!StoredProjectValues(project, values, why)) {
            std::fprintf(stderr, "VERDO: %s\n", why.c_str());
            return Failure;
        }
        LookUpNames(values);
        if (json) {
            std::fputs(ComposeJson(values, {}).c_str(), stdout);
        } else {
            PrintText(values);
        }
        return Done;
    });
}

}  // namespace verdo::tool
