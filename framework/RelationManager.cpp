#include "framework/RelationManager.h"

#include <atomic>
#include <cstring>

#include "framework/DefaultMessages.h"
#include "framework/FileManager.h"
#include "framework/MessageManager.h"
#include "runtime/store/FieldDictionary.h"

namespace verdo {

namespace {
constexpr int TransactionSeconds = 2;
std::atomic<unsigned> stampCounter{0};

char* FieldAt(FileManager* fm, size_t field) {
    return static_cast<char*>(fm->BUFFER) + fm->TABLE->Fields[field].Offset;
}

bool FieldsEqual(const char* a, const char* b, size_t size) { return std::memcmp(a, b, size) == 0; }

// The empty value of a field: spaces for text, zeros for everything else.
void ClearField(FileManager* fm, size_t field) {
    const FieldDef& f = fm->TABLE->Fields[field];
    bool text = f.Type == FieldType::String || f.Type == FieldType::Memo;
    std::memset(FieldAt(fm, field), text ? ' ' : 0, f.Size);
}
}  // namespace

void RelationManager::Setup(FileManager* fileManager, bool useTransactions) {
    FILEMANAGER = fileManager;
    USELOGOUT = useTransactions;
    RELATIONS.clear();
}

void RelationManager::AddRelation(RelationManager* related, uint8_t updateMode, uint8_t deleteMode, int hisKey) {
    Relation r;
    r.FILE = related;
    r.UPDATEMODE = updateMode;
    r.DELETEMODE = deleteMode;
    r.HISKEY = hisKey;
    RELATIONS.push_back(r);
}

void RelationManager::AddLink(size_t thisField, size_t relatedField) {
    if (!RELATIONS.empty()) RELATIONS.back().FIELDS.emplace_back(thisField, relatedField);
}

void RelationManager::Kill() {
    RELATIONS.clear();
    FILEMANAGER = nullptr;
}

uint8_t RelationManager::Open() { return Walk(true, ++stampCounter); }

uint8_t RelationManager::Close() { return Walk(false, ++stampCounter); }

uint8_t RelationManager::Walk(bool open, unsigned stamp) {
    if (stamp_ == stamp) return LevelNone;
    stamp_ = stamp;
    uint8_t level = open ? FILEMANAGER->Open() : FILEMANAGER->Close();
    if (level != LevelNone) return level;
    for (Relation& r : RELATIONS) {
        level = r.FILE->Walk(open, stamp);
        if (level != LevelNone) return level;
    }
    return LevelNone;
}

uint8_t RelationManager::Delete(bool ask) {
    FileManager* fm = FILEMANAGER;
    if (ask && fm->ERRORS->Raise(DeleteQuestion) != LevelNone) return LevelNotice;
    if (fm->UseFile() != LevelNone) return LevelFatal;
    uint16_t saved = fm->SaveState();
    if (USELOGOUT && fm->StartTransaction(TransactionSeconds) != LevelNone) {
        fm->DiscardState(saved);
        return LevelNotice;
    }
    uint8_t level = DeleteLinked();
    // The walks over linked tables leave this table's record where it was.
    fm->RestoreState(saved);
    if (level == LevelNone && fm->TryDelete() != LevelNone) {
        fm->ShowError();
        level = LevelNotice;
    }
    if (level != LevelNone) {
        if (USELOGOUT) fm->RollbackTransaction();
        return LevelNotice;
    }
    if (USELOGOUT && fm->CommitTransaction(DeleteError) != LevelNone) return LevelNotice;
    return LevelNone;
}

uint8_t RelationManager::DeleteLinked() {
    for (Relation& r : RELATIONS) {
        if (r.DELETEMODE == ModeNone || r.FIELDS.empty()) continue;
        FileManager* his = r.FILE->FILEMANAGER;
        if (his->UseFile() != LevelNone) return LevelFatal;
        uint16_t hisSaved = his->SaveState();
        for (auto [mine, theirs] : r.FIELDS)
            std::memcpy(FieldAt(his, theirs), FieldAt(FILEMANAGER, mine), his->TABLE->Fields[theirs].Size);
        std::string linked(static_cast<const char*>(his->BUFFER), his->TABLE->RecordSize);
        his->SetKeyPosition(r.HISKEY);
        uint8_t level = LevelNone;
        while (level == LevelNone) {
            if (his->Next() != LevelNone) break;
            bool matches = true;
            for (auto [mine, theirs] : r.FIELDS)
                matches = matches && FieldsEqual(FieldAt(his, theirs), linked.data() + his->TABLE->Fields[theirs].Offset,
                                                 his->TABLE->Fields[theirs].Size);
            if (!matches) break;
            if (r.DELETEMODE == ModeRestrict) {
                FILEMANAGER->ERRORS->RaiseForFile(LinkedDeleteRefused, his->Name());
                level = LevelNotice;
            } else if (r.DELETEMODE == ModeClear) {
                for (auto link : r.FIELDS) ClearField(his, link.second);
                if (his->TryUpdate() != LevelNone) {
                    his->ShowError();
                    level = LevelNotice;
                }
            } else {
                level = r.FILE->DeleteLinked();
                if (level == LevelNone && his->TryDelete() != LevelNone) {
                    his->ShowError();
                    level = LevelNotice;
                }
            }
        }
        his->RestoreState(hisSaved);
        if (level != LevelNone) return LevelNotice;
    }
    return LevelNone;
}

uint8_t RelationManager::Update(bool fromDittoForm) {
    FileManager* fm = FILEMANAGER;
    if (fm->UseFile() != LevelNone) return LevelFatal;
    if (USELOGOUT && fm->StartTransaction(TransactionSeconds) != LevelNone) return LevelNotice;
    std::string before = fm->StoredImage();
    uint8_t level = fm->TryUpdate();
    if (level != LevelNone) {
        if (USELOGOUT) fm->RollbackTransaction();
        uint16_t id = fm->Info().LASTERROR;
        if (id == ChangedByOther && fromDittoForm) fm->Info().LASTERROR = id = ChangedByOtherRedisplay;
        fm->ShowError();
        return id == ChangedByOther || id == ChangedByOtherRedisplay ? LevelNotice : LevelAsk;
    }
    if (!before.empty() && UpdateLinked(before) != LevelNone) {
        if (USELOGOUT) fm->RollbackTransaction();
        return LevelNotice;
    }
    // The write reaches the store only here: a failure is a failed update the form may retry.
    if (USELOGOUT && fm->CommitTransaction(UpdateError) != LevelNone) return LevelAsk;
    return LevelNone;
}

uint8_t RelationManager::UpdateLinked(const std::string& before) {
    for (Relation& r : RELATIONS) {
        if (r.UPDATEMODE == ModeNone || r.FIELDS.empty()) continue;
        bool changed = false;
        for (auto link : r.FIELDS) {
            const FieldDef& f = FILEMANAGER->TABLE->Fields[link.first];
            changed = changed || !FieldsEqual(FieldAt(FILEMANAGER, link.first), before.data() + f.Offset, f.Size);
        }
        if (!changed) continue;
        FileManager* his = r.FILE->FILEMANAGER;
        if (his->UseFile() != LevelNone) return LevelFatal;
        uint16_t hisSaved = his->SaveState();
        for (auto [mine, theirs] : r.FIELDS)
            std::memcpy(FieldAt(his, theirs), before.data() + FILEMANAGER->TABLE->Fields[mine].Offset,
                        his->TABLE->Fields[theirs].Size);
        std::string linked(static_cast<const char*>(his->BUFFER), his->TABLE->RecordSize);
        his->SetKeyPosition(r.HISKEY);
        uint8_t level = LevelNone;
        while (level == LevelNone && his->Next() == LevelNone) {
            bool matches = true;
            for (auto link : r.FIELDS) {
                const FieldDef& f = his->TABLE->Fields[link.second];
                matches = matches && FieldsEqual(FieldAt(his, link.second), linked.data() + f.Offset, f.Size);
            }
            if (!matches) break;
            if (r.UPDATEMODE == ModeRestrict) {
                // The linking fields go back to what they were.
                for (auto link : r.FIELDS) {
                    const FieldDef& f = FILEMANAGER->TABLE->Fields[link.first];
                    std::memcpy(FieldAt(FILEMANAGER, link.first), before.data() + f.Offset, f.Size);
                }
                FILEMANAGER->ERRORS->RaiseForFile(LinkedUpdateRefused, his->Name());
                level = LevelNotice;
                break;
            }
            for (auto [mine, theirs] : r.FIELDS) {
                if (r.UPDATEMODE == ModeClear)
                    ClearField(his, theirs);
                else
                    std::memcpy(FieldAt(his, theirs), FieldAt(FILEMANAGER, mine), his->TABLE->Fields[theirs].Size);
            }
            if (his->TryUpdate() != LevelNone) {
                his->ShowError();
                level = LevelNotice;
            }
        }
        his->RestoreState(hisSaved);
        if (level != LevelNone) return LevelNotice;
    }
    return LevelNone;
}

uint8_t RelationManager::CancelAutoNumber() { return FILEMANAGER->CancelAutoNumber(this); }

}  // namespace verdo
