#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "core/Dictionary.h"
#include "core/Records.h"
#include "framework/FileManager.h"
#include "runtime/window/MessageDialog.h"
#include "framework/RelationManager.h"
#include "runtime/LogicalThread.h"
#include "runtime/text/Text.h"
#include "tests/support/ProgramFixture.h"

using namespace verdo;

namespace {

class TableAccess : public test::ProgramFixture {
protected:
    std::string ResName() const { return dir.File("VERDO") + "\\!RESFile"; }
};

}  // namespace

TEST_F(TableAccess, AFileThatIsNotAStoreEndsTheProgramAndIsLeftAlone) {
    test::WriteFileBytes(dir.File("VERDO"), "my notes, not a store");
    dialog.Expect("File Access Error", ButtonOk);
    FileManager& res = *Access_RESFile;
    res.Open();
    EXPECT_EQ(res.UseFile(), LevelFatal);
    EXPECT_EQ(halts, 1);
    ASSERT_EQ(dialog.Shown().size(), 1u);
    EXPECT_EQ(dialog.Shown()[0].Text, "File (" + ResName() +
                                          ") could not be opened.  Error: file is not a database (26)."
                                          "  Press OK to end this application");
    res.Close();
    EXPECT_EQ(test::ReadFileBytes(dir.File("VERDO")), "my notes, not a store");
}

TEST_F(TableAccess, AMissingTableIsMadeAgainAndAMissingKeyRebuiltAfterANotice) {
    AddProject("A");
    StoreSql("DROP TABLE LangID; DROP INDEX RES_ProjectNameK;");
    FileManager& lid = *Access_LangID;
    lid.Open();
    EXPECT_EQ(lid.UseFile(), LevelNone);
    lid.Close();
    EXPECT_EQ(StoreValue("SELECT LangID FROM LangID WHERE LangIDVal = '0409'"), "English (United States)");

    dialog.Expect("Invalid Key", ButtonOk);
    FileManager& res = *Access_RESFile;
    res.Open();
    EXPECT_EQ(res.UseFile(), LevelNone);
    res.Close();
    EXPECT_EQ(dialog.Shown().at(0).Text, ResName() + " key file is invalid. Key must be rebuilt.");
    EXPECT_EQ(StoreValue("SELECT count(*) FROM sqlite_master WHERE name = 'RES_ProjectNameK'"), "1");
}

