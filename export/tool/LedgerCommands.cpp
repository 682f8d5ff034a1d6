// The ledger of every .RES file VERDO put in place, asked on the store verdo uses:
//   verdo-store log PROJECT [--since DATE] [--json]   a project's builds, newest first
//   verdo-store which VERSION [PROJECT] [--json]      the builds that wrote a file version
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "export/LedgerQueries.h"
#include "export/tool/ToolCommands.h"
#include "export/tool/ToolSupport.h"

namespace verdo::tool {

namespace {

// "2026-12-01" as a date; nothing for anything else.
std::optional<Date> DateOf(const std::string& text) {
    unsigned year = 0, month = 0, day = 0;
    char end = 0;
    if (text.size() != 10 || std::sscanf(text.c_str(), "%4u-%2u-%2u%c", &year, &month, &day, &end) != 3 ||
        month < 1 || month > 12 || day < 1 || day > 31)
        return std::nullopt;
    return Date{static_cast<uint8_t>(day), static_cast<uint8_t>(month), static_cast<uint16_t>(year)};
}

int Print(const std::vector<RESBuildRecord>& rows, bool json) {
    if (json) {
        std::fputs(LedgerJson(rows).c_str(), stdout);
    } else {
        for (const RESBuildRecord& row : rows) std::printf("%s\n", LedgerLine(row).c_str());
    }
    return Done;
}

}  // namespace

int Log(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return Misused;
    bool json = false;
    Date since{};
    for (size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "--json") {
            json = true;
        } else if (arguments[i] == "--since" && i + 1 < arguments.size()) {
            std::optional<Date> date = DateOf(arguments[++i]);
            if (!date) {
                std::fprintf(stderr, "verdo-store: %s is no date (YYYY-MM-DD)\n", arguments[i].c_str());
                return Usage;
            }
            since = *date;
        } else {
            return Misused;
        }
    }
    return OnProgramStore(arguments[0], StoreUse::Reading, [&](int32_t project) {
        std::vector<RESBuildRecord> rows;
        std::string why;
        if (!ProjectBuilds(project, since, rows, why)) {
            std::fprintf(stderr, "VERDO: %s\n", why.c_str());
            return Failure;
        }
        return Print(rows, json);
    });
}

int Which(const std::vector<std::string>& arguments) {
    std::vector<std::string> words;
    bool json = false;
    for (const std::string& argument : arguments) {
        if (argument == "--json") json = true;
        else words.push_back(argument);
    }
    if (words.empty() || words.size() > 2) return Misused;
    VersionParts version{};
    if (!ParseVersion(words[0], version)) {
        std::fprintf(stderr, "verdo-store: %s is no file version (four numbers up to 65535, as 3.1.0.42)\n",
                     words[0].c_str());
        return Usage;
    }
    std::optional<int32_t> only;
    if (words.size() == 2) {
        int32_t number = 0;
        if (!ProjectNumberOf(words[1], number)) {
            std::fprintf(stderr, "verdo-store: %s is not a project number\n", words[1].c_str());
            return Usage;
        }
        only = number;
    }
    return OnProgramStore(StoreUse::Reading, [&] {
        std::vector<RESBuildRecord> rows;
        std::string why;
        if (!VersionBuilds(version, only, rows, why)) {
            std::fprintf(stderr, "VERDO: %s\n", why.c_str());
            return Failure;
        }
        return Print(rows, json);
    });
}

}  // namespace verdo::tool
