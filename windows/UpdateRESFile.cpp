#include "windows/UpdateRESFile.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/Dictionary.h"
#include "core/Records.h"
#include "framework/BrowseManager.h"
#include "framework/EditInPlaceManager.h"
#include "framework/FileManager.h"
#include "framework/LookupDropList.h"
#include "runtime/window/MessageDialog.h"
#include "framework/MessageManager.h"
#include "framework/RelationManager.h"
#include "framework/Requests.h"
#include "framework/ToolbarForwarder.h"
#include "framework/WindowManager.h"
#include "runtime/datetime/DateTime.h"
#include "runtime/platform/FileDialogs.h"
#include "runtime/text/Text.h"
#include "runtime/window/EventCodes.h"
#include "runtime/window/WindowSystem.h"
#include "windows/FormWindowDef.h"
#include "windows/ImportVDOFile.h"

namespace verdo {

namespace {

// The values of the last OK, for the ditto key; they live for the whole run.
RESFileRecord dittoCopy;

// The 36 controls whose fields the ditto key brings back.
const char* const DittoControls[] = {
    "?RES:PROJECTNAME",  "?RES:DESCRIPTION",      "?RES:PROJECTPATH",     "?RES:FILEDESCRIPTION", "?RES:PRODUCTNAME",
    "?RES:INTERNALNAME", "?RES:ORIGINALFILENAME", "?RES:COMMENTS",        "?RES:SPECIALBUILD",    "?RES:PRIVATEBUILD",
    "?RES:COMPANYNAME",  "?RES:LEGALCOPYRIGHT",   "?RES:LEGALTRADEMARKS", "?RES:FV:1",            "?RES:FV:2",
    "?RES:FV:3",         "?RES:FV:4",             "?RES:PV:1",            "?RES:PV:2",            "?RES:PV:3",
    "?RES:PV:4",         "?RES:ENTERDATE",        "?RES:EXPORTDATE",      "?RES:RESNUMBER",       "?RES:EXPORTTIME",
    "?RES:FFDEBUG",      "?RES:FFPRERELEASE",     "?RES:INC:FV:1",        "?RES:INC:FV:2",        "?RES:INC:FV:3",
    "?RES:INC:FV:4",     "?RES:INC:PV:1",         "?RES:INC:PV:2",        "?RES:INC:PV:3",        "?RES:INC:PV:4",
    "?RES:NOTES",
};

// The lookup tables behind the four drop lists, in the order they are set up.
struct Lookup {
    const char* Control;
    RelationManager** Relate;
    const TableDef& (*Table)();
    const char* Name;
    const char* Value;
    const char* ProjectField;
};
const Lookup Lookups[] = {
    {"?LID:LANGID", &Relate_LangID, LangIDTable, "LID:LangID", "LID:LangIDVal", "RES:LangID"},
    {"?CPG:CODEPAGE", &Relate_CodePage, CodePageTable, "CPG:CodePage", "CPG:CodePageVal", "RES:CodePage"},
    {"?FTY:FILETYPE", &Relate_FileType, FileTypeTable, "FTY:FileType", "FTY:FileTypeVal", "RES:FileType"},
    {"?FOS:FILEOS", &Relate_FileOS, FileOSTable, "FOS:FileOS", "FOS:FileOSVal", "RES:FileOS"},
};

RelationManager* const* FormTables[] = {&Relate_CodePage, &Relate_ExtraSeg, &Relate_FileOS, &Relate_FileType,
                                        &Relate_LangID};

class FormManager final : public WindowManager {
public:
    uint8_t Start() override {
        GlobalMessages().PushProcedureName("UpdateRESFile");
        FormLocals = FormLocalValues{};
        REQUEST = GlobalRequest;
        if (WindowManager::Start() != LevelNone) return LevelNotice;
        Window& w = *GetWindow();
        const TableDef& res = RESFileTable();
        FIRSTFIELD = w.ControlNumber("?PANEL1");
        AttachToolbar(&FrameToolbar());
        ClearGlobalRequest();

        HISTORYKEY = DittoKey;
        DittoRecord(&RES, &dittoCopy, res);
        for (const char* name : DittoControls) {
            int control = w.ControlNumber(name);
            const FieldRef& use = w.Definition().Controls[control - 1].Use;
            DittoField(control, res.FieldIndex(use.Field->Label) + 1);
        }
        AddSavedTable(Access_RESFile);
        AddCloseButton(w.ControlNumber("?CANCEL"), Response::Cancelled);

        for (RelationManager* const* table : FormTables) (*table)->Open();
        Access_RESFile->UseFile();
        FILESOPENED = true;
        PRIMARY = Relate_RESFile;

        if (REQUEST == Request::View) {
            INSERTACTION = 1;
            DELETEACTION = 1;
            CHANGEACTION = 0;
            CANCELACTION = 0;
            OKCONTROL = 0;
        } else {
            OKCONTROL = w.ControlNumber("?OK");
            if (PrepareRequest() != LevelNone) return LevelNotice;
        }

        SetUpExtraItems(w);
        OpenWindow("UpdateRESFile", true);
        const TableDef& seg = ExtraSegTable();
        items_.AddOrder(seg.KeyIndex("SEG:RESNumberK"));
        items_.SetThumb(std::make_unique<ThumbCalculator>());
        items_.AddRange(static_cast<size_t>(seg.FieldIndex("SEG:RESNumber")), &RES,
                        res.Field("RES:RESNumber"));
        for (const char* field : {"SEG:SegName", "SEG:SegData", "SEG:RESNumber"})
            items_.AddColumn(static_cast<size_t>(seg.FieldIndex(field)));

        for (size_t i = 0; i < std::size(Lookups); ++i) {
            const Lookup& lookup = Lookups[i];
            const TableDef& table = lookup.Table();
            LookupDropList& drop = drops_[i];
            drop.Setup(w.ControlNumber(lookup.Control), *lookup.Relate, this);
            drop.AddOrder();
            drop.AddDisplayField(static_cast<size_t>(table.FieldIndex(lookup.Name)));
            drop.AddUpdateField(static_cast<size_t>(table.FieldIndex(lookup.Value)),
                                FieldRef{&RES, &res.Field(lookup.ProjectField)});
        }
        RegisterAlertKeys();
        w.SetTitle(REQUEST == Request::View     ? "View Record"
                   : REQUEST == Request::Insert ? "Adding a Resource Project Record"
                                                : "Changing a Resource Project Record");
        return LevelNone;
    }

