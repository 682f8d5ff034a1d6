#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace verdo {

class FileManager;

// The links of one table to others: which tables open with it, and what happens to
// linked records when a record is deleted or its linking fields change.
class RelationManager {
public:
    // Relation modes.
    static constexpr uint8_t ModeNone = 0;
    static constexpr uint8_t ModeClear = 1;
    static constexpr uint8_t ModeRestrict = 2;
    static constexpr uint8_t ModeCascade = 3;

    void Setup(FileManager* fileManager, bool useTransactions);
    void AddRelation(RelationManager* related, uint8_t updateMode, uint8_t deleteMode, int hisKey);
    // Pairs this table's field with the related table's, by field index, for the relation added last.
    void AddLink(size_t thisField, size_t relatedField);
    // Forgets the relations; the file manager stays with its owner.
    void Kill();

    // Opens (closes) this table and every related one, each once per call.
    uint8_t Open();
    uint8_t Close();

    // Deletes the record in the buffer with the rules of every relation, in one
    // transaction; asks DeleteQuestion first when `ask` is set.
    uint8_t Delete(bool ask);
    // Writes the record in the buffer back. `fromDittoForm`: a form with a ditto key
    // gets ChangedByOtherRedisplay instead of ChangedByOther.
    uint8_t Update(bool fromDittoForm = false);
    uint8_t CancelAutoNumber();

    struct Relation {
        RelationManager* FILE = nullptr;
        std::vector<std::pair<size_t, size_t>> FIELDS;
        int HISKEY = -1;
        uint8_t UPDATEMODE = ModeNone;
        uint8_t DELETEMODE = ModeNone;
    };

    FileManager* FILEMANAGER = nullptr;
    bool USELOGOUT = false;
    std::vector<Relation> RELATIONS;

private:
    uint8_t Walk(bool open, unsigned stamp);
    // Applies the delete rules to the records linked to the buffer's record.
    uint8_t DeleteLinked();
    uint8_t UpdateLinked(const std::string& before);
    unsigned stamp_ = 0;
};

}  // namespace verdo
