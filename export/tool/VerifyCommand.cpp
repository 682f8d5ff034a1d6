// verdo-store verify FILE: which build of this store wrote a .RES file, or the version
// resource of a Windows program or library.
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "export/LedgerQueries.h"
#include "export/tool/ToolCommands.h"
#include "export/tool/ToolSupport.h"
#include "runtime/bytes/ByteReader.h"
#include "runtime/bytes/Sha256.h"
#include "runtime/bytes/VersionLayout.h"
#include "runtime/bytes/VersionResourceReader.h"

namespace verdo::tool {

namespace {

// The statuses of verify: known, not known to this store, no version information.
constexpr int Known = 0;
constexpr int Unknown = 1;
constexpr int Unversioned = 2;

// The file version of a version resource's fixed information, which follows the
// 40 bytes of the VS_VERSION_INFO block's header and key.
bool FileVersionIn(const std::string& data, VersionParts& version) {
    constexpr size_t fixed = 40;
    ByteReader bytes(data);
    auto signature = bytes.U32(fixed), ms = bytes.U32(fixed + 8), ls = bytes.U32(fixed + 12);
    if (signature != 0xFEEF04BDu || !ms || !ls) return false;
    version = {static_cast<uint16_t>(*ms >> 16), static_cast<uint16_t>(*ms & 0xFFFF), static_cast<uint16_t>(*ls >> 16),
               static_cast<uint16_t>(*ls & 0xFFFF)};
    return true;
}

}  // namespace

int Verify(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) return Misused;
    const std::string& name = arguments[0];
    std::ifstream in(name, std::ios::binary);
    std::ostringstream bytes;
    if (!in || !(bytes << in.rdbuf())) {
        std::fprintf(stderr, "verdo-store: %s cannot be read\n", name.c_str());
        return Unversioned;
    }
    const std::string file = bytes.str();
    std::string data, why;
    VersionSearch search = FindVersionResource(file, data, why);
    if (search != VersionSearch::Found) {
        std::printf("%s: %s%s\n", name.c_str(), search == VersionSearch::Unreadable ? "cannot be read: " : "",
                    why.c_str());
        return Unversioned;
    }
    // A compiler that linked the .RES file into a program may have laid its blocks out
    // anew; laid out again as VERDO writes them, they are the bytes the build hashed.
    std::optional<std::string> relaid = RelaidVersionData(data);
    const std::string hash = Sha256Hex(relaid ? *relaid : data);
    int status = OnProgramStore(StoreUse::Reading, [&] {
        std::vector<RESBuildRecord> rows;
        std::string failure;
        if (!HashBuilds(hash, rows, failure)) {
            std::fprintf(stderr, "VERDO: %s\n", failure.c_str());
            return Failure;
        }
        if (!rows.empty()) {
            std::printf("%s: written by this build:\n%s\n", name.c_str(), LedgerLine(rows.front()).c_str());
            return Known;
        }
        VersionParts version{};
        std::vector<RESBuildRecord> same;
        if (FileVersionIn(data, version) && VersionBuilds(version, std::nullopt, same, failure) && !same.empty()) {
            std::printf("%s: file version %s was built, but this file's version information is not what that build "
                        "wrote:\n%s\n", name.c_str(), VersionString(version).c_str(), LedgerLine(same.front()).c_str());
            return Unknown;
        }
        std::printf("%s: no build of this store wrote it\n", name.c_str());
        return Unknown;
    });
    return status;
}

}  // namespace verdo::tool
