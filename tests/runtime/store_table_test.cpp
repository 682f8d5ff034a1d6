#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "runtime/RuntimeError.h"
#include "runtime/store/StoreSchema.h"
#include "runtime/store/StoreTable.h"
#include "runtime/text/Text.h"
#include "tests/support/TempProgramDir.h"

using namespace verdo;

namespace {

#pragma pack(push, 1)
struct Item {
    int32_t Number;
    char Name[10];
    char Raw[2];
};
#pragma pack(pop)

const TableDef& ItemTable() {
    static const TableDef def = [] {
        TableDef t;
        t.Label = "Item";
        t.Prefix = "ITM";
        t.RecordSize = sizeof(Item);
        t.Fields = {{"ITM:Number", "Number", FieldType::Long, offsetof(Item, Number), 4},
                    {"ITM:Name", "Name", FieldType::String, offsetof(Item, Name), 10},
                    {"ITM:Raw", "Raw", FieldType::RawBytes, offsetof(Item, Raw), 2}};
        t.Keys = {{"ITM:NumberK", {0}, true}, {"ITM:NameK", {1}}};
        return t;
    }();
    return def;
}

Item MakeItem(int32_t number, const char* name) {
    Item item{};
    item.Number = number;
    AssignField(item.Name, name);
    item.Raw[0] = 0;
    item.Raw[1] = '\x80';
    return item;
}

class StoreTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterCatalogTable({&ItemTable(), nullptr});
        name = dir.File("STORE") + "\\!Item";
    }

    std::unique_ptr<StoreTable> OpenTable() {
        auto table = std::make_unique<StoreTable>(ItemTable(), name);
        if (table->Open(0x42) == FileNotFoundErr) {
            EXPECT_EQ(table->Create(), NoError);
            EXPECT_EQ(table->Open(0x42), NoError);
        }
        return table;
    }

    std::vector<std::string> Walk(StoreTable& table, int key, bool forward = true) {
        std::vector<std::string> names;
        table.SetOrder(key);
        Item item{};
        while ((forward ? table.Next(&item) : table.Previous(&item)) == NoError)
            names.push_back(std::to_string(item.Number) + ":" + FieldText(item.Name));
        EXPECT_EQ(LastError().Code, RecordNotAvailErr);
        return names;
    }

    test::TempProgramDir dir;
    std::string name;
};

}  // namespace

TEST_F(StoreTableTest, MissingFileThenCreatedWithTheTable) {
    StoreTable table(ItemTable(), name);
    EXPECT_EQ(table.Open(0x42), FileNotFoundErr);
    EXPECT_EQ(table.Create(), NoError);
    EXPECT_EQ(table.Open(0x42), NoError);
    EXPECT_EQ(table.Open(0x42), AlreadyOpenErr);
}

TEST_F(StoreTableTest, KeysSkipEmptyEntriesFoldCaseAndKeepStoreOrderForDuplicates) {
    auto tablePtr = OpenTable();
    StoreTable& table = *tablePtr;
    for (Item item : {MakeItem(3, "beta"), MakeItem(1, "Alpha"), MakeItem(2, ""), MakeItem(4, "BETA"),
                      MakeItem(0, "alpha"), MakeItem(5, "gamma")})
        ASSERT_EQ(table.Add(&item), NoError);
    EXPECT_EQ(Walk(table, 1), (std::vector<std::string>{"1:Alpha", "0:alpha", "3:beta", "4:BETA", "5:gamma"}));
    EXPECT_EQ(Walk(table, 1, false), (std::vector<std::string>{"5:gamma", "4:BETA", "3:beta", "0:alpha", "1:Alpha"}));
    EXPECT_EQ(Walk(table, 0), (std::vector<std::string>{"1:Alpha", "2:", "3:beta", "4:BETA", "5:gamma"}));
    EXPECT_EQ(Walk(table, -1), (std::vector<std::string>{"3:beta", "1:Alpha", "2:", "4:BETA", "0:alpha", "5:gamma"}));
}

