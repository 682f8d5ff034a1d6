#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/Dictionary.h"
#include "core/Records.h"
#include "framework/DefaultMessages.h"
#include "framework/FileManager.h"
#include "runtime/window/MessageDialog.h"
#include "framework/RelationManager.h"
#include "runtime/datetime/DateTime.h"
#include "runtime/text/Text.h"
#include "core/ProgramNames.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ProgramFixture.h"
#include "tests/support/StoreClient.h"

using namespace verdo;

namespace {

// The project store on a store file and on a database on the test server.
class ProjectStore : public test::ProgramFixture, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        onServer = GetParam();
        ProgramFixture::SetUp();
    }

    // The projects along a key, as "number:name".
    std::vector<std::string> Walk(const std::string& key) {
        FileManager& res = *Access_RESFile;
        res.Open();
        res.UseFile();
        res.SetKey(res.KeyNumber(key));
        std::vector<std::string> rows;
        while (res.Next() == LevelNone) rows.push_back(std::to_string(RES.RESNumber) + ":" + FieldText(RES.ProjectName));
        EXPECT_TRUE(res.Info().ATEOF);
        res.Close();
        return rows;
    }

    std::string Hex(const std::string& column) { return test::HexOf(StoreName, column); }
    std::string Bytes(const std::string& hex) { return test::BytesLiteral(StoreName, hex); }

    test::FixedClock clock{Date{9, 12, 2026}, Time{14, 30, 5, 20}};
};

INSTANTIATE_TEST_SUITE_P(Engines, ProjectStore, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Server" : "File"; });

}  // namespace

TEST_P(ProjectStore, ANewStoreHoldsAllItsTablesAndTheStandardLookupRows) {
    AddProject("FIRST");
    if (onServer) {
        EXPECT_EQ(StoreValue("SELECT string_agg(table_name, ',' ORDER BY table_name) FROM information_schema.tables "
                             "WHERE table_schema = current_schema()"),
                  "codepage,extraseg,fileos,filetype,langid,resbuild,resfile");
    } else {
        EXPECT_EQ(StoreValue("SELECT group_concat(name) FROM (SELECT name FROM sqlite_master WHERE type = 'table' "
                             "ORDER BY name)"),
                  "CodePage,ExtraSeg,FileOS,FileType,LangID,RESBuild,RESFile");
        EXPECT_EQ(StoreValue("PRAGMA journal_mode"), "wal");
    }
    EXPECT_EQ(StoreValue("SELECT LangID FROM LangID WHERE LangIDVal = '0409'"), "English (United States)");
    EXPECT_EQ(StoreValue("SELECT count(*) FROM CodePage WHERE CodePageVal = '04b0'"), "1");
    EXPECT_EQ(StoreValue("SELECT FileType FROM FileType WHERE FileTypeVal = " + Bytes("01")), "VFT_APP");
    EXPECT_EQ(StoreValue("SELECT FileOS FROM FileOS WHERE FileOSVal = " + Bytes("04000400")), "VOS_NT_WINDOWS32");
}

TEST_P(ProjectStore, PrimingFillsTheDefaultsAndNumbersFromOneAfterTheHighest) {
    EXPECT_EQ(AddProject("A"), 1);
    EXPECT_EQ(AddProject("B"), 2);
    StoreSql("UPDATE RESFile SET RESNumber = 5 WHERE RESNumber = 2");
    EXPECT_EQ(AddProject("C"), 6);

    FileManager& res = *Access_RESFile;
    res.Open();
    RES.RESNumber = 6;
    ASSERT_EQ(res.TryFetch(res.KeyNumber("RES:RESNumberK")), LevelNone);
    EXPECT_EQ(std::memcmp(RES.FileOS, "\x04\x00\x04\x00", 4), 0);
    EXPECT_EQ(RES.FileType[0], '\x01');
    EXPECT_EQ(FieldText(RES.LangID), "0409");
    EXPECT_EQ(FieldText(RES.CodePage), "04b0");
    EXPECT_EQ(RES.EnterDate.ToNumber(), 20261209);
    EXPECT_EQ(RES.FV_1 + RES.PV_4 + RES.INC_PV_1 + RES.FFDebug, 0);
    EXPECT_TRUE(RES.ExportDate.IsEmpty() && RES.ExportTime.IsEmpty() && RES.LastSaved.IsEmpty());
    res.Close();
    EXPECT_EQ(StoreValue("SELECT " + Hex("FileOS") + " || ' ' || " + Hex("FileType") + " || ' ' || EnterDate "
                         "FROM RESFile WHERE RESNumber = 6"),
              "04000400 01 20261209");
}

