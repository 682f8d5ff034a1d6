#include "windows/BrowseRESFile.h"

#include <memory>
#include <string>

#include "core/Dictionary.h"
#include "core/OpenDocument.h"
#include "core/ProgramNames.h"
#include "core/Records.h"
#include "export/ExportRESFile.h"
#include "framework/BrowseManager.h"
#include "framework/MessageManager.h"
#include "framework/RelationManager.h"
#include "framework/Requests.h"
#include "framework/SettingsFile.h"
#include "framework/ToolbarForwarder.h"
#include "framework/WindowManager.h"
#include "framework/WindowResizer.h"
#include "runtime/window/EventCodes.h"
#include "runtime/window/WindowSystem.h"
#include "windows/BrowseWindowDef.h"
#include "windows/BuildHistory.h"
#include "windows/PreviewRES.h"
#include "windows/UpdateRESFile.h"

namespace verdo {

namespace {

// 0 no browse is open, 1 one is, 2 a second start was refused while one is open.
int browseOpen = 0;

constexpr size_t FormatLimit = 255;
constexpr int HistoryKey = Key::CtrlFlag | 'H';

// The browse's orders follow the tabs: the first tab, and anything else, is by number.
class ProjectBrowse final : public BrowseManager {
public:
    int SHEET = 0;

    bool ChooseSortOrder(bool force) override {
        Window* window = WINDOW ? WINDOW->GetWindow() : nullptr;
        int tab = window ? window->Choice(SHEET) : 1;
        int order = tab == 2 ? 1 : tab == 3 ? 2 : tab == 4 ? 3 : 4;
        bool changed = order != CurrentOrder();
        SetSortOrder(order);
        return changed || force;
    }
};

class BrowseManagerWindow final : public WindowManager {
public:
    uint8_t Start() override {
        if (browseOpen != 0) {
            browseOpen = 2;
            return LevelFatal;
        }
        browseOpen = 1;
        GlobalMessages().PushProcedureName("BrowseRESFile");
        pushed_ = true;
        REQUEST = GlobalRequest;
        uint8_t level = WindowManager::Start();
        if (level != LevelNone) return level;
        Window& w = *GetWindow();
        const TableDef& t = RESFileTable();
        list_ = w.ControlNumber("?BROWSE:1");
        FIRSTFIELD = list_;
        AttachToolbar(&FrameToolbar());
        ClearGlobalRequest();
        AddCloseButton(w.ControlNumber("?CLOSE"), Response::Cancelled);
        Relate_RESFile->Open();
        FILESOPENED = true;

        browse_.SHEET = w.ControlNumber("?CURRENTTAB");
        browse_.Setup(list_, Relate_RESFile, this);
        if (REQUEST != Request::View) {
            browse_.INSERTCONTROL = w.ControlNumber("?INSERT:2");
            browse_.CHANGECONTROL = w.ControlNumber("?CHANGE:2");
            browse_.DELETECONTROL = w.ControlNumber("?DELETE:2");
        }
        OpenWindow("BrowseRESFile", true);

        auto order = [&](const char* key, const char* field, bool thumb) {
            browse_.AddOrder(t.KeyIndex(key));
            browse_.AttachLocator(std::make_unique<StepLocator>());
            browse_.LocatorSetup(0, static_cast<size_t>(t.FieldIndex(field)), true);
            if (thumb) browse_.SetThumb(std::make_unique<ThumbCalculator>());
        };
        order("RES:ProjectNameK", "RES:ProjectName", false);
        order("RES:EnterDateK", "RES:EnterDate", false);
        order("RES:ExportDateK", "RES:ExportDate", false);
        order("RES:RESNumberK", "RES:RESNumber", true);
        for (const char* field : {"RES:RESNumber", "RES:ProjectName", "RES:Description", "RES:ProjectPath",
                                  "RES:EnterDate", "RES:ExportDate", "RES:ExportTime"})
            browse_.AddColumn(static_cast<size_t>(t.FieldIndex(field)));

        w.SetMinimumSize(358, 188);
        resizer_.Init(&w, 2);
        AttachResizer(&resizer_);
        browse_.ASKPROCEDURE = 1;
        browse_.AttachToolbar(&FrameToolbar());
        RegisterAlertKeys();
        w.SetAlertKey(0, HistoryKey);

        std::string format(FormatLimit, ' ');
        GlobalSettings().ReadInto("VERDO", "BrowseFormat", format);
        format.erase(format.find_last_not_of(' ') + 1);
        // A saved format the list cannot use leaves the defined one.
        if (!format.empty()) w.SetListFormat(list_, format);
        return LevelNone;
    }

    uint8_t RunProcedure(int, uint8_t request) override {
        if (ORIGINALREQUEST == Request::View) return Response::Cancelled;
        GlobalRequest = request;
        UpdateRESFile();
        return GlobalResponse;
    }

    uint8_t OnAccepted(int control) override {
        uint8_t level = WindowManager::OnAccepted(control);
        Window& w = *GetWindow();
        const std::string name = w.ControlName(control);
        if (name == "?EXPORTRESFILE" || name == "?PREVIEWRESFILE" || name == "?BUILDHISTORY") {
            UpdateItems();
            // Only a highlighted project can be exported, previewed or looked back on.
            if (browse_.Rows() == 0) return level;
            if (name == "?EXPORTRESFILE") {
                ExportRESFile(RES.RESNumber, UserExport);
            } else if (name == "?PREVIEWRESFILE") {
                PreviewRES(RES.RESNumber);
            } else {
                BuildHistory(RES.RESNumber, FieldText(RES.ProjectName));
            }
            Refresh(false);
        } else if (name == "?HELP") {
            UpdateItems();
            OpenDocument(&w, ManualFileName);
        }
        return level;
    }

    uint8_t OnWindowEvent(const WindowEvent& event) override {
        if (event.Code == Event::AlertKey && event.Key == HistoryKey) {
            GetWindow()->PostEvent(Event::Accepted, GetWindow()->ControlNumber("?BUILDHISTORY"));
            return LevelNotice;
        }
        if (event.Code == Event::GainFocus) {
            // The buttons for the highlighted project follow the change button.
            Window& w = *GetWindow();
            bool changeOn = w.IsControlEnabled(w.ControlNumber("?CHANGE:2"));
            for (const char* name : {"?EXPORTRESFILE", "?PREVIEWRESFILE", "?BUILDHISTORY"})
                if (int button = w.ControlNumber(name); w.IsControlEnabled(button) != changeOn)
                    w.SetControlEnabled(button, changeOn);
        }
        return WindowManager::OnWindowEvent(event);
    }

    uint8_t OnCloseRequest() override {
        std::string format = GetWindow()->GetListFormat(list_);
        if (!format.empty()) GlobalSettings().WriteValue("VERDO", "BrowseFormat", format.substr(0, FormatLimit));
        return WindowManager::OnCloseRequest();
    }

    uint8_t Finish() override {
        browseOpen = browseOpen > 1 ? 1 : 0;
        if (WindowManager::Finish() != LevelNone) return LevelNotice;
        if (FILESOPENED) Relate_RESFile->Close();
        if (pushed_) GlobalMessages().PopProcedureName();
        return LevelNone;
    }

private:
    ProjectBrowse browse_;
    WindowResizer resizer_;
    int list_ = 0;
    bool pushed_ = false;
};

}  // namespace

void BrowseRESFile() {
    WindowSystem* system = CurrentWindowSystem();
    if (!system) return;
    BrowseManagerWindow manager;
    manager.SetWindow(system->CreateWindow(BrowseWindowDef()));
    manager.RunWindow();
}

}  // namespace verdo
