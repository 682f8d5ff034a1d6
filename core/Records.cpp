#include "core/Records.h"

#include <cstddef>
#include <cstring>

namespace verdo {

RESFileRecord RES;
ExtraSegRecord SEG;
FileOSRecord FOS;
FileTypeRecord FTY;
CodePageRecord CPG;
LangIDRecord LID;
RESBuildRecord BLD;

namespace {

TableDef MakeRESFile() {
    using R = RESFileRecord;
    TableDef t;
    t.Label = "RESFile";
    t.Prefix = "RES";
    t.RecordSize = sizeof(R);
    auto group = [](const char* label, size_t offset, size_t size) {
        return FieldDef{label, "", FieldType::Group, offset, size};
    };
    t.Fields = {
        VERDO_FIELD(R, "RES", RESNumber, "RESNumber", Long),
        VERDO_FIELD(R, "RES", ProjectName, "ProjectName", String),
        VERDO_FIELD(R, "RES", Description, "Description", String),
        VERDO_FIELD(R, "RES", ProjectPath, "ProjectPath", String),
        group("RES:FileVerGroup", offsetof(R, FV_1), 8),
        VERDO_FIELD(R, "RES", FV_1, "FV:1", UShort),
        VERDO_FIELD(R, "RES", FV_2, "FV:2", UShort),
        VERDO_FIELD(R, "RES", FV_3, "FV:3", UShort),
        VERDO_FIELD(R, "RES", FV_4, "FV:4", UShort),
        group("RES:ProductVerGroup", offsetof(R, PV_1), 8),
        VERDO_FIELD(R, "RES", PV_1, "PV:1", UShort),
        VERDO_FIELD(R, "RES", PV_2, "PV:2", UShort),
        VERDO_FIELD(R, "RES", PV_3, "PV:3", UShort),
        VERDO_FIELD(R, "RES", PV_4, "PV:4", UShort),
        group("RES:IncFileVerGroup", offsetof(R, INC_FV_1), 8),
        VERDO_FIELD(R, "RES", INC_FV_1, "INC:FV:1", UShort),
        VERDO_FIELD(R, "RES", INC_FV_2, "INC:FV:2", UShort),
        VERDO_FIELD(R, "RES", INC_FV_3, "INC:FV:3", UShort),
        VERDO_FIELD(R, "RES", INC_FV_4, "INC:FV:4", UShort),
        group("RES:IncProductVerGroup", offsetof(R, INC_PV_1), 10),
        VERDO_FIELD(R, "RES", INC_PV_1, "INC:PV:1", ULong),
        VERDO_FIELD(R, "RES", INC_PV_2, "INC:PV:2", UShort),
        VERDO_FIELD(R, "RES", INC_PV_3, "INC:PV:3", UShort),
        VERDO_FIELD(R, "RES", INC_PV_4, "INC:PV:4", UShort),
        VERDO_FIELD(R, "RES", Comments, "Comments", String),
        VERDO_FIELD(R, "RES", CompanyName, "CompanyName", String),
        VERDO_FIELD(R, "RES", FileDescription, "FileDescription", String),
        VERDO_FIELD(R, "RES", InternalName, "InternalName", String),
        VERDO_FIELD(R, "RES", LegalCopyright, "LegalCopyright", String),
        VERDO_FIELD(R, "RES", LegalTrademarks, "LegalTrademarks", String),
        VERDO_FIELD(R, "RES", OriginalFileName, "OriginalFileName", String),
        VERDO_FIELD(R, "RES", PrivateBuild, "PrivateBuild", String),
        VERDO_FIELD(R, "RES", ProductName, "ProductName", String),
        VERDO_FIELD(R, "RES", SpecialBuild, "SpecialBuild", String),
        VERDO_FIELD(R, "RES", FFDebug, "FFDebug", Byte),
        VERDO_FIELD(R, "RES", FFPreRelease, "FFPreRelease", Byte),
        VERDO_FIELD(R, "RES", FileOS, "FileOS", RawBytes),
        VERDO_FIELD(R, "RES", FileType, "FileType", RawBytes),
        VERDO_FIELD(R, "RES", LangID, "LangID", String),
        VERDO_FIELD(R, "RES", CodePage, "CodePage", String),
        VERDO_FIELD(R, "RES", EnterDate, "EnterDate", Date),
        VERDO_FIELD(R, "RES", LastSaved, "LastSaved", Date),
        VERDO_FIELD(R, "RES", ExportDate, "ExportDate", Date),
        VERDO_FIELD(R, "RES", ExportTime, "ExportTime", Time),
        VERDO_FIELD(R, "RES", Notes, "Notes", Memo),
    };
    auto f = [&t](const char* label) { return static_cast<size_t>(t.FieldIndex(label)); };
    t.Keys = {
        {"RES:RESNumberK", {f("RES:RESNumber")}, true},
        {"RES:ProjectNameK", {f("RES:ProjectName")}},
        {"RES:EnterDateK", {f("RES:EnterDate")}},
        {"RES:ExportDateK", {f("RES:ExportDate"), f("RES:ExportTime")}},
    };
    return t;
}

TableDef MakeExtraSeg() {
    using R = ExtraSegRecord;
    TableDef t;
    t.Label = "ExtraSeg";
    t.Prefix = "SEG";
    t.RecordSize = sizeof(R);
    t.Fields = {
        VERDO_FIELD(R, "SEG", RESNumber, "RESNumber", Long),
        VERDO_FIELD(R, "SEG", SegName, "SegName", String),
        VERDO_FIELD(R, "SEG", SegData, "SegData", String),
    };
    t.Keys = {{"SEG:RESNumberK", {0}}, {"SEG:SegNameK", {1}}};
    return t;
}

TableDef MakeRESBuild() {
    using R = RESBuildRecord;
    TableDef t;
    t.Label = "RESBuild";
    t.Prefix = "BLD";
    t.RecordSize = sizeof(R);
    t.Fields = {
        VERDO_FIELD(R, "BLD", RESNumber, "RESNumber", Long),
        VERDO_FIELD(R, "BLD", ProjectName, "ProjectName", String),
        VERDO_FIELD(R, "BLD", Kind, "Kind", String),
        VERDO_FIELD(R, "BLD", FV_1, "FV:1", UShort),
        VERDO_FIELD(R, "BLD", FV_2, "FV:2", UShort),
        VERDO_FIELD(R, "BLD", FV_3, "FV:3", UShort),
        VERDO_FIELD(R, "BLD", FV_4, "FV:4", UShort),
        VERDO_FIELD(R, "BLD", PV_1, "PV:1", UShort),
        VERDO_FIELD(R, "BLD", PV_2, "PV:2", UShort),
        VERDO_FIELD(R, "BLD", PV_3, "PV:3", UShort),
        VERDO_FIELD(R, "BLD", PV_4, "PV:4", UShort),
        VERDO_FIELD(R, "BLD", DateUtc, "DateUtc", Date),
        VERDO_FIELD(R, "BLD", TimeUtc, "TimeUtc", Time),
        VERDO_FIELD(R, "BLD", DateLocal, "DateLocal", Date),
        VERDO_FIELD(R, "BLD", TimeLocal, "TimeLocal", Time),
        VERDO_FIELD(R, "BLD", FileName, "FileName", String),
        VERDO_FIELD(R, "BLD", HostName, "HostName", String),
        VERDO_FIELD(R, "BLD", UserName, "UserName", String),
        VERDO_FIELD(R, "BLD", Sha256, "Sha256", String),
        VERDO_FIELD(R, "BLD", CommitId, "CommitId", String),
        VERDO_FIELD(R, "BLD", Dirty, "Dirty", Byte),
        VERDO_FIELD(R, "BLD", JobUrl, "JobUrl", String),
    };
    auto f = [&t](const char* label) { return static_cast<size_t>(t.FieldIndex(label)); };
    t.Keys = {
        {"BLD:ProjectK", {f("BLD:RESNumber")}},
        // Version 0.0.0.0 is a version too.
        {"BLD:FileVersionK", {f("BLD:FV:1"), f("BLD:FV:2"), f("BLD:FV:3"), f("BLD:FV:4")}, false, true, false},
        {"BLD:Sha256K", {f("BLD:Sha256")}, false, false},
    };
    return t;
}

template <typename R>
TableDef MakeLookup(const char* label, const char* prefix, FieldDef name, FieldDef value) {
    TableDef t;
    t.Label = label;
    t.Prefix = prefix;
    t.RecordSize = sizeof(R);
    t.Fields = {name, value};
    t.Keys = {{std::string(prefix) + ":" + name.Column + "K", {0}}};
    return t;
}

}  // namespace

const TableDef& RESFileTable() {
    static const TableDef def = MakeRESFile();
    return def;
}

const TableDef& ExtraSegTable() {
    static const TableDef def = MakeExtraSeg();
    return def;
}

const TableDef& RESBuildTable() {
    static const TableDef def = MakeRESBuild();
    return def;
}

const TableDef& FileOSTable() {
    using R = FileOSRecord;
    static const TableDef def = MakeLookup<R>("FileOS", "FOS", VERDO_FIELD(R, "FOS", FileOS, "FileOS", String),
                                             VERDO_FIELD(R, "FOS", FileOSVal, "FileOSVal", RawBytes));
    return def;
}

const TableDef& FileTypeTable() {
    using R = FileTypeRecord;
    static const TableDef def =
        MakeLookup<R>("FileType", "FTY", VERDO_FIELD(R, "FTY", FileType, "FileType", String),
                      VERDO_FIELD(R, "FTY", FileTypeVal, "FileTypeVal", RawBytes));
    return def;
}

const TableDef& CodePageTable() {
    using R = CodePageRecord;
    static const TableDef def =
        MakeLookup<R>("CodePage", "CPG", VERDO_FIELD(R, "CPG", CodePage, "CodePage", String),
                      VERDO_FIELD(R, "CPG", CodePageVal, "CodePageVal", String));
    return def;
}

const TableDef& LangIDTable() {
    using R = LangIDRecord;
    static const TableDef def = MakeLookup<R>("LangID", "LID", VERDO_FIELD(R, "LID", LangID, "LangID", String),
                                              VERDO_FIELD(R, "LID", LangIDVal, "LangIDVal", String));
    return def;
}

}  // namespace verdo
