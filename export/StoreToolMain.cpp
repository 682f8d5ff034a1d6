// verdo-store: moves a store between a store file and a PostgreSQL server and checks one;
// for builds that link VERDO's resource files, names a project's file and writes it,
// raising the numbers or keeping them, with the files a program and its installer need
// beside it; shows a project. A tool for people: it says what it did or why not, and
// fails with a non-zero status.
#include <cstdio>
#include <string>
#include <vector>

#include "export/outputs/OutputFormat.h"
#include "export/tool/ToolCommands.h"
#include "export/tool/ToolSupport.h"
#include "core/Dictionary.h"

using namespace verdo;

namespace {

struct Command {
    const char* Name;
    int (*Run)(const std::vector<std::string>&);
    bool OwnStores;  // works on stores it names itself, not on the one verdo uses
};

const Command Commands[] = {
    {"copy", tool::Copy, true},    {"check", tool::Check, true}, {"path", tool::Path, false},
    {"build", tool::Build, false}, {"export", tool::Export, false}, {"show", tool::Show, false},
    {"write", tool::Write, false}, {"log", tool::Log, false},       {"which", tool::Which, false},
    {"verify", tool::Verify, false},
};

void PrintUsage() {
    std::fprintf(stderr,
                 "usage: verdo-store copy FROM TO\n"
                 "       verdo-store check STORE\n"
                 "       verdo-store path PROJECT\n"
                 "       verdo-store build PROJECT [FILE] [--write FORMAT:FILE]... [--prefix PREFIX]\n"
                 "       verdo-store export PROJECT [FILE] [--write FORMAT:FILE]... [--prefix PREFIX]\n"
                 "       verdo-store show PROJECT [--json]\n"
                 "       verdo-store write PROJECT FORMAT FILE [--prefix PREFIX]\n"
                 "       verdo-store log PROJECT [--since YYYY-MM-DD] [--json]\n"
                 "       verdo-store which VERSION [PROJECT] [--json]\n"
                 "       verdo-store verify FILE\n"
                 "A store is the path of a store file (VERDO) or a PostgreSQL connection string\n"
                 "(\"host=builddb dbname=verdo user=ci\" or \"postgresql://ci@builddb/verdo\").\n"
                 "copy creates TO when it is missing and refuses a TO that holds anything but\n"
                 "the rows a new store starts with.\n"
                 "path, build, export, show and write work on the store verdo uses: path prints\n"
                 "the full name of the project's resource file; build writes it as verdo PROJECT\n"
                 "does, export without raising the version numbers; both fail with status 1\n"
                 "when it was not written, or when FILE is given and the project writes another\n"
                 "file. --write writes a file of a FORMAT (%s) from the same run,\n"
                 "--prefix names a header's macros. show prints a project, write one file of a\n"
                 "format from the numbers the store holds. log lists a project's builds, newest\n"
                 "first; which the builds that wrote a file version; verify tells which build\n"
                 "wrote a .RES file or a Windows program's version resource (status 0), or that\n"
                 "none did (1), or that it has none (2).\n",
                 OutputFormatNames().c_str());
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    for (const Command& command : Commands) {
        if (arguments.empty() || arguments[0] != command.Name) continue;
        if (command.OwnStores) RegisterStoreTables();
        int status = command.Run(std::vector<std::string>(arguments.begin() + 1, arguments.end()));
        if (status != tool::Misused) return status;
        break;
    }
    PrintUsage();
    return tool::Usage;
}
