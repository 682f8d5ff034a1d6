#include "windows/PreviewWindowDef.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "core/Records.h"
#include "runtime/window/ControlDefs.h"

namespace verdo {

namespace {

TableDef MakeVariables() {
    using R = PreviewVariables;
    TableDef t;
    t.Label = "PreviewRES";
    t.Prefix = "LOC";
    t.RecordSize = sizeof(R);
    t.Fields = {
        VERDO_FIELD(R, "LOC", GeneralExeName, "GeneralExeName", String),
        VERDO_FIELD(R, "LOC", AttrReadOnly, "AttrReadOnly", Byte),
        VERDO_FIELD(R, "LOC", AttrHidden, "AttrHidden", Byte),
        VERDO_FIELD(R, "LOC", FileVersion, "FileVersion", String),
        VERDO_FIELD(R, "LOC", ItemValue, "ItemValue", String),
        VERDO_FIELD(R, "LOC", SecurityAllow, "SecurityAllow", Byte),
        VERDO_FIELD(R, "LOC", SummaryTitle, "SummaryTitle", String),
        VERDO_FIELD(R, "LOC", SummarySubject, "SummarySubject", String),
        VERDO_FIELD(R, "LOC", SummaryAuthor, "SummaryAuthor", String),
        VERDO_FIELD(R, "LOC", SummaryCategory, "SummaryCategory", String),
        VERDO_FIELD(R, "LOC", SummaryKeywords, "SummaryKeywords", String),
        VERDO_FIELD(R, "LOC", SummaryComments, "SummaryComments", String),
    };
    return t;
}

TableDef MakeItems() {
    using R = PreviewItemRow;
    TableDef t;
    t.Label = "PreviewItems";
    t.Prefix = "LST";
    t.RecordSize = sizeof(R);
    t.Fields = {
        VERDO_FIELD(R, "LST", SegName, "SegName", String),
        VERDO_FIELD(R, "LST", SegData, "SegData", String),
    };
    return t;
}

#undef VERDO_PREVIEW_FIELD

ControlDef Control(const char* name, ControlKind kind, const char* parent, int x, int y, int width = 0,
                   int height = 0, std::string text = std::string()) {
    return MakeControl(name, kind, x, y, width, height, std::move(text), parent);
}

ControlDef Prompt(const char* name, const char* parent, int x, int y, std::string text) {
    return Control(name, ControlKind::Prompt, parent, x, y, 0, 0, std::move(text));
}

// A group without text one unit high is drawn as a sunken line.
ControlDef Separator(const char* name, const char* parent, int x, int y) {
    return Control(name, ControlKind::Group, parent, x, y, 215, 1);
}

ControlDef Button(const char* name, const char* parent, int x, int y, std::string text, int width = 49) {
    return Control(name, ControlKind::Button, parent, x, y, width, 14, std::move(text));
}

ControlDef Picture(const char* name, const char* parent, int x, int y, const char* picture, int width = 0,
                   int height = 0) {
    ControlDef c = Control(name, ControlKind::Image, parent, x, y, width, height);
    c.Picture = picture;
    return c;
}

ControlDef Variable(ControlDef c, PreviewVariables& variables, const char* label) {
    return BoundTo(std::move(c), &variables, PreviewVariablesTable(), label);
}

ControlDef Project(ControlDef c, const char* label) { return BoundTo(std::move(c), &RES, RESFileTable(), label); }

void AddGeneralTab(std::vector<ControlDef>& c, PreviewVariables& v) {
    const char* tab = "?GENERAL";
    c.push_back(Picture("?IMAGE1", tab, 13, 22, "Verdo.ico"));
    c.push_back(Variable(Control("?GENERALEXENAME", ControlKind::Entry, tab, 61, 28, 165, 10), v, "LOC:GeneralExeName"));
    c.push_back(Separator("?PANEL1", tab, 13, 48));
    c.push_back(Prompt("?PROMPT7", tab, 13, 58, "Type of file:"));
    c.push_back(Prompt("?PROMPT8", tab, 61, 58, "Application"));
    c.push_back(Prompt("?PROMPT33", tab, 13, 73, "Description:"));
    c.push_back(Project(Control("?RES:DESCRIPTION:2", ControlKind::Prompt, tab, 61, 73, 165, 10), "RES:Description"));
    c.push_back(Separator("?PANEL1:2", tab, 13, 90));
    c.push_back(Prompt("?PROMPT10", tab, 13, 97, "Location:"));
    c.push_back(Prompt("?PROMPT16", tab, 61, 97, "C:\\Program Files\\My App"));
    c.push_back(Prompt("?PROMPT9", tab, 13, 114, "Size:"));
    c.push_back(Prompt("?PROMPT17", tab, 61, 114, "1.23MB (1,294,534 bytes)"));
    c.push_back(Prompt("?PROMPT34", tab, 13, 131, "Size on disk:"));
    c.push_back(Prompt("?PROMPT35", tab, 61, 131, "1.29MB (1,298,432 bytes)"));
    c.push_back(Separator("?PANEL1:3", tab, 13, 147));
    c.push_back(Prompt("?PROMPT12", tab, 13, 154, "Created:"));
    c.push_back(Prompt("?PROMPT19", tab, 61, 154, "Saturday, July 21, 2001 11:57:31 AM"));
    c.push_back(Prompt("?PROMPT13", tab, 13, 170, "Modified:"));
    c.push_back(Prompt("?PROMPT20", tab, 61, 170, "Saturday, July 21, 2001 11:57:31 AM"));
    c.push_back(Prompt("?PROMPT14", tab, 13, 186, "Accessed:"));
    c.push_back(Prompt("?PROMPT21", tab, 61, 186, "Saturday, July 21, 2001"));
    c.push_back(Separator("?PANEL1:5", tab, 11, 201));
    c.push_back(Prompt("?PROMPT15", tab, 13, 209, "Attributes:"));
    c.push_back(Variable(Control("?ATTRREADONLY", ControlKind::Check, tab, 61, 209, 0, 0, "&Read-Only"), v,
                         "LOC:AttrReadOnly"));
    c.push_back(Variable(Control("?ATTRHIDDEN", ControlKind::Check, tab, 122, 209, 0, 0, "&Hidden"), v, "LOC:AttrHidden"));
    c.push_back(Button("?BUTTON8", tab, 182, 209, "A&dvanced"));
}

void AddVersionTab(std::vector<ControlDef>& c, PreviewVariables& v) {
    const char* tab = "?VERSION";
    c.push_back(Prompt("?PROMPT1", tab, 15, 27, "File version:"));
    // A display of a field takes its size from the definition, not from the text it
    // shows later: the version text gets the width of the fields below it.
    c.push_back(Variable(Control("?FILEVERSION", ControlKind::Prompt, tab, 59, 28, 161, 10), v, "LOC:FileVersion"));
    c.push_back(Prompt("?PROMPT2", tab, 15, 47, "Description:"));
    c.push_back(Project(Control("?RES:DESCRIPTION", ControlKind::Prompt, tab, 59, 47, 161, 10), "RES:Description"));
    c.push_back(Prompt("?PROMPT3", tab, 15, 69, "Copyright:"));
    c.push_back(Project(Control("?RES:LEGALCOPYRIGHT", ControlKind::Prompt, tab, 59, 68, 161, 10), "RES:LegalCopyright"));
    c.push_back(Control("?GROUP1", ControlKind::Group, tab, 13, 87, 213, 121, "Other version information"));
    c.push_back(Prompt("?PROMPT4", tab, 23, 102, "Item name:"));
    c.push_back(Prompt("?PROMPT5", tab, 123, 99, "Value:"));
    ControlDef list = Control("?LIST1", ControlKind::List, tab, 21, 111, 90, 89);
    list.Picture = "80L@s20@";
    c.push_back(list);
    c.push_back(Variable(Control("?ITEMVALUE", ControlKind::Text, tab, 121, 111, 99, 90), v, "LOC:ItemValue"));
}

void AddSecurityTab(std::vector<ControlDef>& c, PreviewVariables& v) {
    const char* tab = "?TAB3";
    // The two pictures take their size in dialog units, so that the permission columns
    // stay under the "Allow" and "Deny" texts whatever the font.
    c.push_back(Picture("?IMAGE2", tab, 12, 21, "sec_1.bmp", 155, 74));
    c.push_back(Button("?BUTTON5", tab, 175, 21, "A&dd..."));
    c.push_back(Button("?BUTTON7", tab, 175, 39, "&Remove"));
    c.push_back(Prompt("?PROMPT22", tab, 12, 103, "&Permission"));
    c.push_back(Prompt("?PROMPT23", tab, 160, 103, "Allow"));
    c.push_back(Prompt("?PROMPT24", tab, 194, 103, "Deny"));
    c.push_back(Picture("?IMAGE3", tab, 12, 113, "sec_2.bmp", 205, 69));
    c.push_back(Button("?BUTTON6", tab, 12, 190, "Ad&vanced...", 56));
    c.push_back(Variable(Control("?SECURITYALLOW", ControlKind::Check, tab, 12, 205, 218, 14,
                                 "Allow inheratible permissions from parent to propigate to this"),
                         v, "LOC:SecurityAllow"));
    c.push_back(Prompt("?PROMPT25", tab, 22, 215, "object"));
}

void AddSummaryTab(std::vector<ControlDef>& c, PreviewVariables& v) {
    const char* tab = "?TAB4";
    auto line = [&](const char* prompt, const char* label, int y, const char* name, const char* field) {
        c.push_back(Prompt(prompt, tab, 13, y, label));
        ControlDef entry = Control(name, ControlKind::Entry, tab, 55, y, 169, 10);
        entry.Picture = "@s20";
        c.push_back(Variable(entry, v, field));
    };
    line("?PROMPT26", "&Title:", 28, "?SUMMARYTITLE", "LOC:SummaryTitle");
    line("?PROMPT27", "&Subject:", 46, "?SUMMARYSUBJECT", "LOC:SummarySubject");
    line("?PROMPT28", "A&uthor:", 62, "?SUMMARYAUTHOR", "LOC:SummaryAuthor");
    c.push_back(Separator("?PANEL1:4", tab, 11, 86));
    line("?PROMPT29", "&Category:", 98, "?SUMMARYCATEGORY", "LOC:SummaryCategory");
    line("?PROMPT30", "&Keywords:", 116, "?SUMMARYKEYWORDS", "LOC:SummaryKeywords");
    c.push_back(Prompt("?PROMPT31", tab, 13, 134, "Co&mments:"));
    c.push_back(Variable(Control("?SUMMARYCOMMENTS", ControlKind::Text, tab, 55, 134, 169, 40), v, "LOC:SummaryComments"));
    c.push_back(Button("?BUTTON4", tab, 163, 183, "Ad&vanced >>", 63));
}

}  // namespace

const TableDef& PreviewVariablesTable() {
    static const TableDef def = MakeVariables();
    return def;
}

const TableDef& PreviewItemTable() {
    static const TableDef def = MakeItems();
    return def;
}

WindowDef PreviewWindowDef(PreviewVariables& variables) {
    WindowDef w;
    w.Procedure = "PreviewRES";
    w.Kind = WindowKind::Dialog;
    w.Title = "MyApp.exe Properties";
    w.Width = 243;
    w.Height = 256;
    w.Resizable = false;
    std::vector<ControlDef>& c = w.Controls;
    c.push_back(Control("?SHEET1", ControlKind::Sheet, "", 3, 3, 235, 231));
    c.push_back(Control("?GENERAL", ControlKind::Tab, "?SHEET1", 0, 0, 0, 0, "General"));
    c.push_back(Control("?VERSION", ControlKind::Tab, "?SHEET1", 0, 0, 0, 0, "Version"));
    c.push_back(Control("?TAB3", ControlKind::Tab, "?SHEET1", 0, 0, 0, 0, "Security"));
    c.push_back(Control("?TAB4", ControlKind::Tab, "?SHEET1", 0, 0, 0, 0, "Summary"));
    AddGeneralTab(c, variables);
    AddVersionTab(c, variables);
    AddSecurityTab(c, variables);
    AddSummaryTab(c, variables);
    ControlDef ok = Button("?CLOSE", "", 83, 239, "OK");
    ok.Default = true;
    c.push_back(ok);
    c.push_back(Button("?CANCEL", "", 136, 239, "Cancel"));
    ControlDef apply = Button("?BUTTON1:3", "", 188, 239, "&Apply");
    apply.Disabled = true;
    c.push_back(apply);
    return w;
}

}  // namespace verdo
