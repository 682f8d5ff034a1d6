#include "export/LedgerQueries.h"

#include <charconv>
#include <functional>

#include "core/Dictionary.h"
#include "export/JsonText.h"
#include "framework/FileManager.h"
#include "runtime/RuntimeError.h"
#include "runtime/text/Text.h"

namespace verdo {

namespace {

// Walks a key of the ledger from a position, as long as `more` holds for the row read;
// `start` fills the record the position is taken from, or is empty to start at an end.
bool Walk(const char* key, bool forward, const std::function<void(RESBuildRecord&)>& start,
          const std::function<bool(const RESBuildRecord&)>& more, std::vector<RESBuildRecord>& rows, std::string& why) {
    FileManager& ledger = *Access_RESBuild;
    ReadingOnly reading(ledger);
    ledger.Open();
    bool read = ledger.UseFile() == LevelNone;
    if (!read) why = "the ledger cannot be read";
    if (read) {
        uint16_t saved = ledger.SaveState();
        ClearRecord(RESBuildTable(), &BLD);
        if (start) {
            start(BLD);
            ledger.SetKeyPosition(ledger.KeyNumber(key));
        } else {
            ledger.SetKey(ledger.KeyNumber(key));
        }
        for (;;) {
            uint8_t level = forward ? ledger.TryNext() : ledger.TryPrevious();
            if (level != LevelNone) {
                if (!ledger.Info().ATEOF) {
                    read = false;
                    why = "the ledger cannot be read: " + StoreFailureText(LastError());
                }
                break;
            }
            if (!more(BLD)) break;
            rows.push_back(BLD);
        }
        ledger.RestoreState(saved);
    }
    ledger.Close();
    return read;
}

// A JSON string of a row's single-byte text, or null for an empty one.
std::string JsonText(const std::string& singleByte, bool nullWhenEmpty = true) {
    return singleByte.empty() && nullWhenEmpty ? "null" : JsonString(singleByte);
}

}  // namespace

bool ProjectBuilds(int32_t project, const Date& since, std::vector<RESBuildRecord>& rows, std::string& why) {
    const int32_t sinceNumber = since.ToNumber();
    // Backwards from the first row past the project's (from the end for the highest
    // number there is): its newest row comes first.
    std::function<void(RESBuildRecord&)> past;
    if (project != INT32_MAX) past = [project](RESBuildRecord& r) { r.RESNumber = project + 1; };
    return Walk(
        "BLD:ProjectK", false, past,
        [project, sinceNumber](const RESBuildRecord& r) {
            return r.RESNumber == project && r.DateUtc.ToNumber() >= sinceNumber;
        },
        rows, why);
}

bool VersionBuilds(const VersionParts& version, std::optional<int32_t> project, std::vector<RESBuildRecord>& rows,
                   std::string& why) {
    std::vector<RESBuildRecord> all;
    bool read = Walk(
        "BLD:FileVersionK", true,
        [&version](RESBuildRecord& r) {
            r.FV_1 = version[0], r.FV_2 = version[1], r.FV_3 = version[2], r.FV_4 = version[3];
        },
        [&version](const RESBuildRecord& r) {
            return r.FV_1 == version[0] && r.FV_2 == version[1] && r.FV_3 == version[2] && r.FV_4 == version[3];
        },
        all, why);
    for (const RESBuildRecord& row : all)
        if (!project || row.RESNumber == *project) rows.push_back(row);
    return read;
}

bool HashBuilds(const std::string& sha256, std::vector<RESBuildRecord>& rows, std::string& why) {
    return Walk(
        "BLD:Sha256K", true, [&sha256](RESBuildRecord& r) { AssignField(r.Sha256, sha256); },
        [&sha256](const RESBuildRecord& r) { return FieldText(r.Sha256) == sha256; }, rows, why);
}

std::string FileVersionOf(const RESBuildRecord& r) { return VersionString({r.FV_1, r.FV_2, r.FV_3, r.FV_4}); }

std::string ProductVersionOf(const RESBuildRecord& r) { return VersionString({r.PV_1, r.PV_2, r.PV_3, r.PV_4}); }

std::string UtcTimeOf(const RESBuildRecord& r) { return IsoDate(r.DateUtc) + " " + IsoTime(r.TimeUtc); }

std::string CommitOf(const RESBuildRecord& r) {
    const std::string commit = FieldText(r.CommitId);
    if (commit.empty()) return "unknown";
    return commit + (r.Dirty == 0 ? " (clean)" : r.Dirty == 1 ? " (changed)" : "");
}

std::string LedgerLine(const RESBuildRecord& r) {
    std::string line = UtcTimeOf(r) + " UTC  " + FieldText(r.Kind) + "  project " + std::to_string(r.RESNumber) + " " +
                       FieldText(r.ProjectName) + "  file " + FileVersionOf(r) + "  product " + ProductVersionOf(r) +
                       "  commit " + CommitOf(r) + "  on " + FieldText(r.HostName) + " by " + FieldText(r.UserName);
    std::string job = FieldText(r.JobUrl);
    if (!job.empty()) line += "  job " + job;
    return Latin1ToUtf8(line);
}

std::string LedgerDetails(const RESBuildRecord& r) {
    auto known = [](const std::string& text) { return text.empty() ? std::string("unknown") : text; };
    return "Project: " + std::to_string(r.RESNumber) + " " + FieldText(r.ProjectName) + "\n" +
           "Written by: " + FieldText(r.Kind) + "\n" +
           "File version: " + FileVersionOf(r) + "\n" +
           "Product version: " + ProductVersionOf(r) + "\n" +
           "Time: " + UtcTimeOf(r) + " UTC, " + IsoDate(r.DateLocal) + " " + IsoTime(r.TimeLocal) + " local\n" +
           "File: " + FieldText(r.FileName) + "\n" +
           "Host: " + known(FieldText(r.HostName)) + "\n" +
           "User: " + known(FieldText(r.UserName)) + "\n" +
           "Commit: " + CommitOf(r) + "\n" +
           "Job: " + known(FieldText(r.JobUrl)) + "\n" +
           "SHA-256: " + FieldText(r.Sha256);
}

std::string LedgerJson(const std::vector<RESBuildRecord>& rows) {
    std::string text = "[";
    for (size_t i = 0; i < rows.size(); ++i) {
        const RESBuildRecord& r = rows[i];
        const char* dirty = r.Dirty == 0 ? "false" : r.Dirty == 1 ? "true" : "null";
        text += std::string(i ? ",\n " : "") + "{\"project\": " + std::to_string(r.RESNumber) +
                ", \"name\": " + JsonText(FieldText(r.ProjectName), false) + ", \"kind\": " +
                JsonText(FieldText(r.Kind), false) + ", \"file_version\": \"" + FileVersionOf(r) +
                "\", \"product_version\": \"" + ProductVersionOf(r) + "\", \"time\": \"" + IsoDate(r.DateUtc) + "T" +
                IsoTime(r.TimeUtc) + "Z\", \"local_time\": \"" + IsoDate(r.DateLocal) + "T" + IsoTime(r.TimeLocal) +
                "\", \"file\": " + JsonText(FieldText(r.FileName)) + ", \"host\": " + JsonText(FieldText(r.HostName)) +
                ", \"user\": " + JsonText(FieldText(r.UserName)) + ", \"commit\": " + JsonText(FieldText(r.CommitId)) +
                ", \"dirty\": " + dirty + ", \"job\": " + JsonText(FieldText(r.JobUrl)) + ", \"sha256\": " +
                JsonText(FieldText(r.Sha256)) + "}";
    }
    return text + "]\n";
}

bool ParseVersion(const std::string& text, VersionParts& parts) {
    const char* at = text.data();
    const char* end = text.data() + text.size();
    for (size_t i = 0; i < parts.size(); ++i) {
        unsigned value = 0;
        auto [next, error] = std::from_chars(at, end, value);
        if (error != std::errc() || next == at || value > 65535) return false;
        parts[i] = static_cast<uint16_t>(value);
        at = next;
        if (i + 1 < parts.size()) {
            if (at == end || *at != '.') return false;
            ++at;
        }
    }
    return at == end;
}

}  // namespace verdo
