#include "export/outputs/OutputFormat.h"

#include <cctype>

#include "export/LookupNames.h"

namespace verdo {

namespace {

const OutputFormat Formats[] = {
    {"h", ComposeHeader, false},       {"rc", ComposeResourceScript, false}, {"nsh", ComposeNsisInclude, false},
    {"iss", ComposeInnoInclude, false}, {"wxi", ComposeWixInclude, false},    {"json", ComposeJson, true},
};

}  // namespace

const OutputFormat* FindOutputFormat(const std::string& name) {
    for (const OutputFormat& format : Formats)
        if (name == format.Name) return &format;
    return nullptr;
}

std::string OutputFormatNames() {
    std::string names;
    for (const OutputFormat& format : Formats) names += (names.empty() ? "" : ", ") + std::string(format.Name);
    return names;
}

std::vector<std::pair<std::string, std::string>> ComposeOutputs(VersionValues& values, const OutputSet& outputs) {
    std::vector<std::pair<std::string, std::string>> files;
    bool named = false;
    for (const OutputRequest& request : outputs.Files) {
        if (request.Format->NeedsNames && !named) {
            LookUpNames(values);
            named = true;
        }
        files.emplace_back(request.File, request.Format->Compose(values, outputs.Options));
    }
    return files;
}

bool IsIdentifier(const std::string& text) {
    if (text.empty() || std::isdigit(static_cast<unsigned char>(text.front()))) return false;
    for (char c : text)
        if (!(c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
    return true;
}

std::string DefaultPrefix(const VersionValues& values) {
    std::string prefix;
    for (char c : values.Name) {
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        prefix += letter ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : (c >= '0' && c <= '9') ? c : '_';
    }
    if (prefix.empty()) return "PROJECT";
    if (std::isdigit(static_cast<unsigned char>(prefix.front()))) prefix.insert(prefix.begin(), '_');
    return prefix;
}

std::vector<VersionText> InstallerValues(const VersionValues& values) {
    return {{"FileVersion", VersionString(values.FileVersion)},
            {"ProductVersion", VersionString(values.ProductVersion)},
            {"ProductName", values.StandardValue("ProductName")},
            {"CompanyName", values.StandardValue("CompanyName")},
            {"LegalCopyright", values.StandardValue("LegalCopyright")}};
}

std::string UpperSnake(const std::string& key) {
    std::string word;
    for (size_t i = 0; i < key.size(); ++i) {
        char c = key[i];
        bool upper = c >= 'A' && c <= 'Z';
        if (upper && i > 0) word += '_';
        word += upper ? c : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return word;
}

std::string WrittenBy(const VersionValues& values) {
    return "Version information of VERDO project " + std::to_string(values.Project) +
           ", written anew by its builds: do not edit.";
}

}  // namespace verdo
