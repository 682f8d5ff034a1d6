#include "windows/FormWindowDef.h"

#include "core/Records.h"
#include "runtime/window/ControlDefs.h"

namespace verdo {

FormLocalValues FormLocals;

const std::string ExtraSegListFormat = "80L(2)|M~Segment Name~@s255@80L(2)|M~Segment Data~@s255@";

namespace {

const FieldDef& Field(const char* label) { return RESFileTable().Field(label); }

FieldRef Res(const char* label) { return FieldRef{&RES, &Field(label)}; }

const FieldDef TempLastSavedField{"TempLastSaved", "", FieldType::Date, 0, sizeof(Date)};

// Controls of the form, each placed on a tab (or below the sheet when the tab is empty).
class Builder {
public:
    explicit Builder(std::vector<ControlDef>& controls) : controls_(controls) {}
    std::string Tab;

    ControlDef& Add(const char* name, ControlKind kind, int x, int y, int width = 0, int height = 0,
                    const std::string& text = std::string()) {
        controls_.push_back(MakeControl(name, kind, x, y, width, height, text, Tab));
        return controls_.back();
    }
    void Prompt(const char* name, const char* text, int x, int y) { Add(name, ControlKind::Prompt, x, y, 0, 0, text); }
    void Caption(const char* name, const char* text, int x, int y) {
        Add(name, ControlKind::Prompt, x, y, 0, 0, text).Font = "bold";
    }
    void Panel(const char* name, int x, int y, int width, int height) { Add(name, ControlKind::Group, x, y, width, height); }
    void Entry(const char* name, const char* field, int x, int y, int width, const char* picture, const char* tip) {
        ControlDef& c = Add(name, ControlKind::Entry, x, y, width, 10);
        c.Use = Res(field);
        c.Picture = picture;
        c.Tip = tip;
    }
    void Spin(const char* name, const char* field, int x, int y, int width, const char* tip) {
        ControlDef& c = Add(name, ControlKind::Spin, x, y, width, 11);
        c.Use = Res(field);
        c.Tip = tip;
    }
    void Display(const char* name, FieldRef field, int x, int y, int width, const char* picture) {
        ControlDef& c = Add(name, ControlKind::Entry, x, y, width, 10);
        c.Use = field;
        c.Picture = picture;
        c.ReadOnly = true;
    }
    void Drop(const char* name, int x, int y, const char* tip) {
        ControlDef& c = Add(name, ControlKind::DropList, x, y, 140, 11);
        c.Picture = "140L(2)@s35@";
        c.Tip = tip;
    }
    void Check(const char* name, const char* text, const char* field, int x, int y, const char* tip) {
        ControlDef& c = Add(name, ControlKind::Check, x, y, 0, 0, text);
        c.Use = Res(field);
        c.Tip = tip;
    }
    void Button(const char* name, const char* text, int x, int y, int width, int height, const char* tip = "") {
        ControlDef& c = Add(name, ControlKind::Button, x, y, width, height, text);
        c.Tip = tip;
    }

private:
    std::vector<ControlDef>& controls_;
};

void GeneralTab(Builder& b) {
    b.Tab = "?TAB:1";
    b.Panel("?PANEL1", 8, 29, 419, 30);
    b.Prompt("?RES:PROJECTNAME:PROMPT", "N&ame:", 14, 34);
    b.Entry("?RES:PROJECTNAME", "RES:ProjectName", 44, 33, 44, "@s8", "Project Name");
    b.Prompt("?RES:DESCRIPTION:PROMPT", "&Description:", 96, 34);
    b.Entry("?RES:DESCRIPTION", "RES:Description", 144, 33, 277, "@s255", "Description");
    b.Prompt("?RES:PROJECTPATH:PROMPT", "&Path:", 14, 47);
    b.Entry("?RES:PROJECTPATH", "RES:ProjectPath", 44, 46, 359, "@s255", "Project Path");
    b.Button("?PICKPROJECTPATH", "...", 406, 45, 15, 12);

    b.Caption("?STRING5:2", "General Information", 10, 62);
    struct Text {
        const char* Prompt;
        const char* PromptText;
        const char* Name;
        const char* Field;
        const char* Tip;
    };
    const Text texts[] = {
        {"?RES:FILEDESCRIPTION:PROMPT", "De&scription:", "?RES:FILEDESCRIPTION", "RES:FileDescription", "File Description"},
        {"?RES:PRODUCTNAME:PROMPT", "P&roduct Name:", "?RES:PRODUCTNAME", "RES:ProductName", "Product Name"},
        {"?RES:INTERNALNAME:PROMPT", "I&nternal Name:", "?RES:INTERNALNAME", "RES:InternalName", "Internal Name"},
        {"?RES:ORIGINALFILENAME:PROMPT", "&Original Name:", "?RES:ORIGINALFILENAME", "RES:OriginalFileName",
         "Original FileName"},
        {"?RES:COMMENTS:PROMPT", "&Comments:", "?RES:COMMENTS", "RES:Comments", "Comments"},
        {"?RES:SPECIALBUILD:PROMPT", "Special B&uild:", "?RES:SPECIALBUILD", "RES:SpecialBuild", "Special Build"},
        {"?RES:PRIVATEBUILD:PROMPT", "Pri&vate Build:", "?RES:PRIVATEBUILD", "RES:PrivateBuild", "Private Build"},
        {"?RES:COMPANYNAME:PROMPT", "Co&mpany Name:", "?RES:COMPANYNAME", "RES:CompanyName", "Company Name"},
        {"?RES:LEGALCOPYRIGHT:PROMPT", "Legal Cop&yright:", "?RES:LEGALCOPYRIGHT", "RES:LegalCopyright",
         "Legal Copyright"},
        {"?RES:LEGALTRADEMARKS:PROMPT", "Legal &Trademarks:", "?RES:LEGALTRADEMARKS", "RES:LegalTrademarks",
         "Legal Trademarks"},
    };
    int y = 75;
    for (const Text& t : texts) {
        b.Prompt(t.Prompt, t.PromptText, 14, y + 1);
        b.Entry(t.Name, t.Field, 76, y, 176, "@s255", t.Tip);
        y += 13;
    }

    const char* fileTips[] = {"File Version - Major", "File Version - Minor", "File Version - Build",
                              "File Version - Release"};
    const char* productTips[] = {"Product Version - Major", "Product Version - Minor", "Product Version - Build",
                                 "Product Version - Release"};
    b.Caption("?STRING5", "Project", 10, 20);
    // The version and date column: four spin boxes in a row, each wide enough for 65535.
    constexpr int right = 264;
    constexpr int spinWidth = 38;
    b.Prompt("?PROMPT24", "Fi&le Version:", right + 6, 75);
    const char* fvNames[] = {"?RES:FV:1", "?RES:FV:2", "?RES:FV:3", "?RES:FV:4"};
    const char* fvFields[] = {"RES:FV:1", "RES:FV:2", "RES:FV:3", "RES:FV:4"};
    for (int i = 0; i < 4; ++i) b.Spin(fvNames[i], fvFields[i], right + 4 + (spinWidth + 1) * i, 84, spinWidth, fileTips[i]);
    b.Caption("?STRING5:3", "Version", right + 2, 62);
    b.Prompt("?PROMPT26", "Enter Date:", right + 6, 142);
    b.Display("?RES:ENTERDATE", Res("RES:EnterDate"), right + 64, 141, 93, "@d17B");
    b.Caption("?STRING5:8", "Record Dates", right + 2, 128);
    b.Prompt("?PROMPT25", "Product V&ersion:", right + 6, 99);
    const char* pvNames[] = {"?RES:PV:1", "?RES:PV:2", "?RES:PV:3", "?RES:PV:4"};
    const char* pvFields[] = {"RES:PV:1", "RES:PV:2", "RES:PV:3", "RES:PV:4"};
    for (int i = 0; i < 4; ++i) b.Spin(pvNames[i], pvFields[i], right + 4 + (spinWidth + 1) * i, 108, spinWidth, productTips[i]);
    b.Prompt("?PROMPT27", "Last Saved:", right + 6, 154);
    b.Display("?TEMPLASTSAVED", FieldRef{&FormLocals.TempLastSaved, &TempLastSavedField}, right + 64, 153, 93, "@d17B");
    b.Prompt("?PROMPT28", "Export Date:", right + 6, 166);
    b.Display("?RES:EXPORTDATE", Res("RES:ExportDate"), right + 64, 165, 93, "@d17B");
    b.Prompt("?PROMPT22", "RES No:", right + 6, 190);
    b.Display("?RES:RESNUMBER", Res("RES:RESNumber"), right + 64, 189, 93, "@n-14");
    b.Display("?RES:EXPORTTIME", Res("RES:ExportTime"), right + 64, 177, 93, "@T7B");
    b.Prompt("?PROMPT23", "ALT+0169=\u00a9   ALT+0174=\u00ae", 14, 209);
    b.Prompt("?PROMPT33", "Export Time:", right + 6, 178);
    b.Panel("?PANEL2", 8, 71, 250, 133);
    b.Panel("?PANEL3", right, 71, 427 - right, 51);
    b.Panel("?PANEL4", right, 137, 427 - right, 67);
    b.Panel("?PANEL5", 8, 205, 250, 15);
    b.Panel("?PANEL6", right, 212, 427 - right, 1);
}

void AdvancedTab(Builder& b) {
    b.Tab = "?TAB:3";
    b.Caption("?STRING5:4", "LangID/CP", 10, 22);
    b.Prompt("?PROMPT21", "&Lang ID:", 14, 37);
    b.Drop("?LID:LANGID", 70, 35, "Language ID");
    b.Prompt("?PROMPT29", "&Code Page:", 14, 51);
    b.Drop("?CPG:CODEPAGE", 70, 49, "Code Page");
    b.Prompt("?PROMPT30", "File T&ype:", 14, 65);
    b.Drop("?FTY:FILETYPE", 70, 63, "File Type");
    b.Prompt("?PROMPT31", "File &OS:", 14, 79);
    b.Drop("?FOS:FILEOS", 70, 77, "File OS");
    b.Check("?RES:FFDEBUG", "VS_FF_DEBU&G", "RES:FFDebug", 232, 36, "DEBUG");
    b.Check("?RES:FFPRERELEASE", "VS_FF_FF&PRERELEASE", "RES:FFPreRelease", 232, 50, "PRERELEASE");
    b.Caption("?STRING5:5", "File Flags", 228, 22);
    b.Caption("?STRING5:6", "Options", 228, 72);
    b.Caption("?STRING5:7", "Auto Build Options", 10, 100);
    b.Prompt("?PROMPT32", "Auto Increment", 14, 113);
    b.Prompt("?PROMPT24:2", "File &Version:", 14, 127);
    const char* fileTips[] = {"File Version - Major", "File Version - Minor", "File Version - Build",
                                     "File Version - Release"};
    const char* incFvNames[] = {"?RES:INC:FV:1", "?RES:INC:FV:2", "?RES:INC:FV:3", "?RES:INC:FV:4"};
    const char* incFvFields[] = {"RES:INC:FV:1", "RES:INC:FV:2", "RES:INC:FV:3", "RES:INC:FV:4"};
    for (int i = 0; i < 4; ++i) b.Spin(incFvNames[i], incFvFields[i], 90 + 40 * i, 125, 36, fileTips[i]);
    b.Prompt("?PROMPT25:2", "Pro&duct Version:", 14, 143);
    b.Spin("?RES:INC:PV:1", "RES:INC:PV:1", 90, 141, 62, "Product Version - Major");
    const char* incPvNames[] = {"?RES:INC:PV:2", "?RES:INC:PV:3", "?RES:INC:PV:4"};
    const char* incPvFields[] = {"RES:INC:PV:2", "RES:INC:PV:3", "RES:INC:PV:4"};
    const char* productTips[] = {"Product Version - Minor", "Product Version - Build",
                                        "Product Version - Release"};
    for (int i = 0; i < 3; ++i) b.Spin(incPvNames[i], incPvFields[i], 156 + 40 * i, 141, 36, productTips[i]);
    b.Panel("?PANEL7", 8, 31, 212, 62);
    b.Panel("?PANEL8", 226, 31, 201, 35);
    b.Panel("?PANEL9", 226, 81, 201, 12);
    b.Panel("?PANEL10", 8, 109, 419, 50);
}

void ExtraTab(Builder& b) {
    b.Tab = "?TAB:5";
    ControlDef& list = b.Add("?BROWSE:2", ControlKind::List, 10, 22, 415, 176);
    list.Picture = ExtraSegListFormat;
    list.Tip = "Browsing Records";
    b.Button("?INSERT:3", "&Insert", 282, 202, 45, 14);
    b.Button("?CHANGE:3", "&Change", 331, 202, 45, 14);
    b.Button("?DELETE:3", "&Delete", 380, 202, 45, 14);
}

void NotesTab(Builder& b) {
    b.Tab = "?TAB4";
    ControlDef& notes = b.Add("?RES:NOTES", ControlKind::Text, 10, 22, 415, 176);
    notes.Use = Res("RES:Notes");
    notes.Tip = "Notes";
    b.Button("?BUTTON8", "Insert &Date", 10, 202, 60, 14, "Insert Date");
    b.Button("?BUTTON9", "Clea&r Note", 74, 202, 60, 14, "Clear Note");
}

WindowDef Make() {
    WindowDef w;
    w.Procedure = "UpdateRESFile";
    w.Kind = WindowKind::Dialog;
    w.Title = "Update Resource Project";
    w.Icon = "Verdo.ico";
    w.Width = 435;
    w.Height = 245;
    w.Wallpaper = "bgrnd.bmp";
    Builder b(w.Controls);
    b.Add("?SHEET1", ControlKind::Sheet, 4, 4, 427, 218);
    b.Tab = "?SHEET1";
    b.Add("?TAB:1", ControlKind::Tab, 0, 0, 0, 0, "General");
    b.Add("?TAB:3", ControlKind::Tab, 0, 0, 0, 0, "Advanced Settings");
    b.Add("?TAB:5", ControlKind::Tab, 0, 0, 0, 0, "Extra Segments");
    b.Add("?TAB4", ControlKind::Tab, 0, 0, 0, 0, "Notes");
    GeneralTab(b);
    AdvancedTab(b);
    ExtraTab(b);
    NotesTab(b);
    b.Tab.clear();
    b.Button("?IMPORTVDOFILE", "&Import 1.0 File...", 4, 227, 80, 14, "Import VERDO 1.0 File");
    b.Button("?OK", "OK", 330, 227, 45, 14);
    w.Controls.back().Default = true;
    b.Button("?CANCEL", "Cancel", 382, 227, 45, 14);
    return w;
}

}  // namespace

const WindowDef& FormWindowDef() {
    static const WindowDef def = Make();
    return def;
}

}  // namespace verdo
