#include "export/ExportRESFile.h"

#include <optional>
#include <string>
#include <vector>

#include "core/Dictionary.h"
#include "core/ProgramNames.h"
#include "core/Records.h"
#include "export/AutoIncrement.h"
#include "export/ExportValues.h"
#include "export/ProjectInclude.h"
#include "export/VersionResource.h"
#include "framework/DefaultMessages.h"
#include "framework/FileManager.h"
#include "framework/MessageManager.h"
#include "runtime/bytes/AtomicFile.h"
#include "runtime/datetime/DateTime.h"
#include "runtime/text/Text.h"

namespace verdo {

namespace {

// On this platform a path has no short form; the path itself stands for it.
std::string ShortPath(const std::string& path) { return path; }

// The extra items of a project, in the order of SEG:RESNumberK.
std::vector<ExtraItem> ReadExtraItems(int32_t projectNumber, bool& failure) {
    std::vector<ExtraItem> items;
    FileManager& seg = *Access_ExtraSeg;
    seg.Open();
    if (seg.UseFile() != LevelNone) {
        failure = true;
        seg.Close();
        return items;
    }
    uint16_t saved = seg.SaveState();
    ClearRecord(ExtraSegTable(), &SEG);
    SEG.RESNumber = projectNumber;
    seg.SetKeyPosition(seg.KeyNumber("SEG:RESNumberK"));
    while (seg.Next() == LevelNone && SEG.RESNumber == projectNumber)
        items.push_back({std::string(SEG.SegName, sizeof SEG.SegName), std::string(SEG.SegData, sizeof SEG.SegData)});
    seg.RestoreState(saved);
    seg.Close();
    return items;
}

// A project name becomes part of a file name in the target directory; one that would
// lead out of it, or that no file can have, is refused.
bool UsableProjectName(const std::string& name) {
    return name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
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

void ExportRESFile(int32_t projectNumber, uint8_t AutoInc) {
    FileManager& res = *Access_RESFile;
    bool interactive = AutoInc == 0;
    bool failure = false;
    std::string targetDirectory, projectName;

    res.Open();
    bool usable = res.UseFile() == LevelNone;
    uint16_t saved = res.SaveState();
    // At build time, fetching, raising, stamping and writing back are one transaction,
    // held until the resource file is in place: parallel builds lose no increment, and the
    // file on disk carries the numbers the store has. A user's export raises nothing, and
    // must not hold the store while its messages wait for the user.
    bool inTransaction = usable && !interactive && res.FILE->BeginTransaction(res.LOCKRECOVER * 1000) == 0;

    ClearRecord(RESFileTable(), &RES);
    RES.RESNumber = projectNumber;
    if (!usable || res.TryFetch(res.KeyNumber("RES:RESNumberK")) != LevelNone) {
        if (interactive)
            Show("Missing Resource",
                 "Resource Number \"" + std::to_string(projectNumber) +
                     "\" was not found! Please correct the error and try again.",
                 IconExclamation);
        failure = true;
    } else {
        bool incrementsConfigured = IncrementsConfigured(RES);
        if (incrementsConfigured && AutoInc == 1) ApplyAutoIncrement(RES);
        RES.ExportDate = CurrentClock().Today();
        RES.ExportTime = CurrentClock().Now();
        res.Update();

        RESFileRecord project = RES;
        targetDirectory = FieldText(project.ProjectPath);
        if (targetDirectory.empty() || targetDirectory.back() != '/') targetDirectory += '/';
        projectName = FieldText(project.ProjectName);
        std::string base = targetDirectory + projectName;

        std::vector<ExtraItem> extras = ReadExtraItems(projectNumber, failure);
        std::optional<std::string> image;
        if (!failure && UsableProjectName(projectName)) image = ComposeVersionResource(project, extras);
        failure = failure || !image || !WriteFileAtomically(Latin1ToUtf8(base + ".RES"), *image);

        if (!failure && interactive) {
            ProjectIncludeValues values;
            // The paths are written as the file system names them, so that the host build
            // finds the program and the resource file also where a name holds ö or é.
            values.ProjectBase = Latin1ToUtf8(base);
            values.ShortProgramFile = ShortPath(ProgramFile);
            values.ProjectNumber = projectNumber;
            values.IncrementsConfigured = incrementsConfigured;
            values.ShortResFile = ShortPath(Latin1ToUtf8(base + ".RES"));
            failure = !WriteFileAtomically(Latin1ToUtf8(base + "_RES.PRJ"), ComposeProjectInclude(values));
        }
    }
    if (inTransaction && res.CommitTransaction(UpdateError) != LevelNone) failure = true;
    res.RestoreState(saved);
    res.Close();

    if (!interactive) return;
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
}

}  // namespace verdo
