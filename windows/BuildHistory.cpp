#include "windows/BuildHistory.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/Dictionary.h"
#include "core/OpenDocument.h"
#include "core/ProgramNames.h"
#include "core/Records.h"
#include "export/LedgerQueries.h"
#include "framework/BrowseManager.h"
#include "framework/FileManager.h"
#include "framework/MessageManager.h"
#include "framework/RelationManager.h"
#include "framework/Requests.h"
#include "framework/ToolbarForwarder.h"
#include "framework/WindowManager.h"
#include "runtime/text/Text.h"
#include "runtime/window/EventCodes.h"
#include "runtime/window/WindowSystem.h"
#include "windows/BuildHistoryWindowDef.h"

namespace verdo {

namespace {

constexpr int CopyKey = Key::CtrlFlag | 'C';
constexpr const char* NoBuilds = "No build of this project is on record.";

RESBuildRecord RecordOf(const std::string& image) {
    RESBuildRecord row;
    ClearRecord(RESBuildTable(), &row);
    std::memcpy(&row, image.data(), std::min(image.size(), sizeof row));
    return row;
}

// The ledger's rows shown in the words of the history's columns.
class HistoryBrowse final : public BrowseManager {
public:
    std::string ShownImage(const std::string& image) const override {
        const RESBuildRecord build = RecordOf(image);
        BuildHistoryRow row;
        ClearRecord(BuildHistoryRowTable(), &row);
        AssignField(row.Time, UtcTimeOf(build));
        AssignField(row.Kind, FieldText(build.Kind));
        AssignField(row.FileVersion, FileVersionOf(build));
        AssignField(row.ProductVersion, ProductVersionOf(build));
        AssignField(row.Commit, CommitOf(build));
        AssignField(row.Host, FieldText(build.HostName));
        AssignField(row.User, FieldText(build.UserName));
        AssignField(row.Job, FieldText(build.JobUrl));
        return std::string(reinterpret_cast<const char*>(&row), sizeof row);
    }
};

class BuildHistoryManager final : public WindowManager {
public:
    BuildHistoryManager(int32_t project, const std::string& name, BuildHistoryVariables& variables)
        : variables_(variables) {
        ClearRecord(RESBuildTable(), &range_);
        range_.RESNumber = project;
        AssignField(variables_.Project, "Project " + std::to_string(project) + ": " + name);
    }

    uint8_t Start() override {
        GlobalMessages().PushProcedureName("BuildHistory");
        pushed_ = true;
        REQUEST = GlobalRequest;
        uint8_t level = WindowManager::Start();
        if (level != LevelNone) return level;
        Window& w = *GetWindow();
        const TableDef& t = RESBuildTable();
        list_ = w.ControlNumber("?BROWSE:1");
        details_ = w.ControlNumber("?DETAILS");
        copy_ = w.ControlNumber("?COPYROW");
        FIRSTFIELD = list_;
        AttachToolbar(&FrameToolbar());
        ClearGlobalRequest();
        AddCloseButton(w.ControlNumber("?CLOSE"), Response::Cancelled);
        Relate_RESBuild->Open();
        FILESOPENED = true;

        browse_.Setup(list_, Relate_RESBuild, this);
        OpenWindow("BuildHistory", true);
        browse_.AddOrder(t.KeyIndex("BLD:ProjectK"));
        browse_.SetDescending();
        browse_.AddRange(static_cast<size_t>(t.FieldIndex("BLD:RESNumber")), &range_, t.Field("BLD:RESNumber"));
        std::vector<const FieldDef*> columns;
        for (const FieldDef& field : BuildHistoryRowTable().Fields) columns.push_back(&field);
        w.SetListFields(list_, columns);
        browse_.AttachToolbar(&FrameToolbar());
        RegisterAlertKeys();
        w.SetAlertKey(list_, CopyKey);
        return LevelNone;
    }

    int OnEvent(const WindowEvent& event) override {
        int level = WindowManager::OnEvent(event);
        if (!DEAD && GetWindow()) ShowHighlighted();
        return level;
    }

    uint8_t OnFieldEvent(const WindowEvent& event) override {
        if (event.Control == list_ && event.Code == Event::AlertKey && event.Key == CopyKey) {
            CopyHighlighted();
            return LevelNotice;
        }
        return WindowManager::OnFieldEvent(event);
    }

    uint8_t OnAccepted(int control) override {
        uint8_t level = WindowManager::OnAccepted(control);
        Window& w = *GetWindow();
        const std::string name = w.ControlName(control);
        if (name == "?COPYROW") {
            CopyHighlighted();
        } else if (name == "?HELP") {
            OpenDocument(&w, ManualFileName);
        }
        return level;
    }

    uint8_t Finish() override {
        uint8_t level = WindowManager::Finish();
        if (level != LevelNone) return level;
        if (FILESOPENED) Relate_RESBuild->Close();
        if (pushed_) GlobalMessages().PopProcedureName();
        return LevelNone;
    }

private:
    // The details follow the highlight; nothing is read for them.
    void ShowHighlighted() {
        const int row = browse_.Highlighted();
        const int64_t shown = row > 0 ? browse_.HighlightedRowId() : 0;
        if (shown == shownRowId_ && shownOnce_) return;
        shownOnce_ = true;
        shownRowId_ = shown;
        Window& w = *GetWindow();
        AssignField(variables_.Details,
                    row > 0 ? LedgerDetails(RecordOf(browse_.RowImage(static_cast<size_t>(row)))) : NoBuilds);
        w.Display(details_);
        w.SetControlEnabled(copy_, row > 0);
    }

    void CopyHighlighted() {
        if (browse_.Highlighted() > 0) GetWindow()->CopyText(Latin1ToUtf8(FieldText(variables_.Details)));
    }

    BuildHistoryVariables& variables_;
    RESBuildRecord range_;
    HistoryBrowse browse_;
    int list_ = 0;
    int details_ = 0;
    int copy_ = 0;
    int64_t shownRowId_ = 0;
    bool shownOnce_ = false;
    bool pushed_ = false;
};

}  // namespace

void BuildHistory(int32_t resourceNumber, const std::string& projectName) {
    WindowSystem* system = CurrentWindowSystem();
    if (!system) return;
    BuildHistoryVariables variables;
    ClearRecord(BuildHistoryVariablesTable(), &variables);
    BuildHistoryManager manager(resourceNumber, projectName, variables);
    manager.SetWindow(system->CreateWindow(BuildHistoryWindowDef(variables)));
    manager.RunWindow();
}

}  // namespace verdo
