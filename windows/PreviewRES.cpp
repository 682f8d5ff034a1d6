#include "windows/PreviewRES.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/Dictionary.h"
#include "core/Records.h"
#include "framework/FileManager.h"
#include "framework/MessageManager.h"
#include "framework/RelationManager.h"
#include "framework/Requests.h"
#include "framework/ToolbarForwarder.h"
#include "framework/WindowManager.h"
#include "runtime/text/Text.h"
#include "runtime/window/WindowSystem.h"
#include "windows/PreviewWindowDef.h"

namespace verdo {

namespace {

// The version strings that get a line of their own in the list, in the order they are
// added; comments, description and copyright are shown elsewhere or not at all.
struct StandardItem {
    const char* Name;
    char (RESFileRecord::*Field)[255];
};
constexpr StandardItem StandardItems[] = {
    {"Company Name", &RESFileRecord::CompanyName},
    {"Internal Name", &RESFileRecord::InternalName},
    {"Legal Trademarks", &RESFileRecord::LegalTrademarks},
    {"Original Filename", &RESFileRecord::OriginalFileName},
    {"Private Build", &RESFileRecord::PrivateBuild},
    {"Product Name", &RESFileRecord::ProductName},
    {"Special Build", &RESFileRecord::SpecialBuild},
};

// Shown for a project whose language identifier has no row in the language table.
constexpr const char* FallbackLanguage = "English (United States)";

PreviewItemRow Item(std::string_view name, std::string_view value) {
    PreviewItemRow row;
    AssignField(row.SegName, name);
    AssignField(row.SegData, value);
    return row;
}

PreviewItemRow Item(std::string_view name, const char (&value)[255]) {
    PreviewItemRow row;
    AssignField(row.SegName, name);
    std::memcpy(row.SegData, value, sizeof row.SegData);
    return row;
}

std::string FileVersionText(const RESFileRecord& project) {
    return std::to_string(project.FV_1) + ", " + std::to_string(project.FV_2) + ", " + std::to_string(project.FV_3) +
           ", " + std::to_string(project.FV_4);
}

// The language table has no key on the value, but it is small: walked in record order.
std::string LanguageName(const char (&languageId)[4]) {
    FileManager& languages = *Access_LangID;
    languages.Open();
    std::string name = FallbackLanguage;
    languages.SetKey(-1);
    while (languages.Next() == LevelNone) {
        if (std::memcmp(LID.LangIDVal, languageId, sizeof LID.LangIDVal) == 0) {
            name = FieldText(LID.LangID);
            break;
        }
    }
    languages.Close();
    return name;
}

class PreviewManager final : public WindowManager {
public:
    PreviewManager(int32_t resourceNumber, PreviewVariables& variables)
        : resourceNumber_(resourceNumber), variables_(variables) {}

    uint8_t Start() override {
        GlobalMessages().PushProcedureName("PreviewRES");
        REQUEST = GlobalRequest;
        uint8_t level = WindowManager::Start();
        if (level != LevelNone) return level;
        Window& w = *GetWindow();
        FIRSTFIELD = w.ControlNumber("?IMAGE1");
        AttachToolbar(&FrameToolbar());
        ClearGlobalRequest();
        close_ = w.ControlNumber("?CLOSE");
        cancel_ = w.ControlNumber("?CANCEL");
        list_ = w.ControlNumber("?LIST1");
        itemValue_ = w.ControlNumber("?ITEMVALUE");
        AddCloseButton(close_, Response::Cancelled);
        Relate_LangID->Open();
        Relate_ExtraSeg->Open();
        Relate_FileOS->Open();
        Relate_FileType->Open();
        Relate_CodePage->Open();
        Access_RESFile->UseFile();
        FILESOPENED = true;
        w.SetListFields(list_, {&PreviewItemTable().Field("LST:SegName")});
        OpenWindow("PreviewRES", true);
        RegisterAlertKeys();
        return LevelNone;
    }

    uint8_t OnWindowEvent(const WindowEvent& event) override {
        uint8_t level = WindowManager::OnWindowEvent(event);
        if (level != LevelNone) return level;
        if (event.Code == Event::OpenWindow) Fill();
        return LevelNone;
    }

    uint8_t OnFieldEvent(const WindowEvent& event) override {
        uint8_t level = WindowManager::OnFieldEvent(event);
        if (level != LevelNone) return level;
        if (event.Control == list_) MoveChoice(event.Code);
        return LevelNone;
    }

    uint8_t OnNewSelection(int control) override {
        uint8_t level = WindowManager::OnNewSelection(control);
        if (control == list_) {
            Window& w = *GetWindow();
            int choice = w.Choice(list_);
            if (choice >= 1 && static_cast<size_t>(choice) <= items_.size()) {
                std::memcpy(variables_.ItemValue, items_[choice - 1].SegData, sizeof variables_.ItemValue);
                w.Display(itemValue_);
            }
        }
        return level;
    }

