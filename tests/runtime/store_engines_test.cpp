#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "runtime/RuntimeError.h"
#include "runtime/datetime/DateTime.h"
#include "runtime/store/StoreEngines.h"
#include "runtime/store/StoreSchema.h"
#include "runtime/store/StoreTable.h"
#include "runtime/text/Text.h"
#include "tests/support/TempProgramDir.h"
#include "tests/support/TestServer.h"

using namespace verdo;

namespace {

#pragma pack(push, 1)
struct Entry {
    int32_t Id;
    char Name[6];
    char Code[3];
    Date Day;
    Time At;
    uint16_t Count;
};
#pragma pack(pop)

// Keys of every kind: unique, case-insensitive text, case-sensitive text, a date with a
// time, a number with text; all but the first leave out empty entries.
const TableDef& EntryTable() {
    static const TableDef def = [] {
        TableDef t;
        t.Label = "Entry";
        t.Prefix = "ENT";
        t.RecordSize = sizeof(Entry);
        t.Fields = {{"ENT:Id", "Id", FieldType::Long, offsetof(Entry, Id), 4},
                    {"ENT:Name", "Name", FieldType::String, offsetof(Entry, Name), 6},
                    {"ENT:Code", "Code", FieldType::String, offsetof(Entry, Code), 3},
                    {"ENT:Day", "Day", FieldType::Date, offsetof(Entry, Day), 4},
                    {"ENT:At", "At", FieldType::Time, offsetof(Entry, At), 4},
                    {"ENT:Count", "Count", FieldType::UShort, offsetof(Entry, Count), 2}};
        t.Keys = {{"ENT:IdK", {0}, true, true, false},
                  {"ENT:NameK", {1}},
                  {"ENT:CodeK", {2}, false, false},
                  {"ENT:DayK", {3, 4}},
                  {"ENT:CountNameK", {5, 1}}};
        return t;
    }();
    return def;
}

// Texts that put the folding to the test: letters of both cases, characters on either
// side of them, upper-half bytes, leading spaces, empty ones.
std::string RandomText(std::mt19937& random, size_t width) {
    static const std::string pieces[] = {"a", "A", "b", "B", "z", "Z", "_", "~", "0", " ", "@", "[",
                                         "\xE9", "\xC9", "\xFF", "\xE0", "\x7F"};
    std::string text;
    size_t length = random() % (width + 1);
    while (text.size() < length) text += pieces[random() % std::size(pieces)];
    return text.substr(0, width);
}

Entry RandomEntry(std::mt19937& random, int32_t id) {
    Entry e{};
    e.Id = id;
    AssignField(e.Name, RandomText(random, 4));
    AssignField(e.Code, RandomText(random, 2));
    if (random() % 4) e.Day = Date{static_cast<uint8_t>(1 + random() % 3), 12, 2026};
    if (random() % 3) e.At = Time{static_cast<uint8_t>(random() % 2), 0, 0, static_cast<uint8_t>(random() % 3)};
    e.Count = static_cast<uint16_t>(random() % 3);
    return e;
}

struct Side {
    std::string Store;
    std::unique_ptr<StoreTable> Table;
};

std::vector<int32_t> Ids(StoreTable& table, bool forward, size_t limit) {
    std::vector<int32_t> ids;
    Entry e{};
    while (ids.size() < limit && (forward ? table.Next(&e) : table.Previous(&e)) == NoError) ids.push_back(e.Id);
    EXPECT_TRUE(ids.size() == limit || LastError().Code == RecordNotAvailErr) << LastError().FileText;
    return ids;
}

}  // namespace

// The same rows, added, changed and removed alike in a store file and on a server, come
// back in the same order along every key, both ways, from every kind of position.
TEST(StoreEngines, EveryWalkGivesTheSameRowsOnAFileAndOnAServer) {
    RegisterCatalogTable({&EntryTable(), nullptr});
    test::TempProgramDir dir;
    test::ServerSchema schema;
    Side sides[2] = {{dir.File("STORE"), nullptr}, {ServerStoreName(schema.Connection()), nullptr}};
    for (Side& side : sides) {
        side.Table = std::make_unique<StoreTable>(EntryTable(), side.Store + "\\!Entry");
        ASSERT_EQ(side.Table->Create(), NoError) << side.Store;
        ASSERT_EQ(side.Table->Open(0x42), NoError) << side.Store << ": " << LastError().FileText;
    }
    std::mt19937 random(20261210);
    std::vector<Entry> rows;
    for (int32_t id = 1; id <= 240; ++id) rows.push_back(RandomEntry(random, id));
    for (Side& side : sides)
        for (const Entry& e : rows) ASSERT_EQ(side.Table->Add(&e), NoError);
    // Some rows change their key values and some go, the same ones on both sides.
    for (int32_t id = 7; id < 230; id += 11) {
        Entry changed = RandomEntry(random, id);
        bool remove = id % 2 == 0;
        for (Side& side : sides) {
            Entry e{};
            e.Id = id;
            ASSERT_EQ(side.Table->Get(0, &e), NoError);
            ASSERT_EQ(remove ? side.Table->Remove() : side.Table->Put(&changed), NoError);
        }
        if (!remove) rows[id - 1] = changed;
    }

    for (int key = -1; key < static_cast<int>(EntryTable().Keys.size()); ++key) {
        SCOPED_TRACE("key " + std::to_string(key));
        for (bool forward : {true, false}) {
            std::vector<int32_t> walks[2];
            for (int s = 0; s < 2; ++s) {
                sides[s].Table->SetOrder(key);
                walks[s] = Ids(*sides[s].Table, forward, rows.size() + 1);
            }
            EXPECT_EQ(walks[0], walks[1]) << (forward ? "forwards" : "backwards");
            EXPECT_FALSE(walks[0].empty());
        }
        if (key < 0) continue;
        for (int probe = 0; probe < 12; ++probe) {
            // From key values that may or may not be there.
            Entry values = RandomEntry(random, 0);
            const Entry& row = rows[random() % rows.size()];
            bool including = random() % 2;
            for (bool forward : {true, false}) {
                std::vector<int32_t> fromValues[2], fromRow[2];
                for (int s = 0; s < 2; ++s) {
                    StoreTable& table = *sides[s].Table;
                    table.SetPosition(key, &values);
                    fromValues[s] = Ids(table, forward, 12);
                    // From a row of the table, itself included or not.
                    Entry at = row;
                    int64_t rowId = 0;
                    if (table.Get(0, &at) == NoError) rowId = table.CurrentPosition().CurrentRowId;
                    else continue;
                    table.Reset(StoreTable::PositionAt(EntryTable(), key, &at, rowId, including));
                    fromRow[s] = Ids(table, forward, 12);
                }
                EXPECT_EQ(fromValues[0], fromValues[1]) << "from values, " << (forward ? "forwards" : "backwards");
                EXPECT_EQ(fromRow[0], fromRow[1]) << "from row " << row.Id << (including ? " on" : " after") << ", "
                                                  << (forward ? "forwards" : "backwards");
            }
        }
    }
}
