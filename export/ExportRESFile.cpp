#include "export/ExportRESFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Dictionary.h"
#include "core/ProgramNames.h"
#include "core/Records.h"
#include "export/AutoIncrement.h"
#include "export/BuildLedger.h"
#include "export/BuildOrigin.h"
#include "export/ExportValues.h"
#include "export/ExtraItems.h"
#include "export/VersionValues.h"
#include "export/outputs/OutputFormat.h"
#include "export/ProjectInclude.h"
#include "export/ResourceFilePath.h"
#include "export/VersionResource.h"
#include "framework/DefaultMessages.h"
#include "framework/FileManager.h"
#include "framework/MessageManager.h"
#include "runtime/bytes/AtomicFile.h"
#include "runtime/bytes/DirectoryLock.h"
#include "runtime/RuntimeError.h"
#include "runtime/datetime/DateTime.h"
#include "runtime/text/Text.h"

namespace verdo {

namespace {

// On this platform a path has no short form; the path itself stands for it.
std::string ShortPath(const std::string& path) { return path; }

// The build-time run has no window to report in; the host build shows what its steps
// write to standard error, so a failure that leaves the resource file as it was gets
// one line there, and the build goes on.
void ReportToBuild(int32_t projectNumber, const std::string& reason) {
    std::cerr << "VERDO: project " << projectNumber << " was not exported: " << reason << std::endl;
}

void ReportUnwritten(int32_t projectNumber, const std::string& path, const std::string& why) {
    std::cerr << "VERDO: project " << projectNumber << ": " << path << " could not be written: " << why << std::endl;
}

// A file a build writes beside its .RES, its bytes ready before the store's commit; none
// pending when the file holds its bytes already and is to stay as it is.
struct BesideFile {
    std::string Path;
    std::unique_ptr<PendingFile> Pending;
};

// False, said, when one of the files cannot be made ready.
bool PrepareBeside(int32_t projectNumber, const std::vector<std::pair<std::string, std::string>>& files,
                   std::vector<BesideFile>& prepared) {
    for (const auto& [path, bytes] : files) {
        BesideFile file{path, nullptr};
        if (!FileHolds(path, bytes)) {
            file.Pending = PendingFile::Prepare(path, bytes);
            if (!file.Pending) {
                ReportUnwritten(projectNumber, path, LastError().FileText);
                return false;
            }
        }
        prepared.push_back(std::move(file));
    }
    return true;
}

// Whether a file can go in place at path: nothing is there, or a regular file.
bool TakesFile(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) != 0 ? errno == ENOENT : S_ISREG(info.st_mode);
}

// At build time the resource file goes in place only once the store holds its numbers:
// a file ahead of the store would be shipped again by the next build. Runs that write
// into the same directory take turns from their commit to the file's rename, so that
// the files land in the order of the numbers; the files beside it follow in the same
// turn, and only when it is in place. Returns whether all of them are in place.
bool CommitThenPlace(FileManager& res, int32_t projectNumber, const std::string& directory, const std::string& path,
                     const std::string& image, std::vector<BesideFile>& beside,
                     const std::function<RESBuildRecord()>& row) {
    // A file that already holds these bytes stays as it is: the build that links it has
    // nothing to relink.
    bool same = FileHolds(path, image);
    std::unique_ptr<PendingFile> pending = same ? nullptr : PendingFile::Prepare(path, image);
    RuntimeErrorState fileFailure = LastError();
    // Without its turn the file stays out rather than land out of order; the numbers
    // are stored all the same, as when the file cannot be written.
    std::optional<DirectoryLock> turn =
        pending ? DirectoryLock::Take(directory, res.LOCKRECOVER * 1000) : std::optional<DirectoryLock>();
    if (pending && !turn) fileFailure = LastError();
    // The ledger's row goes with the numbers, for a file that will go in place.
    if (pending && turn && TakesFile(path) && !AddToLedger(row(), false)) {
        std::string reason = StoreFailureText(LastError());
        res.FILE->RollbackTransaction();
        ReportToBuild(projectNumber, reason);
        return false;
    }
    if (res.FILE->CommitTransaction() != NoError) {
        ReportToBuild(projectNumber, StoreFailureText(LastError()));
        return false;
    }
    if (!same && !(pending && turn && pending->Place() == CreateOutcome::Created)) {
        if (pending && turn) fileFailure = LastError();
        // The build must learn that its file still carries the previous build's numbers.
        ReportUnwritten(projectNumber, path, fileFailure.FileText);
        return false;
    }
    bool placed = true;
    for (BesideFile& file : beside) {
        if (!file.Pending || file.Pending->Place() == CreateOutcome::Created) continue;
        ReportUnwritten(projectNumber, file.Path, LastError().FileText);
        placed = false;
    }
    return placed;
}

void Show(const std::string& title, const std::string& text, int icon) {
    MessageRequest request;
    request.Title = title;
    // The texts come from the record, single-byte; messages are shown in UTF-8.
    request.Text = Latin1ToUtf8(text);
    request.Icon = icon;
    request.Buttons = ButtonOk;
    request.DefaultButton = ButtonOk;
    Access_RESFile->ERRORS->ShowMessage(request);
}

}  // namespace

