#include "framework/FileManager.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <string>

#include "framework/DefaultMessages.h"
#include "framework/MessageManager.h"
#include "framework/RelationManager.h"
#include "runtime/LogicalThread.h"
#include "runtime/RuntimeError.h"

namespace verdo {

namespace {
// Duplicates met while numbering mean another station took the number first; after
// this many in a row something else is wrong.
constexpr int NumberingAttempts = 100;
}  // namespace

void FileManager::Setup(const TableDef& table, MessageManager* errors) {
    TABLE = &table;
    ERRORS = errors;
    OPENMODE = 0x42;
    CREATE = true;
    LAZYOPEN = true;
    LOCKRECOVER = 10;
    SKIPHELDRECORDS = false;
    HASAUTOINC = false;
    KEYS.clear();
}

void FileManager::AddKey(const std::string& key, const std::string& description, bool autoNumber) {
    Key k;
    k.KEY = TABLE->KeyIndex(key);
    k.DESCRIPTION = description.substr(0, 80);
    k.AUTOINC = autoNumber;
    if (k.KEY >= 0) {
        k.DUPS = !TABLE->Keys[k.KEY].Unique;
        k.NOCASE = TABLE->Keys[k.KEY].NoCase;
    }
    HASAUTOINC = HASAUTOINC || autoNumber;
    KEYS.push_back(k);
}

FileManager::ThreadInfo& FileManager::Info() { return INFO[CurrentThread()]; }

int FileManager::UseCount() const {
    int total = 0;
    for (const auto& [thread, info] : INFO) total += info.USED;
    return total;
}

int FileManager::KeyNumber(const std::string& key) const { return TABLE->KeyIndex(key); }

uint8_t FileManager::Open() {
    ThreadInfo& info = Info();
    ++info.USED;
    if (LAZYOPEN) return LevelNone;
    return UseFile();
}

uint8_t FileManager::UseFile(int) {
    ThreadInfo& info = Info();
    if (info.USED == 0) {
        // A table used before any procedure opened it is a fault in the program.
        ERRORS->RaiseForFile(TableNotOpenError, Name());
        return LevelFatal;
    }
    if (FILE && FILE->IsOpen()) {
        info.OPENED = true;
        return LevelNone;
    }
    uint8_t level = OpenNow();
    if (level == LevelNone) info.OPENED = true;
    return level;
}

uint8_t FileManager::OpenNow() {
    if (!FILE) FILE = std::make_unique<StoreTable>(*TABLE, Name());
    bool recoverSent = false, created = false, rebuilt = false, readOnly = false;
    for (;;) {
        int code = FILE->Open(OPENMODE);
        if (code == NoError || code == AlreadyOpenErr) return LevelNone;
        if (code == AccessDeniedErr && !recoverSent) {
            FILE->Send("Recover=" + std::to_string(LOCKRECOVER));
            recoverSent = true;
            continue;
        }
        if (code == AccessDeniedErr && (OPENMODE & 0x03) == StoreTable::ReadWriteAccess && !readOnly) {
            OPENMODE &= 0xF0;
            readOnly = true;
            ERRORS->RaiseFileError(ReadOnlyNotice, Name());
            continue;
        }
        if (code == FileNotFoundErr && CREATE && !created) {
            created = true;
            if (FILE->Create() != NoError) return ERRORS->RaiseFileError(TableCreateError, Name()), LevelFatal;
            continue;
        }
        if (code == BadKeyErr && !rebuilt) {
            rebuilt = true;
            ERRORS->RaiseFileError(InvalidKeyNotice, Name());
            if (FILE->BuildKeys() != NoError) return ERRORS->RaiseFileError(KeyRepairError, Name()), LevelFatal;
            continue;
        }
        ERRORS->RaiseFileError(OpenError, Name());
        return LevelFatal;
    }
}

uint8_t FileManager::Close() {
    ThreadInfo& info = Info();
    if (info.USED > 0) --info.USED;
    if (info.USED == 0) {
        info.OPENED = false;
        info.ATEOF = false;
    }
    if (UseCount() == 0 && FILE) FILE->Close();
    return LevelNone;
}

void FileManager::SetKey(int key) {
    // The table opens at its first use; the order must outlive that opening.
    if (UseFile() != LevelNone) return;
    FILE->SetOrder(key);
}

void FileManager::SetKeyPosition(int key) {
    if (UseFile() != LevelNone) return;
    FILE->SetPosition(key, BUFFER);
}

uint8_t FileManager::Next() { return Read(true, true); }

uint8_t FileManager::TryNext() { return Read(true, false); }

uint8_t FileManager::TryPrevious() { return Read(false, false); }

uint8_t FileManager::Previous() { return Read(false, true); }

uint8_t FileManager::Read(bool forward, bool show) {
    if (UseFile() != LevelNone) return LevelFatal;
    ThreadInfo& info = Info();
    info.ATEOF = false;
    for (;;) {
        int code = forward ? FILE->Next(BUFFER) : FILE->Previous(BUFFER);
        if (code == NoError) return LevelNone;
        if (code == RecordNotAvailErr) {
            info.ATEOF = true;
            return LevelNotice;
        }
        if (code == IsHeldErr && SKIPHELDRECORDS) continue;
        if (!show) return LevelNotice;
        return Raise(code == IsHeldErr ? HeldRecordNotice : RetrievalError);
    }
}

uint8_t FileManager::TryFetch(int key) {
    if (UseFile() != LevelNone) return LevelFatal;
    return FILE->Get(key, BUFFER) == NoError ? LevelNone : LevelNotice;
}

uint8_t FileManager::Fetch(int key) {
    uint8_t level = TryFetch(key);
    if (level == LevelNotice) return Raise(RetrievalError);
    return level;
}

void FileManager::SetError(uint16_t messageId) {
    Info().LASTERROR = messageId;
    ERRORS->SetFileContext(Name());
    ERRORS->CaptureError();
}

uint8_t FileManager::ShowError() {
    uint16_t id = Info().LASTERROR;
    if (id == DuplicateKeyNotice) return ERRORS->Raise(id);
    ERRORS->SetFileContext(Name());
    return ERRORS->Raise(id);
}

uint8_t FileManager::Raise(uint16_t messageId) {
    SetError(messageId);
    return ShowError();
}

uint8_t FileManager::Fail(uint16_t messageId, bool show, uint8_t level) {
    SetError(messageId);
    if (show) ShowError();
    return level;
}

uint8_t FileManager::Insert() { return InsertRecord(true); }
uint8_t FileManager::TryInsert() { return InsertRecord(false); }

uint8_t FileManager::InsertRecord(bool show) {
    if (UseFile() != LevelNone) return LevelFatal;
    if (ValidateRecord() != LevelNone) return LevelNotice;
    ThreadInfo& info = Info();
    int code;
    if (HASAUTOINC && info.AUTOINCDONE) {
        // The reserved record is the one to write over.
        FILE->Reset(info.Reserved);
        code = FILE->Put(BUFFER);
    } else if (HASAUTOINC) {
        uint8_t level = PrimeAutoNumber();
        if (level != LevelNone) return LevelNotice;
        code = NoError;
    } else {
        code = FILE->Add(BUFFER);
    }
    if (code == NoError) {
        Info().AUTOINCDONE = false;
        return LevelNone;
    }
    if (code == DupKeyErr) return ReportDuplicate(show);
    return Fail(InsertError, show, LevelNotice);
}

uint8_t FileManager::ReportDuplicate(bool show) {
    RuntimeErrorState failure = LastError();
    StoreTable::Position position = FILE->CurrentPosition();
    std::string probe(TABLE->RecordSize, '\0');
    std::string description;
    for (const Key& key : KEYS) {
        if (key.KEY < 0 || !TABLE->Keys[key.KEY].Unique) continue;
        std::memcpy(probe.data(), BUFFER, TABLE->RecordSize);
        if (FILE->Get(key.KEY, probe.data()) == NoError) {
            description = key.DESCRIPTION;
            break;
        }
    }
    FILE->Reset(position);
    SetLastError(failure);
    ERRORS->SetTextContext(description);
    return Fail(DuplicateKeyNotice, show, LevelNotice);
}

uint8_t FileManager::PrimeRecord(bool suppressClear) {
    if (!suppressClear) ClearRecord(*TABLE, BUFFER);
    PrimeFields();
    if (!HASAUTOINC) return LevelNone;
    return PrimeAutoNumber();
}

uint8_t FileManager::PrimeAutoNumber() {
    if (UseFile() != LevelNone) return LevelFatal;
    ThreadInfo& info = Info();
    for (const Key& key : KEYS) {
        if (!key.AUTOINC || key.KEY < 0) continue;
        const KeyDef& def = TABLE->Keys[key.KEY];
        const FieldDef& number = TABLE->Fields[def.Components.back()];
        std::string saved(static_cast<const char*>(BUFFER), TABLE->RecordSize);
        int attempts = 0;
        for (;;) {
            // The highest number in the key's group is read last along the key.
            std::string highest = saved;
            FILE->SetOrder(key.KEY);
            int32_t top = 0;
            int code = FILE->Previous(highest.data());
            if (code == NoError) {
                std::memcpy(&top, highest.data() + number.Offset, sizeof(top));
            } else if (code != RecordNotAvailErr) {
                std::memcpy(BUFFER, saved.data(), TABLE->RecordSize);
                return Raise(RetrievalError);
            }
            std::memcpy(BUFFER, saved.data(), TABLE->RecordSize);
            if (top == std::numeric_limits<int32_t>::max()) {
                // Nothing follows the highest number; it is not wrapped round to reuse one.
                SetLastError(FileSystemErr, ERANGE, "no number is left after " + std::to_string(top));
            } else {
                int32_t next = top < 0 ? 1 : top + 1;
                std::memcpy(static_cast<char*>(BUFFER) + number.Offset, &next, sizeof(next));
                code = FILE->Add(BUFFER);
                if (code == NoError) {
                    info.AUTOINCDONE = true;
                    info.Reserved = FILE->CurrentPosition();
                    break;
                }
                if (code == DupKeyErr && ++attempts < NumberingAttempts) continue;
            }
            attempts = 0;
            SetError(AutoNumberQuestion);
            if (ShowError() != LevelNone) {
                std::memcpy(BUFFER, saved.data(), TABLE->RecordSize);
                return LevelNotice;
            }
        }
    }
    return LevelNone;
}

uint8_t FileManager::CancelAutoNumber(RelationManager* relation) {
    ThreadInfo& info = Info();
    if (!info.AUTOINCDONE) return LevelNone;
    if (UseFile() != LevelNone) return LevelFatal;
    std::string buffer(static_cast<const char*>(BUFFER), TABLE->RecordSize);
    FILE->Reset(info.Reserved);
    uint8_t level;
    if (relation) {
        level = relation->Delete(false);
    } else {
        level = FILE->Remove() == NoError ? LevelNone : Raise(DeleteError);
    }
    std::memcpy(BUFFER, buffer.data(), TABLE->RecordSize);
    if (level == LevelNone) Info().AUTOINCDONE = false;
    return level;
}

uint8_t FileManager::Update() { return UpdateRecord(true); }
uint8_t FileManager::TryUpdate() { return UpdateRecord(false); }

uint8_t FileManager::UpdateRecord(bool show) {
    if (UseFile() != LevelNone) return LevelFatal;
    if (ValidateRecord() != LevelNone) return LevelAsk;
    int code = FILE->Put(BUFFER);
    if (code == NoError) return LevelNone;
    if (code == RecordChangedErr) {
        // The other station's version is what the caller shows from now on.
        KeepingFailure(code, [&] { FILE->Reread(BUFFER); });
        return Fail(ChangedByOther, show, show ? LevelNotice : LevelAsk);
    }
    return Fail(UpdateError, show, show ? LevelNotice : LevelAsk);
}

uint8_t FileManager::Delete() { return DeleteRecord(true); }
uint8_t FileManager::TryDelete() { return DeleteRecord(false); }

uint8_t FileManager::DeleteRecord(bool show) {
    if (UseFile() != LevelNone) return LevelFatal;
    if (FILE->Remove() == NoError) return LevelNone;
    return Fail(DeleteError, show, LevelNotice);
}

uint16_t FileManager::SaveState() {
    do ++nextHandle_;
    while (nextHandle_ == 0 || SAVED.count(nextHandle_));
    Saved saved;
    saved.BUFFER.assign(static_cast<const char*>(BUFFER), TABLE->RecordSize);
    saved.AUTOINCDONE = Info().AUTOINCDONE;
    if (FILE) saved.POS = FILE->CurrentPosition();
    SAVED[nextHandle_] = std::move(saved);
    return nextHandle_;
}

void FileManager::RestoreState(uint16_t handle) {
    auto it = SAVED.find(handle);
    if (it == SAVED.end()) return;
    std::memcpy(BUFFER, it->second.BUFFER.data(), TABLE->RecordSize);
    Info().AUTOINCDONE = it->second.AUTOINCDONE;
    if (FILE && FILE->IsOpen()) FILE->Reset(it->second.POS);
    SAVED.erase(it);
}

bool FileManager::EqualsSaved(uint16_t handle) const {
    auto it = SAVED.find(handle);
    return it != SAVED.end() && std::memcmp(BUFFER, it->second.BUFFER.data(), TABLE->RecordSize) == 0;
}

void FileManager::DiscardState(uint16_t handle) { SAVED.erase(handle); }

uint8_t FileManager::StartTransaction(int seconds) {
    if (UseFile() != LevelNone) return LevelFatal;
    if (FILE->BeginTransaction(seconds * 1000) == NoError) return LevelNone;
    return Raise(TransactionError);
}

uint8_t FileManager::CommitTransaction(uint16_t failureMessage) {
    if (!FILE || FILE->CommitTransaction() == NoError) return LevelNone;
    return Raise(failureMessage);
}

void FileManager::RollbackTransaction() {
    if (FILE) FILE->RollbackTransaction();
}

StoreTable::Position FileManager::PositionAt(int key, const void* record, int64_t rowId, bool including) const {
    return StoreTable::PositionAt(*TABLE, key, record, rowId, including);
}

void FileManager::ResetPosition(const StoreTable::Position& position) {
    if (UseFile() != LevelNone) return;
    FILE->Reset(position);
}

uint8_t FileManager::TryReget(const StoreTable::Position& position) {
    if (UseFile() != LevelNone) return LevelFatal;
    FILE->Reset(position);
    return FILE->Reread(BUFFER) == NoError ? LevelNone : LevelNotice;
}

std::string FileManager::StoredImage() const { return FILE ? FILE->CurrentImage() : std::string(); }

int64_t FileManager::CurrentRowId() const { return FILE ? FILE->CurrentRowId() : 0; }

}  // namespace verdo
