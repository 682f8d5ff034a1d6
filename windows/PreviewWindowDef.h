#pragma once
#include <cstdint>

#include "runtime/store/FieldDictionary.h"
#include "runtime/window/WindowDef.h"

namespace verdo {

#pragma pack(push, 1)

// What the preview shows besides the project: sample values that the user may change
// while the window is open and that are forgotten when it closes.
struct PreviewVariables {
    char GeneralExeName[255];
    uint8_t AttrReadOnly;
    uint8_t AttrHidden;
    char FileVersion[20];
    char ItemValue[255];
    uint8_t SecurityAllow;
    char SummaryTitle[20];
    char SummarySubject[20];
    char SummaryAuthor[20];
    char SummaryCategory[20];
    char SummaryKeywords[20];
    char SummaryComments[20];
};

// One line of the "Other version information" list.
struct PreviewItemRow {
    char SegName[255];
    char SegData[255];
};

#pragma pack(pop)

// The layouts the controls and the list are bound through.
const TableDef& PreviewVariablesTable();
const TableDef& PreviewItemTable();   // LST:SegName, LST:SegData

// The preview window, its controls bound to `variables` and to the shared project buffer.
WindowDef PreviewWindowDef(PreviewVariables& variables);

}  // namespace verdo
