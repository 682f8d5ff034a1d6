#include "export/BuildLedger.h"

#include "core/Dictionary.h"
#include "framework/FileManager.h"
#include "runtime/bytes/Sha256.h"
#include "runtime/bytes/VersionResourceReader.h"
#include "runtime/text/Text.h"

namespace verdo {

std::string VersionDataHash(const std::string& resFile) {
    std::string data, why;
    return FindVersionResource(resFile, data, why) == VersionSearch::Found ? Sha256Hex(data) : std::string();
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