TEST_F(TableAccess, ALockedStoreOpensReadOnlyAfterOneRetryAndANotice) {
    AddProject("A");
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(dir.File("VERDO").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    FileManager& res = *Access_RESFile;
    res.LOCKRECOVER = 1;
    dialog.Expect("Access Denied", ButtonOk);
    res.Open();
    EXPECT_EQ(res.UseFile(), LevelNone);
    EXPECT_EQ(res.OPENMODE, 0x40);
    EXPECT_EQ(dialog.Shown().at(0).Text, "Could not get write access to " + ResName() + " so trying read-only.");
    RES.RESNumber = 1;
    EXPECT_EQ(res.TryFetch(0), LevelNone) << "reading still works";
    AssignField(RES.Description, "changed");
    EXPECT_NE(res.TryUpdate(), LevelNone);
    res.Close();
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
}

TEST_F(TableAccess, UsingATableNoProcedureOpenedIsAProgrammingError) {
    dialog.Expect("File Usage Error", ButtonOk);
    EXPECT_EQ(Access_ExtraSeg->UseFile(), LevelFatal);
    EXPECT_EQ(halts, 1);
}

TEST_F(TableAccess, UseCountsAreKeptPerThread) {
    FileManager& res = *Access_RESFile;
    res.Open();
    EXPECT_EQ(res.UseFile(), LevelNone);
    {
        ThreadScope other(NewThreadNumber());
        dialog.Expect("File Usage Error", ButtonOk);
        EXPECT_EQ(res.UseFile(), LevelFatal) << "another thread has not opened the table";
        res.Open();
        EXPECT_EQ(res.UseFile(), LevelNone);
        res.Close();
    }
    EXPECT_TRUE(res.FILE->IsOpen()) << "still in use by the first thread";
    res.Close();
    EXPECT_FALSE(res.FILE->IsOpen());
}

TEST_F(TableAccess, ADuplicateOfTheUniqueKeyNamesTheKey) {
    AddProject("A");
    FileManager& res = *Access_RESFile;
    res.Open();
    ASSERT_EQ(res.PrimeRecord(), LevelNone);
    RES.RESNumber = 1;  // the reserved record now collides with project 1
    dialog.Expect("Duplicate Key Error", ButtonOk);
    EXPECT_EQ(res.Insert(), LevelNotice);
    EXPECT_EQ(dialog.Shown().at(0).Text, "Adding this record creates a duplicate entry for the key: RES:RESNumberK");
    res.Close();
}

TEST_F(TableAccess, AChangeByAnotherStationIsRefusedAndTheirVersionShown) {
    AddProject("MINE");
    Relate_RESFile->Open();
    FileManager& res = *Access_RESFile;
    RES.RESNumber = 1;
    ASSERT_EQ(res.TryFetch(0), LevelNone);
    StoreSql("UPDATE RESFile SET Description = 'changed elsewhere'");
    AssignField(RES.Description, "my change");
    dialog.Expect("Record Was Not Updated", ButtonOk);
    EXPECT_EQ(Relate_RESFile->Update(true), LevelNotice);
    EXPECT_EQ(dialog.Shown().at(0).Text,
              "This record was changed by another station. Those changes will now be displayed. Use the Ditto "
              "Button or Ctrl+' to recall your changes.");
    EXPECT_EQ(FieldText(RES.Description), "changed elsewhere");
    AssignField(RES.Description, "my change again");
    EXPECT_EQ(Relate_RESFile->Update(true), LevelNone) << "the re-read version can be written over";
    Relate_RESFile->Close();
    EXPECT_EQ(StoreValue("SELECT Description FROM RESFile"), "my change again");
}

TEST_F(TableAccess, SavedStatesBringBackBufferAndPosition) {
    AddProject("A");
    AddProject("B");
    AddProject("C");
    FileManager& res = *Access_RESFile;
    res.Open();
    res.SetKey(0);
    res.Next();
    uint16_t handle = res.SaveState();
    EXPECT_TRUE(res.EqualsSaved(handle));
    res.Next();
    EXPECT_FALSE(res.EqualsSaved(handle));
    res.RestoreState(handle);
    EXPECT_EQ(RES.RESNumber, 1);
    ASSERT_EQ(res.Next(), LevelNone);
    EXPECT_EQ(RES.RESNumber, 2) << "the walk goes on from the restored position";
    res.Close();
}

TEST_F(TableAccess, AWalkKeepsItsKeyFromBeforeTheFirstOpenAndStopsAtBothEnds) {
    AddProject("C");
    AddProject("A");
    AddProject("B");
    FileManager& res = *Access_RESFile;
    res.Open();
    res.SetKey(res.KeyNumber("RES:ProjectNameK"));
    std::string names;
    while (res.Next() == LevelNone) names += FieldText(RES.ProjectName);
    EXPECT_EQ(names, "ABC") << "the key's order, not the store's";

    res.SetKey(res.KeyNumber("RES:ProjectNameK"));
    names.clear();
    while (res.Previous() == LevelNone) names += FieldText(RES.ProjectName);
    EXPECT_EQ(names, "CBA");
    EXPECT_EQ(res.Previous(), LevelNotice) << "past the start the walk stays at its start";
    ASSERT_EQ(res.Next(), LevelNone);
    EXPECT_EQ(FieldText(RES.ProjectName), "A");
    res.Close();
}

TEST_F(TableAccess, AfterTheHighestNumberNoneIsLeftAndNothingIsStored) {
    AddProject("A");
    StoreSql("INSERT INTO RESFile (RESNumber, ProjectName) VALUES (2147483647, 'TOP')");
    FileManager& res = *Access_RESFile;
    res.Open();
    dialog.Expect("Auto Increment Error", ButtonYes);
    dialog.Expect("Auto Increment Error", ButtonNo);
    EXPECT_EQ(res.PrimeRecord(), LevelNotice);
    res.Close();
    ASSERT_EQ(dialog.Shown().size(), 2u) << "Yes asks again";
    EXPECT_EQ(dialog.Shown()[1].Text,
              "Attempts to automatically number this record have failed.  Error: no number is left after "
              "2147483647 (34). Try Again?");
    EXPECT_EQ(StoreValue("SELECT group_concat(RESNumber) FROM RESFile"), "1,2147483647");
}
