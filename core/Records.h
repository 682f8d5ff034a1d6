#pragma once
#include <cstdint>

#include "runtime/datetime/DateTime.h"
#include "runtime/store/FieldDictionary.h"

namespace verdo {

#pragma pack(push, 1)

// One resource project. Fields in record order; the groups of the layout are the
// runs FV_1..FV_4, PV_1..PV_4, INC_FV_1..INC_FV_4 and INC_PV_1..INC_PV_4.
struct RESFileRecord {
    int32_t RESNumber;
    char ProjectName[8];
    char Description[255];
    char ProjectPath[255];
    uint16_t FV_1, FV_2, FV_3, FV_4;
    uint16_t PV_1, PV_2, PV_3, PV_4;
    uint16_t INC_FV_1, INC_FV_2, INC_FV_3, INC_FV_4;
    uint32_t INC_PV_1;
    uint16_t INC_PV_2, INC_PV_3, INC_PV_4;
    char Comments[255];
    char CompanyName[255];
    char FileDescription[255];
    char InternalName[255];
    char LegalCopyright[255];
    char LegalTrademarks[255];
    char OriginalFileName[255];
    char PrivateBuild[255];
    char ProductName[255];
    char SpecialBuild[255];
    uint8_t FFDebug;
    uint8_t FFPreRelease;
    char FileOS[4];     // dwFileOS, raw bytes, least significant first
    char FileType[1];   // dwFileType, one raw byte
    char LangID[4];     // four hexadecimal digits
    char CodePage[4];   // four hexadecimal digits
    Date EnterDate;
    Date LastSaved;
    Date ExportDate;
    Time ExportTime;
    char Notes[1024];   // the memo, kept with the record
};

// An extra, user-named version string of a project.
struct ExtraSegRecord {
    int32_t RESNumber;
    char SegName[255];
    char SegData[255];
};

struct FileOSRecord {
    char FileOS[35];
    char FileOSVal[4];
};

struct FileTypeRecord {
    char FileType[35];
    char FileTypeVal[1];
};

struct CodePageRecord {
    char CodePage[35];
    char CodePageVal[4];
};

struct LangIDRecord {
    char LangID[35];
    char LangIDVal[4];
};

// One .RES file that VERDO put in place: which project, what wrote it, the numbers and the
// resource's hash, when, where and from which commit. Rows are only ever added.
struct RESBuildRecord {
    int32_t RESNumber;
    char ProjectName[8];
    char Kind[8];          // "build" or "export"
    uint16_t FV_1, FV_2, FV_3, FV_4;
    uint16_t PV_1, PV_2, PV_3, PV_4;
    Date DateUtc;
    Time TimeUtc;
    Date DateLocal;
    Time TimeLocal;
    char FileName[1024];
    char HostName[255];
    char UserName[64];
    char Sha256[64];       // of the VS_VERSION_INFO data, in hexadecimal
    char CommitId[64];
    uint8_t Dirty;         // the work tree: 0 clean, 1 changed, 2 not known
    char JobUrl[255];
};

#pragma pack(pop)

// The shared record buffers, one per table.
extern RESFileRecord RES;
extern ExtraSegRecord SEG;
extern FileOSRecord FOS;
extern FileTypeRecord FTY;
extern CodePageRecord CPG;
extern LangIDRecord LID;
extern RESBuildRecord BLD;

// The layouts of the six tables, with their keys in registration order.
const TableDef& RESFileTable();
const TableDef& ExtraSegTable();
const TableDef& FileOSTable();
const TableDef& FileTypeTable();
// The build ledger; no relation of the six tables reaches it.
const TableDef& RESBuildTable();
const TableDef& CodePageTable();
const TableDef& LangIDTable();

}  // namespace verdo
