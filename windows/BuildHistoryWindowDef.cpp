#include "windows/BuildHistoryWindowDef.h"

#include "runtime/window/ControlDefs.h"

namespace verdo {

namespace {

TableDef MakeRows() {
    using R = BuildHistoryRow;
    TableDef t;
    t.Label = "BuildHistory";
    t.Prefix = "HIS";
    t.RecordSize = sizeof(R);
    t.Fields = {
        VERDO_FIELD(R, "HIS", Time, "Time", String),
        VERDO_FIELD(R, "HIS", Kind, "Kind", String),
        VERDO_FIELD(R, "HIS", FileVersion, "FileVersion", String),
        VERDO_FIELD(R, "HIS", ProductVersion, "ProductVersion", String),
        VERDO_FIELD(R, "HIS", Commit, "Commit", String),
        VERDO_FIELD(R, "HIS", Host, "Host", String),
        VERDO_FIELD(R, "HIS", User, "User", String),
        VERDO_FIELD(R, "HIS", Job, "Job", String),
    };
    return t;
}

TableDef MakeVariables() {
    using R = BuildHistoryVariables;
    TableDef t;
    t.Label = "BuildHistoryVariables";
    t.Prefix = "LOC";
    t.RecordSize = sizeof(R);
    t.Fields = {
        VERDO_FIELD(R, "LOC", Project, "Project", String),
        VERDO_FIELD(R, "LOC", Details, "Details", String),
    };
    return t;
}

}  // namespace

const TableDef& BuildHistoryRowTable() {
    static const TableDef def = MakeRows();
    return def;
}

const TableDef& BuildHistoryVariablesTable() {
    static const TableDef def = MakeVariables();
    return def;
}

WindowDef BuildHistoryWindowDef(BuildHistoryVariables& variables) {
    WindowDef w;
    w.Procedure = "BuildHistory";
    w.Kind = WindowKind::Dialog;
    w.Title = "Build History";
    w.Icon = "Verdo.ico";
    w.Width = 420;
    w.Height = 254;

    const TableDef& locals = BuildHistoryVariablesTable();
    ControlDef project =
        BoundTo(MakeControl("?PROJECT", ControlKind::Prompt, 8, 6, 404, 10), &variables, locals, "LOC:Project");
    ControlDef list = MakeControl("?BROWSE:1", ControlKind::List, 8, 18, 404, 112);
    list.Picture =
        "72L(2)|M~Time (UTC)~@s19@28L(2)|M~Kind~@s7@52L(2)|M~File Version~@s23@52L(2)|M~Product Version~@s23@"
        "64L(2)|M~Commit~@s79@44L(2)|M~Host~@s60@36L(2)|M~User~@s63@80L(2)|M~Job~@s254@";
    list.Message = "Builds on Record";
    ControlDef details =
        BoundTo(MakeControl("?DETAILS", ControlKind::Text, 8, 136, 404, 94), &variables, locals, "LOC:Details");
    details.ReadOnly = true;
    details.Message = "The Highlighted Build";
    ControlDef copy = MakeControl("?COPYROW", ControlKind::Button, 267, 236, 45, 14, "&Copy");
    copy.Message = "Copy the highlighted build to the clipboard";
    ControlDef close = MakeControl("?CLOSE", ControlKind::Button, 317, 236, 45, 14, "Close");
    close.Default = true;
    w.Controls = {project, list, details, copy, close, MakeControl("?HELP", ControlKind::Button, 367, 236, 45, 14, "Help")};
    return w;
}

}  // namespace verdo
