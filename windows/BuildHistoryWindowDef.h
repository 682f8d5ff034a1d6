#pragma once
#include "runtime/store/FieldDictionary.h"
#include "runtime/window/WindowDef.h"

namespace verdo {

#pragma pack(push, 1)

// One build as the history's list shows it: the ledger's row in the words of its columns.
struct BuildHistoryRow {
    char Time[20];            // "2026-12-11 14:26:52", in UTC
    char Kind[8];
    char FileVersion[24];
    char ProductVersion[24];
    char Commit[80];          // with "(changed)" after a commit of a changed work tree
    char Host[255];
    char User[64];
    char Job[255];
};

// What the window shows besides the list: its project and every field of the
// highlighted build.
struct BuildHistoryVariables {
    char Project[64];
    char Details[2048];
};

#pragma pack(pop)

const TableDef& BuildHistoryRowTable();        // HIS:Time ... HIS:Job
const TableDef& BuildHistoryVariablesTable();  // LOC:Project, LOC:Details

// The builds of one project, newest first, with the whole highlighted row below them
// and the buttons that copy it and close the window.
WindowDef BuildHistoryWindowDef(BuildHistoryVariables& variables);

}  // namespace verdo
