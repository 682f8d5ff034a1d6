#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/MessageLevels.h"
#include "runtime/store/FieldDictionary.h"
#include "runtime/store/StoreTable.h"

namespace verdo {

class MessageManager;
class RelationManager;

// Owns the opening of one table and every record operation on it. Failures are
// reported once, here, through the message manager; callers act on the level.
class FileManager {
public:
    FileManager() = default;
    virtual ~FileManager() = default;
    FileManager(const FileManager&) = delete;
    FileManager& operator=(const FileManager&) = delete;

    // Set-up: the table's layout, record buffer and name variable, then its keys in order.
    void Setup(const TableDef& table, MessageManager* errors);
    void AddKey(const std::string& key, const std::string& description, bool autoNumber);

    uint8_t Open();
    uint8_t UseFile(int reason = 0);
    uint8_t Close();

    uint8_t Next();
    uint8_t Previous();
    // The next or previous record without a message: a failure leaves the store's words
    // in LastError() for the caller to report.
    uint8_t TryNext();
    uint8_t TryPrevious();
    // Walks start before the first record of a key, or before the first record whose
    // key components are at or after those now in the buffer (key -1: record order).
    void SetKey(int key);
    void SetKeyPosition(int key);
    // Reads the record whose key components equal those in the buffer; no message.
    uint8_t TryFetch(int key);
    // The same, raising RetrievalError when the record cannot be read.
    uint8_t Fetch(int key);

    uint8_t Insert();
    uint8_t TryInsert();
    uint8_t Update();
    uint8_t TryUpdate();
    uint8_t Delete();
    uint8_t TryDelete();

    // Clears the buffer (unless told not to), lets PrimeFields put the table's defaults
    // in and reserves the automatic number.
    uint8_t PrimeRecord(bool suppressClear = false);
    virtual void PrimeFields() {}
    uint8_t PrimeAutoNumber();
    // Gives a reserved record back; through the relation manager when one is given.
    uint8_t CancelAutoNumber(RelationManager* relation = nullptr);

    uint16_t SaveState();
    void RestoreState(uint16_t handle);
    bool EqualsSaved(uint16_t handle) const;
    // Forgets a saved state without restoring it.
    void DiscardState(uint16_t handle);

    void SetError(uint16_t messageId);
    uint8_t ShowError();
    uint8_t Raise(uint16_t messageId);
    virtual uint8_t ValidateRecord() { return LevelNone; }

    // Store transactions over this table and every table of the same store file.
    uint8_t StartTransaction(int seconds);
    // Commits; a failure is reported with the given message and gives its level.
    uint8_t CommitTransaction(uint16_t failureMessage);
    void RollbackTransaction();

    // Where the table stands, and putting it back there (see StoreTable); the walks of
    // lists go by these. TryReget reads the record at a position again as the store
    // holds it now; no message.
    StoreTable::Position PositionAt(int key, const void* record, int64_t rowId, bool including) const;
    void ResetPosition(const StoreTable::Position& position);
    uint8_t TryReget(const StoreTable::Position& position);

    int KeyNumber(const std::string& key) const;
    // The record as the store held it when it was read last, and its row (0 for none).
    std::string StoredImage() const;
    int64_t CurrentRowId() const;
    std::string Name() const { return FILENAME ? *FILENAME : std::string(); }

    // Per-thread state.
    struct ThreadInfo {
        int USED = 0;
        bool OPENED = false;
        bool ATEOF = false;
        bool AUTOINCDONE = false;
        uint16_t LASTERROR = 0;
        StoreTable::Position Reserved;   // the record an automatic number reserved
    };
    ThreadInfo& Info();
    int UseCount() const;   // over all threads

    struct Key {
        int KEY = 0;
        std::string DESCRIPTION;
        bool AUTOINC = false;
        bool DUPS = true;
        bool NOCASE = true;
    };
    struct Saved {
        std::string BUFFER;
        bool AUTOINCDONE = false;
        StoreTable::Position POS;
    };

    const TableDef* TABLE = nullptr;
    std::unique_ptr<StoreTable> FILE;
    MessageManager* ERRORS = nullptr;
    const std::string* FILENAME = nullptr;
    void* BUFFER = nullptr;
    uint8_t OPENMODE = 0x42;
    bool CREATE = true;
    bool LAZYOPEN = true;
    int LOCKRECOVER = 10;
    bool SKIPHELDRECORDS = false;
    bool HASAUTOINC = false;
    std::vector<Key> KEYS;
    std::map<int, ThreadInfo> INFO;
    std::map<uint16_t, Saved> SAVED;

private:
    uint8_t OpenNow();
    uint8_t Read(bool forward, bool show);
    uint8_t InsertRecord(bool show);
    uint8_t UpdateRecord(bool show);
    uint8_t DeleteRecord(bool show);
    uint8_t Fail(uint16_t messageId, bool show, uint8_t level);
    uint8_t ReportDuplicate(bool show);
    uint16_t nextHandle_ = 0;
};

// A table that is only read for as long as this lives: where it is not open yet, it is
// opened for reading, so that a store that lets this process write only some tables (a
// build agent's role) does not refuse it.
class ReadingOnly {
public:
    explicit ReadingOnly(FileManager& table) : table_(table), mode_(table.OPENMODE) {
        table_.OPENMODE = static_cast<uint8_t>((mode_ & 0xF0) | StoreTable::ReadOnlyAccess);
    }
    ~ReadingOnly() { table_.OPENMODE = mode_; }
    ReadingOnly(const ReadingOnly&) = delete;
    ReadingOnly& operator=(const ReadingOnly&) = delete;

private:
    FileManager& table_;
    uint8_t mode_;
};

}  // namespace verdo