TEST_F(StoreTableTest, PositionAndGetFindByKeyValueWithoutRegardToCase) {
    auto tablePtr = OpenTable();
    StoreTable& table = *tablePtr;
    for (Item item : {MakeItem(1, "apple"), MakeItem(2, "Cherry"), MakeItem(3, "banana")}) table.Add(&item);
    Item probe = MakeItem(0, "B");
    table.SetPosition(1, &probe);
    Item item{};
    ASSERT_EQ(table.Next(&item), NoError);
    EXPECT_EQ(FieldText(item.Name), "banana");
    ASSERT_EQ(table.Next(&item), NoError);
    EXPECT_EQ(FieldText(item.Name), "Cherry");
    EXPECT_EQ(table.Next(&item), RecordNotAvailErr);

    probe = MakeItem(0, "CHERRY");
    ASSERT_EQ(table.Get(1, &probe), NoError);
    EXPECT_EQ(probe.Number, 2);
    probe = MakeItem(0, "");
    EXPECT_EQ(table.Get(1, &probe), RecordNotAvailErr) << "an empty entry is in no key";
    EXPECT_EQ(std::memcmp(probe.Raw, "\0\x80", 2), 0);
}

TEST_F(StoreTableTest, UniqueKeyRefusesDuplicatesButNotEmptyNumbers) {
    auto tablePtr = OpenTable();
    StoreTable& table = *tablePtr;
    Item a = MakeItem(7, "a"), b = MakeItem(7, "b"), z1 = MakeItem(0, "z"), z2 = MakeItem(0, "zz");
    EXPECT_EQ(table.Add(&a), NoError);
    EXPECT_EQ(table.Add(&b), DupKeyErr);
    EXPECT_EQ(table.Add(&z1), NoError);
    EXPECT_EQ(table.Add(&z2), NoError);
}

TEST_F(StoreTableTest, PutRefusesARecordChangedByAnotherStation) {
    auto minePtr = OpenTable();
    StoreTable& mine = *minePtr;
    Item item = MakeItem(1, "one");
    ASSERT_EQ(mine.Add(&item), NoError);
    ASSERT_EQ(mine.Get(0, &item), NoError);

    // Another process changes the row behind our back.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(dir.File("STORE").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "UPDATE Item SET Name = 'theirs'", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);

    AssignField(item.Name, "mine");
    EXPECT_EQ(mine.Put(&item), RecordChangedErr);
    ASSERT_EQ(mine.Get(0, &item), NoError);
    EXPECT_EQ(FieldText(item.Name), "theirs");
    AssignField(item.Name, "mine");
    EXPECT_EQ(mine.Put(&item), NoError);
}

TEST_F(StoreTableTest, RemoveKeepsTheWalkGoingAndMissingKeysAskForARebuild) {
    auto tablePtr = OpenTable();
    StoreTable& table = *tablePtr;
    for (Item item : {MakeItem(1, "a"), MakeItem(2, "b"), MakeItem(3, "c")}) table.Add(&item);
    table.SetOrder(0);
    Item item{};
    table.Next(&item);
    table.Next(&item);
    ASSERT_EQ(table.Remove(), NoError);
    ASSERT_EQ(table.Next(&item), NoError);
    EXPECT_EQ(item.Number, 3);
    EXPECT_EQ(table.Remove(), NoError);
    EXPECT_EQ(table.Remove(), RecordNotAvailErr);
    table.Close();

    sqlite3* other = nullptr;
    sqlite3_open(dir.File("STORE").c_str(), &other);
    sqlite3_exec(other, "DROP INDEX ITM_NameK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(table.Open(0x42), BadKeyErr);
    EXPECT_EQ(table.BuildKeys(), NoError);
    EXPECT_EQ(table.Open(0x42), NoError);
}

TEST_F(StoreTableTest, AFileThatIsNotAStoreIsAFileSystemErrorAndStaysAsItWas) {
    test::WriteFileBytes(dir.File("STORE"), "just some text, not a store");
    StoreTable table(ItemTable(), name);
    EXPECT_EQ(table.Open(0x42), FileSystemErr);
    EXPECT_FALSE(LastError().FileText.empty());
    EXPECT_EQ(test::ReadFileBytes(dir.File("STORE")), "just some text, not a store");
}

TEST_F(StoreTableTest, AStoreLockedByAnotherProcessRefusesWriteAccess) {
    OpenTable()->Close();
    sqlite3* other = nullptr;
    sqlite3_open(dir.File("STORE").c_str(), &other);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    StoreTable table(ItemTable(), name);
    EXPECT_EQ(table.Open(0x42), AccessDeniedErr);
    EXPECT_EQ(table.Open(0x40), NoError) << "reading is still possible";
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
}