    uint8_t OnAccepted(int control) override {
        uint8_t level = WindowManager::OnAccepted(control);
        if (control == cancel_) {
            UpdateItems();
            GetWindow()->PostEvent(Event::Accepted, close_);
        }
        return level;
    }

    uint8_t Finish() override {
        uint8_t level = WindowManager::Finish();
        if (level != LevelNone) return level;
        if (FILESOPENED) {
            Relate_LangID->Close();
            Relate_ExtraSeg->Close();
            Relate_FileOS->Close();
            Relate_FileType->Close();
            Relate_CodePage->Close();
        }
        GlobalMessages().PopProcedureName();
        return level;
    }

private:
    // Reads the project into the window and puts the shared buffer and the table's
    // position back as the caller had them: the browse goes on from where it stood.
    void Fill() {
        Window& w = *GetWindow();
        FileManager& projects = *Access_RESFile;
        projects.Open();
        uint16_t saved = projects.SaveState();
        ClearRecord(RESFileTable(), &RES);
        RES.RESNumber = resourceNumber_;
        if (projects.TryFetch(projects.KeyNumber("RES:RESNumberK")) == LevelNone) {
            AssignField(variables_.FileVersion, FileVersionText(RES));
            items_.clear();
            items_.push_back(Item("Language", LanguageName(RES.LangID)));
            for (const StandardItem& standard : StandardItems)
                if (!FieldText(RES.*standard.Field).empty()) items_.push_back(Item(standard.Name, RES.*standard.Field));
            AddExtraItems(RES.RESNumber);
            std::stable_sort(items_.begin(), items_.end(), [](const PreviewItemRow& a, const PreviewItemRow& b) {
                return std::memcmp(a.SegName, b.SegName, sizeof a.SegName) < 0;
            });
            std::memcpy(variables_.ItemValue, items_.front().SegData, sizeof variables_.ItemValue);
        }
        projects.RestoreState(saved);
        projects.Close();

        std::vector<std::string> images;
        images.reserve(items_.size());
        for (const PreviewItemRow& item : items_) images.emplace_back(reinterpret_cast<const char*>(&item), sizeof item);
        w.SetListRows(list_, images);
        w.SetChoice(list_, 1);
        w.SetListThumb(list_, 0);
        w.Display();
        w.Select(w.ControlNumber("?GENERALEXENAME"));
    }

    void AddExtraItems(int32_t project) {
        FileManager& extras = *Access_ExtraSeg;
        extras.Open();
        uint16_t saved = extras.SaveState();
        ClearRecord(ExtraSegTable(), &SEG);
        SEG.RESNumber = project;
        extras.SetKeyPosition(extras.KeyNumber("SEG:RESNumberK"));
        while (extras.Next() == LevelNone && SEG.RESNumber == project) items_.push_back(Item(FieldText(SEG.SegName), SEG.SegData));
        extras.RestoreState(saved);
        extras.Close();
    }

    // The list moves nothing by itself: the keys and the scroll bar only report what the
    // user asks for, and the highlight moves here, as a selection with the mouse would.
    void MoveChoice(int code) {
        Window& w = *GetWindow();
        const int count = static_cast<int>(items_.size());
        if (count == 0) return;
        const int current = std::max(w.Choice(list_), 1);
        const int page = std::max(w.ListRowsShown(list_) - 1, 1);
        int next = current;
        switch (code) {
            case Event::ScrollUp: next = current - 1; break;
            case Event::ScrollDown: next = current + 1; break;
            case Event::PageUp: next = current - page; break;
            case Event::PageDown: next = current + page; break;
            case Event::ScrollTop: next = 1; break;
            case Event::ScrollBottom: next = count; break;
            case Event::ScrollDrag: next = 1 + w.ListThumb(list_) * (count - 1) / 100; break;
            default: return;
        }
        next = std::clamp(next, 1, count);
        w.SetListThumb(list_, count > 1 ? (next - 1) * 100 / (count - 1) : 0);
        if (next == current) return;
        w.SetChoice(list_, next);
        w.PostEvent(Event::NewSelection, list_);
    }

    int32_t resourceNumber_;
    PreviewVariables& variables_;
    std::vector<PreviewItemRow> items_;
    int close_ = 0;
    int cancel_ = 0;
    int list_ = 0;
    int itemValue_ = 0;
};

}  // namespace

void PreviewRES(int32_t resourceNumber) {
    WindowSystem* system = CurrentWindowSystem();
    if (!system) return;
    PreviewVariables variables;
    ClearRecord(PreviewVariablesTable(), &variables);
    AssignField(variables.GeneralExeName, "MyApp.exe");
    variables.SecurityAllow = 1;
    PreviewManager manager(resourceNumber, variables);
    manager.SetWindow(system->CreateWindow(PreviewWindowDef(variables)));
    manager.RunWindow();
}

}  // namespace verdo
