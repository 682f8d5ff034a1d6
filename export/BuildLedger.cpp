#include "export/BuildLedger.h"

#include <cstdint>

#include "core/Dictionary.h"
#include "framework/FileManager.h"
#include "runtime/bytes/Sha256.h"
#include "runtime/text/Text.h"

namespace verdo {

namespace {

constexpr size_t ResourceDataStart = 64;

uint32_t Dword(const std::string& bytes, size_t at) {
    if (at + 4 > bytes.size()) return 0;
    return static_cast<uint8_t>(bytes[at]) | static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
}

}  // namespace

std::string VersionDataHash(const std::string& resFile) {
    // The version resource's own header says how long its data is.
    uint32_t size = Dword(resFile, 32);
    if (resFile.size() < ResourceDataStart || size > resFile.size() - ResourceDataStart) return {};
    return Sha256Hex(std::string_view(resFile).substr(ResourceDataStart, size));
}

RESBuildRecord LedgerRow(const VersionValues& values, const std::string& resFile, const char* kind,
                         const ClockReading& clock, const BuildOrigin& origin) {
    RESBuildRecord row;
    ClearRecord(RESBuildTable(), &row);
    row.RESNumber = values.Project;
    AssignField(row.ProjectName, values.Name);
    AssignField(row.Kind, kind);
    row.FV_1 = values.FileVersion[0], row.FV_2 = values.FileVersion[1];
    row.FV_3 = values.FileVersion[2], row.FV_4 = values.FileVersion[3];
    row.PV_1 = values.ProductVersion[0], row.PV_2 = values.ProductVersion[1];
    row.PV_3 = values.ProductVersion[2], row.PV_4 = values.ProductVersion[3];
    row.DateUtc = clock.UtcToday;
    row.TimeUtc = clock.UtcNow;
    row.DateLocal = clock.Today;
    row.TimeLocal = clock.Now;
    // The ledger's texts are single-byte like every record's; the outside world's are UTF-8.
    AssignField(row.FileName, Utf8ToLatin1(values.ResourceFile));
    AssignField(row.HostName, Utf8ToLatin1(origin.Host));
    AssignField(row.UserName, Utf8ToLatin1(origin.User));
    AssignField(row.Sha256, VersionDataHash(resFile));
    AssignField(row.CommitId, Utf8ToLatin1(origin.Commit));
    row.Dirty = origin.Dirty;
    AssignField(row.JobUrl, Utf8ToLatin1(origin.Job));
    return row;
}

bool AddToLedger(const RESBuildRecord& row, bool tellUser) {
    FileManager& ledger = *Access_RESBuild;
    ledger.Open();
    bool added = ledger.UseFile() == LevelNone;
    if (added) {
        uint16_t saved = ledger.SaveState();
        BLD = row;
        added = (tellUser ? ledger.Insert() : ledger.TryInsert()) == LevelNone;
        ledger.RestoreState(saved);
    }
    ledger.Close();
    return added;
}

}  // namespace verdo
