#include "core/Dictionary.h"

#include <memory>

#include "core/LookupRows.h"
#include "core/ProgramNames.h"
#include "core/RESFileManager.h"
#include "core/Records.h"
#include "framework/FileManager.h"
#include "framework/RelationManager.h"
#include "runtime/store/StoreSchema.h"
#include "runtime/text/Text.h"

namespace verdo {

FileManager* Access_RESFile = nullptr;
FileManager* Access_ExtraSeg = nullptr;
FileManager* Access_FileOS = nullptr;
FileManager* Access_FileType = nullptr;
FileManager* Access_CodePage = nullptr;
FileManager* Access_LangID = nullptr;
FileManager* Access_RESBuild = nullptr;
RelationManager* Relate_RESFile = nullptr;
RelationManager* Relate_ExtraSeg = nullptr;
RelationManager* Relate_FileOS = nullptr;
RelationManager* Relate_FileType = nullptr;
RelationManager* Relate_CodePage = nullptr;
RelationManager* Relate_LangID = nullptr;
RelationManager* Relate_RESBuild = nullptr;

namespace {

struct TableManagers {
    std::unique_ptr<FileManager> Access;
    std::unique_ptr<RelationManager> Relate;
    FileManager** AccessRef;
    RelationManager** RelateRef;
};

// In the order the relation managers are initialised and released.
TableManagers managers[7];

// Each standard row of a lookup table as a record image: name field, then value field.
std::function<std::vector<std::string>()> LookupRecords(const TableDef& table) {
    return [&table]() {
        std::vector<std::string> images;
        for (const LookupRow& row : StandardLookupRows(table.Label)) {
            std::string image(table.RecordSize, '\0');
            ClearRecord(table, image.data());
            const FieldDef& name = table.Fields[0];
            const FieldDef& value = table.Fields[1];
            AssignField(image.data() + name.Offset, name.Size, row.Name);
            std::string bytes = row.Value.substr(0, value.Size);
            bytes.resize(value.Size, value.Type == FieldType::RawBytes ? '\0' : ' ');
            image.replace(value.Offset, value.Size, bytes);
            images.push_back(std::move(image));
        }
        return images;
    };
}

void SetupAccess(TableManagers& m, std::unique_ptr<FileManager> access, const TableDef& table, void* buffer,
                 const std::string& name, MessageManager& errors) {
    m.Access = std::move(access);
    m.Access->Setup(table, &errors);
    m.Access->FILENAME = &name;
    m.Access->BUFFER = buffer;
    m.Access->CREATE = true;
    m.Access->LOCKRECOVER = 10;
    m.Relate = std::make_unique<RelationManager>();
    *m.AccessRef = m.Access.get();
    *m.RelateRef = m.Relate.get();
}

}  // namespace

void RegisterStoreTables() {
    RegisterCatalogTable({&RESFileTable(), nullptr});
    RegisterCatalogTable({&ExtraSegTable(), nullptr});
    for (const TableDef* lookup : {&FileOSTable(), &FileTypeTable(), &CodePageTable(), &LangIDTable()})
        RegisterCatalogTable({lookup, LookupRecords(*lookup)});
    RegisterCatalogTable({&RESBuildTable(), nullptr});
}

void DictionaryStartup(MessageManager& errors) {
    RegisterStoreTables();
    managers[0] = {nullptr, nullptr, &Access_RESFile, &Relate_RESFile};
    managers[1] = {nullptr, nullptr, &Access_FileOS, &Relate_FileOS};
    managers[2] = {nullptr, nullptr, &Access_ExtraSeg, &Relate_ExtraSeg};
    managers[3] = {nullptr, nullptr, &Access_FileType, &Relate_FileType};
    managers[4] = {nullptr, nullptr, &Access_CodePage, &Relate_CodePage};
    managers[5] = {nullptr, nullptr, &Access_LangID, &Relate_LangID};
    managers[6] = {nullptr, nullptr, &Access_RESBuild, &Relate_RESBuild};

    SetupAccess(managers[0], std::make_unique<RESFileManager>(), RESFileTable(), &RES, RESFileName, errors);
    SetupAccess(managers[1], std::make_unique<FileManager>(), FileOSTable(), &FOS, FileOSName, errors);
    SetupAccess(managers[2], std::make_unique<FileManager>(), ExtraSegTable(), &SEG, ExtraSegName, errors);
    SetupAccess(managers[3], std::make_unique<FileManager>(), FileTypeTable(), &FTY, FileTypeName, errors);
    SetupAccess(managers[4], std::make_unique<FileManager>(), CodePageTable(), &CPG, CodePageName, errors);
    SetupAccess(managers[5], std::make_unique<FileManager>(), LangIDTable(), &LID, LangIDName, errors);
    SetupAccess(managers[6], std::make_unique<FileManager>(), RESBuildTable(), &BLD, RESBuildName, errors);

    Access_RESFile->AddKey("RES:RESNumberK", "RES:RESNumberK", true);
    Access_RESFile->AddKey("RES:ProjectNameK", "by Project Name", false);
    Access_RESFile->AddKey("RES:EnterDateK", "by Enter Date", false);
    Access_RESFile->AddKey("RES:ExportDateK", "by Export Date", false);
    Access_ExtraSeg->AddKey("SEG:RESNumberK", "SEG:RESNumberK", false);
    Access_ExtraSeg->AddKey("SEG:SegNameK", "by Segment Name", false);
    Access_FileOS->AddKey("FOS:FileOSK", "FOS:FileOSK", false);
    Access_FileType->AddKey("FTY:FileTypeK", "FTY:FileTypeK", false);
    Access_CodePage->AddKey("CPG:CodePageK", "CPG:CodePageK", false);
    Access_LangID->AddKey("LID:LangIDK", "LID:LangIDK", false);
    Access_RESBuild->AddKey("BLD:ProjectK", "BLD:ProjectK", false);
    Access_RESBuild->AddKey("BLD:FileVersionK", "BLD:FileVersionK", false);
    Access_RESBuild->AddKey("BLD:Sha256K", "BLD:Sha256K", false);

    const TableDef& res = RESFileTable();
    const TableDef& seg = ExtraSegTable();
    size_t resNumber = static_cast<size_t>(res.FieldIndex("RES:RESNumber"));
    size_t segNumber = static_cast<size_t>(seg.FieldIndex("SEG:RESNumber"));

    Relate_RESFile->Setup(Access_RESFile, true);
    Relate_RESFile->AddRelation(Relate_ExtraSeg, RelationManager::ModeNone, RelationManager::ModeCascade,
                                seg.KeyIndex("SEG:RESNumberK"));
    Relate_RESFile->AddLink(resNumber, segNumber);
    Relate_FileOS->Setup(Access_FileOS, false);
    Relate_ExtraSeg->Setup(Access_ExtraSeg, true);
    Relate_ExtraSeg->AddRelation(Relate_RESFile, RelationManager::ModeNone, RelationManager::ModeNone,
                                 res.KeyIndex("RES:RESNumberK"));
    Relate_ExtraSeg->AddLink(segNumber, resNumber);
    Relate_FileType->Setup(Access_FileType, false);
    Relate_CodePage->Setup(Access_CodePage, false);
    Relate_LangID->Setup(Access_LangID, false);
    Relate_RESBuild->Setup(Access_RESBuild, false);
}

void DictionaryShutdown() {
    for (TableManagers& m : managers) {
        if (m.Relate) m.Relate->Kill();
        m.Relate.reset();
        m.Access.reset();
        if (m.AccessRef) *m.AccessRef = nullptr;
        if (m.RelateRef) *m.RelateRef = nullptr;
    }
}

}  // namespace verdo