TEST_P(ProjectStore, KeysLeaveOutEmptyEntriesFoldCaseAndKeepStoreOrder) {
    AddProject("beta");
    AddProject("");
    AddProject("Alpha");
    AddProject("BETA");
    AddProject("alpha");
    StoreSql("UPDATE RESFile SET EnterDate = 0 WHERE RESNumber = 3");
    StoreSql("UPDATE RESFile SET ExportDate = 20260101, ExportTime = 1000000 WHERE RESNumber = 4");
    StoreSql("UPDATE RESFile SET ExportDate = 20260101, ExportTime = 900000 WHERE RESNumber = 5");

    EXPECT_EQ(Walk("RES:ProjectNameK"), (std::vector<std::string>{"3:Alpha", "5:alpha", "1:beta", "4:BETA"}));
    EXPECT_EQ(Walk("RES:RESNumberK"), (std::vector<std::string>{"1:beta", "2:", "3:Alpha", "4:BETA", "5:alpha"}));
    EXPECT_EQ(Walk("RES:EnterDateK"), (std::vector<std::string>{"1:beta", "2:", "4:BETA", "5:alpha"}));
    EXPECT_EQ(Walk("RES:ExportDateK"), (std::vector<std::string>{"5:alpha", "4:BETA"}));
}

TEST_P(ProjectStore, SpecialBytesAndLargeStepsSurviveTheStore) {
    int32_t number = AddProject("X");
    FileManager& res = *Access_RESFile;
    res.Open();
    RES.RESNumber = number;
    ASSERT_EQ(res.TryFetch(res.KeyNumber("RES:RESNumberK")), LevelNone);
    AssignField(RES.LegalCopyright, "\xA9 2026 \xC4\xFF");
    std::memcpy(RES.FileOS, "\x20\x00\x00\x00", 4);  // a trailing-space byte that is a value, not padding
    RES.INC_PV_1 = 4000000000u;
    RES.FV_3 = 65535;
    AssignField(RES.Notes, "line one\r\nline two");
    ASSERT_EQ(res.Update(), LevelNone);
    RESFileRecord written = RES;
    ClearRecord(RESFileTable(), &RES);
    RES.RESNumber = number;
    ASSERT_EQ(res.TryFetch(res.KeyNumber("RES:RESNumberK")), LevelNone);
    EXPECT_EQ(std::memcmp(&RES, &written, sizeof RES), 0);
    res.Close();
    EXPECT_EQ(StoreValue("SELECT LegalCopyright FROM RESFile"), "\xC2\xA9 2026 \xC3\x84\xC3\xBF");
    EXPECT_EQ(StoreValue("SELECT " + Hex("FileOS") + " || INC_PV_1 FROM RESFile"), "200000004000000000");
}

TEST_P(ProjectStore, DeletingAProjectTakesItsExtraItemsAlongInOneTransaction) {
    int32_t keep = AddProject("KEEP");
    int32_t gone = AddProject("GONE");
    AddExtraItem(keep, "Build", "k1");
    for (int i = 0; i < 3; ++i) AddExtraItem(gone, "Item" + std::to_string(i), "g");
    AddExtraItem(keep, "Other", "k2");

    Relate_RESFile->Open();
    FileManager& res = *Access_RESFile;
    RES.RESNumber = gone;
    ASSERT_EQ(res.TryFetch(res.KeyNumber("RES:RESNumberK")), LevelNone);
    dialog.Expect("Confirm Delete", ButtonYes);
    EXPECT_EQ(Relate_RESFile->Delete(true), LevelNone);
    Relate_RESFile->Close();

    EXPECT_EQ(StoreValue("SELECT count(*) FROM ExtraSeg WHERE RESNumber = " + std::to_string(gone)), "0");
    EXPECT_EQ(StoreValue("SELECT count(*) FROM ExtraSeg WHERE RESNumber = " + std::to_string(keep)), "2");
    EXPECT_EQ(StoreValue("SELECT count(*) FROM RESFile"), "1");
    EXPECT_EQ(StoreValue("SELECT ProjectName FROM RESFile"), "KEEP");
}

TEST_P(ProjectStore, DeleteAnsweredNoLeavesEverything) {
    int32_t number = AddProject("STAY");
    AddExtraItem(number, "A", "1");
    Relate_RESFile->Open();
    RES.RESNumber = number;
    Access_RESFile->TryFetch(0);
    dialog.Expect("Confirm Delete", ButtonNo);
    EXPECT_EQ(Relate_RESFile->Delete(true), LevelNotice);
    Relate_RESFile->Close();
    EXPECT_EQ(StoreValue("SELECT count(*) FROM RESFile") + StoreValue("SELECT count(*) FROM ExtraSeg"), "11");
}

TEST_P(ProjectStore, ACancelledInsertGivesTheReservedNumberBack) {
    AddProject("ONE");
    Relate_RESFile->Open();
    FileManager& res = *Access_RESFile;
    ASSERT_EQ(res.PrimeRecord(), LevelNone);
    EXPECT_EQ(RES.RESNumber, 2);
    EXPECT_EQ(StoreValue("SELECT count(*) FROM RESFile"), "2") << "the number is reserved by a record";
    EXPECT_EQ(Relate_RESFile->CancelAutoNumber(), LevelNone);
    EXPECT_EQ(StoreValue("SELECT count(*) FROM RESFile"), "1");
    Relate_RESFile->Close();
    EXPECT_EQ(AddProject("TWO"), 2);
}
