#pragma once
#include <string>
#include <utility>
#include <vector>

#include "export/VersionValues.h"

namespace verdo {

// What a file beside the .RES needs besides the values: the prefix of a header's names.
struct OutputOptions {
    std::string Prefix;  // empty: the project's name made an identifier
};

// One kind of file written from the values of a run.
struct OutputFormat {
    const char* Name;  // as a command line names it: "h", "rc", "nsh", "iss", "wxi", "json"
    std::string (*Compose)(const VersionValues&, const OutputOptions&);
    // Whether the file shows the lookup tables' names for the codes.
    bool NeedsNames = false;
};

// A file to write from a run's values: its format and its name.
struct OutputRequest {
    const OutputFormat* Format = nullptr;
    std::string File;
};

// The files a run writes beside its .RES, and what they need.
struct OutputSet {
    std::vector<OutputRequest> Files;
    OutputOptions Options;
};

// The files' names and whole texts, in the order asked for; the lookup tables' names are
// read into the values first when a format shows them.
std::vector<std::pair<std::string, std::string>> ComposeOutputs(VersionValues& values, const OutputSet& outputs);

// nullptr when there is no format of that name.
const OutputFormat* FindOutputFormat(const std::string& name);
// "h, rc, nsh, iss, wxi, json"
std::string OutputFormatNames();

// Each writer: the file's whole text from the values.
std::string ComposeHeader(const VersionValues& values, const OutputOptions& options);
std::string ComposeResourceScript(const VersionValues& values, const OutputOptions& options);
std::string ComposeNsisInclude(const VersionValues& values, const OutputOptions& options);
std::string ComposeInnoInclude(const VersionValues& values, const OutputOptions& options);
std::string ComposeWixInclude(const VersionValues& values, const OutputOptions& options);
std::string ComposeJson(const VersionValues& values, const OutputOptions& options);

// A header's prefix: valid when it is a C identifier.
bool IsIdentifier(const std::string& text);
// The project's name in upper case, made a C identifier.
std::string DefaultPrefix(const VersionValues& values);

// The first line of every file: who wrote it and that it is written anew.
std::string WrittenBy(const VersionValues& values);

// What the installers' includes define, by the key of its string: the versions, and the
// product, company and copyright strings.
std::vector<VersionText> InstallerValues(const VersionValues& values);

// "CompanyName" gives "COMPANY_NAME".
std::string UpperSnake(const std::string& key);

}  // namespace verdo