    uint8_t PrepareRequest() override {
        uint8_t level = WindowManager::PrepareRequest();
        if (level != LevelNone) return level;
        FormLocals.TempLastSaved = RES.LastSaved;
        // After the buffers were saved: a project not saved today counts as changed.
        RES.LastSaved = CurrentClock().Today();
        return LevelNone;
    }

    uint8_t OnAccepted(int control) override {
        Window& w = *GetWindow();
        const std::string name = w.ControlName(control);
        if (name == "?OK" && ORIGINALREQUEST == Request::View) {
            UpdateItems();
            EndWithResponse(Response::Cancelled);
            return LevelNotice;
        }
        uint8_t level = WindowManager::OnAccepted(control);
        if (name == "?PICKPROJECTPATH") {
            UpdateItems();
            PickProjectPath(w);
        } else if (name == "?BUTTON8") {
            UpdateItems();
            InsertDate(w);
        } else if (name == "?BUTTON9") {
            UpdateItems();
            ClearNote(w);
        } else if (name == "?IMPORTVDOFILE") {
            UpdateItems();
            Import(w);
        }
        return level;
    }

    uint8_t RunWindow() override {
        uint8_t response = WindowManager::RunWindow();
        return ORIGINALREQUEST == Request::View ? Response::Cancelled : response;
    }