bool ExportRESFile(int32_t projectNumber, uint8_t AutoInc, const OutputSet* outputs) {
    FileManager& res = *Access_RESFile;
    bool interactive = AutoInc == UserExport;
    bool failure = false;
    std::string targetDirectory, projectName;

    res.Open();
    bool usable = res.UseFile() == LevelNone;
    uint16_t saved = res.SaveState();
    // At build time, fetching, raising, stamping and writing back are one transaction, and
    // the resource file goes in place right after its commit: parallel builds lose no
    // increment, and the file on disk never carries numbers the store does not hold.
    // Without the transaction the run stops before it writes anything: such a file would
    // be shipped again by the next build. A user's export raises nothing, and
    // must not hold the store while its messages wait for the user.
    // Where the build came from is asked once, and only for a file that goes in place.
    std::optional<BuildOrigin> origin;
    auto originOnce = [&]() -> const BuildOrigin& {
        if (!origin) origin = FindBuildOrigin(SettingsFileName);
        return *origin;
    };
    // A run that raises the numbers writes a new file: it asks before the store is held,
    // as asking git takes time. A release rebuild mostly finds its file as it is.
    if (usable && AutoInc == BuildTimeRun) originOnce();
    ClockReading clock;
    VersionValues values;
    bool inTransaction = false;
    if (usable && !interactive) {
        inTransaction = res.FILE->BeginTransaction(res.LOCKRECOVER * 1000) == NoError;
        if (!inTransaction) {
            ReportToBuild(projectNumber, StoreFailureText(LastError()));
            failure = true;
        }
    }

    ClearRecord(RESFileTable(), &RES);
    RES.RESNumber = projectNumber;
    bool incrementsConfigured = false;
    bool found = false;
    if (!failure) {
        found = usable && res.TryFetch(res.KeyNumber("RES:RESNumberK")) == LevelNone;
        if (!found && interactive)
            Show("Missing Resource",
                 "Resource Number \"" + std::to_string(projectNumber) +
                     "\" was not found! Please correct the error and try again.",
                 IconExclamation);
        // A build must not link a file left from before as if this run had written it. On a
        // server the read also takes the project's row for the transaction, and another
        // build may hold it for longer than the run waits.
        if (!found && !interactive && usable)
            ReportToBuild(projectNumber, LastError().Code == RecordNotAvailErr ? std::string("there is no such project")
                                                                               : StoreFailureText(LastError()));
        failure = !found;
    }
    if (found) {
        incrementsConfigured = IncrementsConfigured(RES);
        if (incrementsConfigured && AutoInc == BuildTimeRun) ApplyAutoIncrement(RES);
        clock = CurrentClock().Read();
        RES.ExportDate = clock.Today;
        RES.ExportTime = clock.Now;
        if (interactive) {
            // The file carries the stored numbers whether or not the stamp is stored.
            res.Update();
        } else if (res.TryUpdate() != LevelNone) {
            std::string reason = StoreFailureText(LastError());
            res.RollbackTransaction();
            inTransaction = false;
            ReportToBuild(projectNumber, reason);
            failure = true;
        }
    }

    if (!failure) {
        RESFileRecord project = RES;
        ExportTarget target = ExportTargetOf(project);
        targetDirectory = target.Directory;
        projectName = target.Name;
        std::string base = targetDirectory + projectName;
        std::string resFile = target.ResFile();

        std::optional<std::string> image;
        std::vector<std::pair<std::string, std::string>> besideFiles;
        // Why the build's file cannot be made, for its one line; empty when said already.
        std::string unmade;
        if (!target.Usable) {
            unmade = UnusableTargetReason;
        } else {
            std::vector<ExtraItem> extras = ReadExtraItems(projectNumber, interactive, failure, unmade);
            if (!failure) {
                // One set of values for the .RES and every file beside it.
                values = ValuesOf(project, extras);
                image = ComposeVersionResource(values);
                if (image && outputs) besideFiles = ComposeOutputs(values, *outputs);
            }
            if (!failure && !image) unmade = "its version information is larger than a resource file can hold";
        }
        std::vector<BesideFile> beside;
        if (inTransaction && image && !PrepareBeside(projectNumber, besideFiles, beside)) {
            // The numbers stay as they were: the files of this build would not agree.
            res.RollbackTransaction();
            failure = true;
        } else if (!inTransaction) {
            // A user's export is on record once its file is in place, unless it kept its bytes.
            bool same = image && FileHolds(resFile, *image);
            failure = !image || (!same && !WriteFileAtomically(resFile, *image));
            if (!failure && !same)
                AddToLedger(LedgerRow(values, *image, LedgerExport, clock, originOnce()), true);
        } else if (!image) {
            // The stamp and the increment are kept even when the file cannot be made; the
            // build hears once why it has no file (a table that could not be opened has
            // said so itself).
            failure = true;
            res.FILE->CommitTransaction();
            if (!unmade.empty()) ReportToBuild(projectNumber, unmade);
        } else {
            const char* kind = AutoInc == BuildTimeRun ? LedgerBuild : LedgerExport;
            auto row = [&] { return LedgerRow(values, *image, kind, clock, originOnce()); };
            failure = !CommitThenPlace(res, projectNumber, Latin1ToUtf8(targetDirectory), resFile, *image, beside, row);
        }
        inTransaction = false;

        if (!failure && interactive) {
            ProjectIncludeValues values;
            // The paths are written as the file system names them, so that the host build
            // finds the program and the resource file also where a name holds ö or é.
            values.ProjectBase = Latin1ToUtf8(base);
            values.ShortProgramFile = ShortPath(ProgramFile);
            values.ProjectNumber = projectNumber;
            values.IncrementsConfigured = incrementsConfigured;
            values.ShortResFile = ShortPath(resFile);
            failure = !WriteFileAtomically(Latin1ToUtf8(base + "_RES.PRJ"), ComposeProjectInclude(values));
        }
    }
    if (inTransaction) res.RollbackTransaction();
    res.RestoreState(saved);
    res.Close();

    if (!interactive) return !failure;
    if (!failure)
        Show("Resource File Exported",
             "Resource File Exported. Please review the following information:||Path location: " + targetDirectory +
                 "|" + "Compiled RES file: " + projectName + ".RES|" + "Project to include: " + projectName +
                 "_RES.PRJ||" + "Please refer to the documentation on how to use the Compiled Resource File.",
             IconInformation);
    else
        Show("Export has failed.",
             "There was a problem creating the following Resource file: " + targetDirectory + projectName +
                 ".RES. The export has been aborted.",
             IconExclamation);
    return !failure;
}

}  // namespace verdo