    uint8_t Finish() override {
        if (WindowManager::Finish() != LevelNone) return LevelNotice;
        if (FILESOPENED)
            for (RelationManager* const* table : FormTables) (*table)->Close();
        GlobalMessages().PopProcedureName();
        return LevelNone;
    }

private:
    void SetUpExtraItems(Window& w) {
        const TableDef& seg = ExtraSegTable();
        items_.Setup(w.ControlNumber("?BROWSE:2"), Relate_ExtraSeg, this);
        editor_.Setup({static_cast<size_t>(seg.FieldIndex("SEG:SegName")), static_cast<size_t>(seg.FieldIndex("SEG:SegData"))});
        items_.EDITINPLACE = &editor_;
        items_.ARROWACTION = EditInPlaceManager::ArrowSavesAndMoves;
        if (REQUEST != Request::View) {
            items_.INSERTCONTROL = w.ControlNumber("?INSERT:3");
            items_.CHANGECONTROL = w.ControlNumber("?CHANGE:3");
            items_.DELETECONTROL = w.ControlNumber("?DELETE:3");
        }
    }

    void PickProjectPath(Window& w) {
        FileDialogs* dialogs = CurrentFileDialogs();
        if (!dialogs) return;
        std::string path = Latin1ToUtf8(FieldText(RES.ProjectPath));
        if (!path.empty()) {
            std::error_code ignored;
            std::filesystem::current_path(path, ignored);
        }
        std::error_code error;
        std::string start = std::filesystem::current_path(error).string();
        std::string chosen;
        if (!dialogs->PickFolder("Select RES Export Path", start, chosen)) return;
        std::string single = Utf8ToLatin1(chosen);
        if (Latin1ToUtf8(single) != chosen) {
            // A name the project's single-byte field cannot hold would export elsewhere.
            MessageRequest message;
            message.Title = "Select RES Export Path";
            message.Text = "The folder " + chosen + " has characters in its name that a project path cannot hold.";
            message.Icon = IconExclamation;
            GlobalMessages().ShowMessage(message);
            return;
        }
        AssignField(RES.ProjectPath, single);
        w.Display(w.ControlNumber("?RES:PROJECTPATH"));
    }

    void InsertDate(Window& w) {
        std::string notes = FieldText(RES.Notes);
        if (!notes.empty()) notes += "\r\n\r\n";
        Date today = CurrentClock().Today();
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%u/%02u/%04u -", static_cast<unsigned>(today.Month),
                      static_cast<unsigned>(today.Day), static_cast<unsigned>(today.Year));
        notes += stamp;
        AssignField(RES.Notes, notes);
        w.Display();
        w.Select(w.ControlNumber("?RES:NOTES"));
        w.PressKeys({Key::CtrlFlag | 0x23, 0x20});
    }

    void ClearNote(Window& w) {
        MessageRequest question;
        question.Title = "Clear Note?";
        question.Text = "Clear the note?";
        question.Icon = IconQuestion;
        question.Buttons = ButtonYes | ButtonNo;
        question.DefaultButton = ButtonYes;
        if (GlobalMessages().ShowMessage(question) != ButtonYes) return;
        AssignField(RES.Notes, "");
        w.Display();
        w.Select(w.ControlNumber("?RES:NOTES"));
    }

    void Import(Window& w) {
        FileDialogs* dialogs = CurrentFileDialogs();
        if (!dialogs) return;
        std::string file;
        if (!dialogs->PickFile("Select VERDO 1.0 File to be Imported...",
                               {{"VERDO 1.0 File (*.VDO)", "*.VDO"}, {"All Files", "*.*"}}, file))
            return;
        ReadVDOFile(file, RES);
        w.Display();
    }

    BrowseManager items_;
    EditInPlaceManager editor_;
    LookupDropList drops_[4];
};

}  // namespace

void UpdateRESFile() {
    WindowSystem* system = CurrentWindowSystem();
    if (!system) {
        GlobalResponse = Response::Cancelled;
        return;
    }
    FormManager manager;
    manager.SetWindow(system->CreateWindow(FormWindowDef()));
    GlobalResponse = manager.RunWindow();
}

}  // namespace verdo
