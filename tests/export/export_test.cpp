#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "core/Dictionary.h"
#include "core/ProgramNames.h"
#include "core/Records.h"
#include "export/ExportRESFile.h"
#include "framework/FileManager.h"
#include "runtime/window/MessageDialog.h"
#include "runtime/datetime/DateTime.h"
#include "runtime/text/Text.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ProgramFixture.h"
#include "tests/support/RecordingDisk.h"
#include "tests/support/StoreClient.h"

using namespace verdo;

namespace {

// UTF-16LE as the resource file holds its texts.
std::string Wide(const std::string& text) {
    std::string wide;
    for (char c : text) {
        wide.push_back(c);
        wide.push_back('\0');
    }
    return wide;
}

class Export : public test::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        out = dir.Path() + "out/";
        std::filesystem::create_directory(out);
    }
    void TearDown() override {
        ProgramFixture::TearDown();
    }

    // A project with versions 1.2.3.4 and 5.6.7.8 exporting into `path`.
    int32_t MakeProject(const std::string& name, const std::string& path, const std::string& steps = "") {
        int32_t number = AddProject(name, path);
        StoreSql("UPDATE RESFile SET FV_1 = 1, FV_2 = 2, FV_3 = 3, FV_4 = 4, PV_1 = 5, PV_2 = 6, PV_3 = 7, "
                 "PV_4 = 8, CompanyName = 'ACME' " + steps + " WHERE RESNumber = " + std::to_string(number));
        return number;
    }

    std::string Versions(int32_t number) {
        return StoreValue("SELECT FV_1 || '.' || FV_2 || '.' || FV_3 || '.' || FV_4 || ' ' || PV_1 || '.' || PV_2 || "
                          "'.' || PV_3 || '.' || PV_4 FROM RESFile WHERE RESNumber = " + std::to_string(number));
    }

    size_t FilesIn(const std::string& directory) {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(directory), {}));
    }

    test::FixedClock clock{Date{24, 12, 2026}, Time{9, 5, 30, 75}};
    std::string out;
};

// A second connection to the store, as another program holds it.
class OtherConnection {
public:
    explicit OtherConnection(const std::string& path) { sqlite3_open(path.c_str(), &db_); }
    ~OtherConnection() { sqlite3_close(db_); }
    bool Exec(const std::string& sql) { return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK; }

private:
    sqlite3* db_ = nullptr;
};

}  // namespace

TEST_F(Export, AUsersExportWritesBothFilesReportsAndKeepsTheVersions) {
    int32_t number = MakeProject("MYAPP", dir.Path() + "out", ", INC_FV_4 = 1");
    ClearRecord(RESFileTable(), &RES);
    AssignField(RES.Description, "what the browse held");
    RESFileRecord before = RES;

    dialog.Expect("Resource File Exported", ButtonOk);
    ExportRESFile(number, 0);

    ASSERT_EQ(dialog.Shown().size(), 1u);
    EXPECT_EQ(dialog.Shown()[0].Text,
              "Resource File Exported. Please review the following information:||Path location: " + out +
                  "|Compiled RES file: MYAPP.RES|Project to include: MYAPP_RES.PRJ||Please refer to the "
                  "documentation on how to use the Compiled Resource File.");
    EXPECT_EQ(dialog.Shown()[0].Icon, IconInformation);
    EXPECT_EQ(std::memcmp(&RES, &before, sizeof RES), 0) << "the shared buffer is as it was";
    EXPECT_EQ(Versions(number), "1.2.3.4 5.6.7.8") << "a user's export raises nothing";
    EXPECT_EQ(StoreValue("SELECT ExportDate || ' ' || ExportTime FROM RESFile"), "20261224 9053075");

    std::string res = test::ReadFileBytes(out + "MYAPP.RES");
    EXPECT_NE(res.find(Wide("1.2.3.4")), std::string::npos);
    std::string prj = test::ReadFileBytes(out + "MYAPP_RES.PRJ");
    EXPECT_NE(prj.find("  #run \"" + ProgramFile + " " + std::to_string(number) + "\"\r\n\r\n"), std::string::npos);
    EXPECT_NE(prj.find("  #pragma link(" + out + "MYAPP.RES)\r\n"), std::string::npos);
}

TEST_F(Export, TheBuildTimeRunRaisesEachPartWithoutCarryAndShowsNothing) {
    // Each part its own step, so that a part raised by another's step shows.
    int32_t number = MakeProject("APP", out,
                                 ", FV_4 = 65535, INC_FV_1 = 10, INC_FV_2 = 3, INC_FV_3 = 20, INC_FV_4 = 1, PV_1 = 0, "
                                 "INC_PV_1 = 70000, INC_PV_2 = 30, INC_PV_3 = 40, INC_PV_4 = 50");
    ExportRESFile(number, 1);
    EXPECT_EQ(Versions(number), "11.5.23.0 4464.36.47.58");
    EXPECT_TRUE(dialog.Shown().empty());
    EXPECT_FALSE(test::FileExists(out + "APP_RES.PRJ")) << "only a user's export writes the include file";
    std::string res = test::ReadFileBytes(out + "APP.RES");
    EXPECT_NE(res.find(Wide("11.5.23.0")), std::string::npos) << "the file carries the raised numbers";
    EXPECT_NE(res.find(Wide("4464.36.47.58")), std::string::npos);

    ExportRESFile(number, 1);
    EXPECT_EQ(Versions(number), "21.8.43.1 8928.66.87.108");
}

TEST_F(Export, AVanishedProjectIsReportedTwiceByAUserAndSilentlyAtBuildTime) {
    dialog.Expect("Missing Resource", ButtonOk);
    dialog.Expect("Export has failed.", ButtonOk);
    ExportRESFile(42, 0);
    EXPECT_EQ(dialog.Shown().at(0).Text,
              "Resource Number \"42\" was not found! Please correct the error and try again.");
    EXPECT_EQ(dialog.Shown().at(1).Text,
              "There was a problem creating the following Resource file: .RES. The export has been aborted.");
    EXPECT_EQ(dialog.Shown().at(1).Icon, IconExclamation);

    dialog.Clear();
    ExportRESFile(42, 1);
    ExportRESFile(0, 1);
    EXPECT_TRUE(dialog.Shown().empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}), 0);
}

TEST_F(Export, AMissingTargetDirectoryFailsButKeepsTheStamp) {
    int32_t number = MakeProject("APP", dir.Path() + "nowhere/deeper", ", INC_PV_4 = 2");
    dialog.Expect("Export has failed.", ButtonOk);
    ExportRESFile(number, 0);
    EXPECT_EQ(dialog.Shown().at(0).Text, "There was a problem creating the following Resource file: " + dir.Path() +
                                             "nowhere/deeper/APP.RES. The export has been aborted.");
    EXPECT_EQ(StoreValue("SELECT ExportDate FROM RESFile"), "20261224");
}

TEST_F(Export, ANameThatWouldLeaveTheTargetDirectoryIsRefused) {
    int32_t number = MakeProject("../X", out);
    dialog.Expect("Export has failed.", ButtonOk);
    ExportRESFile(number, 0);
    EXPECT_FALSE(test::FileExists(dir.Path() + "X.RES"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}), 0);
}

TEST_F(Export, AFailedExportLeavesThePreviousFilesAsTheyWere) {
    int32_t number = MakeProject("BIG", out);
    dialog.Expect("Resource File Exported", ButtonOk);
    ExportRESFile(number, 0);
    std::string res = test::ReadFileBytes(out + "BIG.RES");
    std::string prj = test::ReadFileBytes(out + "BIG_RES.PRJ");

    // Enough long extra items to overflow the 16-bit lengths.
    for (int i = 0; i < 130; ++i) AddExtraItem(number, "Item" + std::to_string(i), std::string(250, 'v'));
    dialog.Expect("Export has failed.", ButtonOk);
    ExportRESFile(number, 0);
    EXPECT_TRUE(test::ReadFileBytes(out + "BIG.RES") == res);
    EXPECT_TRUE(test::ReadFileBytes(out + "BIG_RES.PRJ") == prj);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}), 2) << "no temporary file is left";
}

// A full disk: the numbers are stored (a later build writes the file), the old file
// stays, and the build hears why in one line; a user gets the export's failure message.
TEST_F(Export, AFullDiskKeepsTheOldFileAndTheBuildHearsWhy) {
    int32_t number = MakeProject("FULL", out, ", INC_FV_4 = 1");
    ExportRESFile(number, 1);
    const std::string res = test::ReadFileBytes(out + "FULL.RES");
    {
        test::RecordingDisk disk;
        disk.Fail("write", ENOSPC);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(ExportRESFile(number, 1));
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "VERDO: project " + std::to_string(number) + ": " + out + "FULL.RES could not be written: " +
                      std::strerror(ENOSPC) + "\n");
        dialog.Expect("Export has failed.", ButtonOk);
        EXPECT_FALSE(ExportRESFile(number, 0));
    }
    EXPECT_EQ(Versions(number), "1.2.3.6 5.6.7.8");
    EXPECT_TRUE(test::ReadFileBytes(out + "FULL.RES") == res);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}), 1) << "no temporary file is left";
}

TEST_F(Export, ExactlyTheProjectsOwnExtraItemsFollowInKeyOrder) {
    int32_t other = MakeProject("OTHER", out);
    int32_t number = MakeProject("MINE", out + "/");
    // The projects just below and just above in the key both have items of their own.
    int32_t later = MakeProject("LATER", out);
    AddExtraItem(later, "Later", "y");
    AddExtraItem(number, "First", "1");
    AddExtraItem(other, "Foreign", "x");
    AddExtraItem(number, "Second", "2");
    AddExtraItem(number, "Empty", "");
    AddExtraItem(number, "Third", "3");
    // The shared buffer holds a row of another project while the export runs.
    ClearRecord(ExtraSegTable(), &SEG);
    SEG.RESNumber = other;
    AssignField(SEG.SegName, "Foreign");

    ExportRESFile(number, 1);
    std::string res = test::ReadFileBytes(out + "MINE.RES");
    size_t first = res.find(Wide("First")), second = res.find(Wide("Second")), third = res.find(Wide("Third"));
    EXPECT_NE(first, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_EQ(res.find(Wide("Foreign")), std::string::npos);
    EXPECT_EQ(res.find(Wide("Later")), std::string::npos);
    EXPECT_EQ(res.find(Wide("Empty")), std::string::npos) << "an item without a value has no entry";
    EXPECT_EQ(FieldText(SEG.SegName), "Foreign") << "the shared item buffer is as it was";
}

TEST_F(Export, TextsWithHighBytesReachFileNamesAsUtf8) {
    int32_t number = MakeProject("M\xDCLLER", out);
    ExportRESFile(number, 1);
    EXPECT_TRUE(test::FileExists(out + "M\xC3\x9CLLER.RES"));
}

// Each way the store can refuse a build-time run: the .RES file stays as it was, the
// store keeps its numbers, and one line on standard error names the project and the
// store's own words.
TEST_F(Export, ABuildTimeRunTheStoreRefusesLeavesTheResourceFileAndSaysSoInOneLine) {
    int32_t number = MakeProject("APP2", out, ", INC_FV_4 = 1");
    ExportRESFile(number, 1);
    const std::string res = test::ReadFileBytes(out + "APP2.RES");
    ASSERT_NE(res.find(Wide("1.2.3.5")), std::string::npos);
    const std::string line = "VERDO: project " + std::to_string(number) + " was not exported: ";

    auto refused = [&](const std::string& reason, const std::function<void()>& run) {
        SCOPED_TRACE(reason);
        testing::internal::CaptureStderr();
        run();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), line + reason + "\n");
        EXPECT_TRUE(test::ReadFileBytes(out + "APP2.RES") == res);
        EXPECT_EQ(FilesIn(out), 1u);
        EXPECT_EQ(Versions(number), "1.2.3.5 5.6.7.8");
    };
    Access_RESFile->LOCKRECOVER = 1;

    refused("Access Denied (5)", [&] {
        // Write-locked for longer than the lock-recovery wait: the table opens read only.
        OtherConnection other(dir.File("VERDO"));
        ASSERT_TRUE(other.Exec("BEGIN IMMEDIATE"));
        dialog.Expect("Access Denied", ButtonOk);
        ExportRESFile(number, 1);
    });
    EXPECT_EQ(Access_RESFile->OPENMODE, 0x40);
    Access_RESFile->OPENMODE = 0x42;

    refused("Access Denied (5)", [&] {
        // Open for writing, but the transaction cannot start.
        Access_RESFile->Open();
        ASSERT_EQ(Access_RESFile->UseFile(), LevelNone);
        OtherConnection other(dir.File("VERDO"));
        ASSERT_TRUE(other.Exec("BEGIN IMMEDIATE"));
        ExportRESFile(number, 1);
        Access_RESFile->Close();
    });

    StoreSql("CREATE TRIGGER Refuse BEFORE UPDATE ON RESFile BEGIN SELECT RAISE(ABORT, 'not now'); END");
    refused("not now (1811)", [&] { ExportRESFile(number, 1); });
}

TEST_F(Export, AStoreErrorAmongTheExtraItemsFailsTheExport) {
    int32_t number = MakeProject("MANY", out);
    // Enough items for several pages of the table; the last of them is then spoilt.
    for (int i = 0; i < 40; ++i) AddExtraItem(number, "Item" + std::to_string(i), std::string(200, 'v'));
    ExportRESFile(number, 1);
    const std::string res = test::ReadFileBytes(out + "MANY.RES");
    ASSERT_NE(res.find(Wide("Item39")), std::string::npos);

    test::SpoilLastPageOf(dir.File("VERDO"), "ExtraSeg");

    // A build hears of it in its one line, with no message of the store's.
    testing::internal::CaptureStderr();
    ExportRESFile(number, 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("its extra strings could not be read"), std::string::npos);
    EXPECT_TRUE(test::ReadFileBytes(out + "MANY.RES") == res);

    dialog.Expect("Record Retrieval Error", ButtonOk);
    dialog.Expect("Export has failed.", ButtonOk);
    ExportRESFile(number, 0);
    EXPECT_TRUE(test::ReadFileBytes(out + "MANY.RES") == res);
    EXPECT_FALSE(test::FileExists(out + "MANY_RES.PRJ"));
}

TEST_F(Export, DateAndTimeComeFromOneReadingOfTheClock) {
    // The first reading is the last hundredth of a year; any later one is in the next.
    class MidnightClock : public Clock {
    public:
        ClockReading Read() const override {
            const Date last{31, 12, 2026}, next{1, 1, 2027};
            const Time late{23, 59, 59, 99};
            return readings_++ == 0 ? ClockReading{last, late, last, late} : ClockReading{next, Time{}, next, Time{}};
        }

    private:
        mutable int readings_ = 0;
    } midnight;
    int32_t number = MakeProject("APP", out);
    SetClock(&midnight);
    ExportRESFile(number, 1);
    SetClock(&clock);
    EXPECT_EQ(StoreValue("SELECT ExportDate || ' ' || ExportTime FROM RESFile"), "20261231 23595999");
}

TEST_F(Export, NamesAndPathsThatWouldPutTheFileElsewhereAreRefused) {
    int32_t number = MakeProject("APP", out);
    auto refusedByAUser = [&](const std::string& assignment) {
        SCOPED_TRACE(assignment);
        StoreSql("UPDATE RESFile SET " + assignment);
        dialog.Expect("Export has failed.", ButtonOk);
        ExportRESFile(number, 0);
        EXPECT_EQ(FilesIn(out), 0u);
        EXPECT_FALSE(test::FileExists(dir.File("APP.RES")));
    };
    refusedByAUser("ProjectName = CAST(x'41500050' AS TEXT)");
    refusedByAUser("ProjectName = 'APP', ProjectPath = '" + out + "sub' || CAST(x'00' AS TEXT) || '/x'");
    // ".." spelt with overlong forms is no way out of the directory.
    refusedByAUser("ProjectPath = '" + out + "' || CAST(x'C0AEC0AE' AS TEXT)");

    StoreSql("UPDATE RESFile SET ProjectPath = '" + out + "', ProjectName = CAST(x'41500050' AS TEXT)");
    testing::internal::CaptureStderr();
    ExportRESFile(number, 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "VERDO: project " + std::to_string(number) +
                  " was not exported: its name or path holds a character no file name can have\n");
    EXPECT_EQ(FilesIn(out), 0u);
}

TEST_F(Export, TheBuildTimeRunKeepsWhatItDoesNotChange) {
    int32_t number = MakeProject("APP", out, ", INC_FV_4 = 1");
    // Written by another program: beyond U+00FF, and longer than the name's 8 characters.
    const std::string wide = "Caf\xC3\xA9 \xE2\x82\xAC \xC4\x80";
    StoreSql("UPDATE RESFile SET ProjectName = 'APPLICATION', Comments = '" + wide + "', Notes = '" + wide +
             "', ProjectPath = '" + out + "' || '\xC4\x80/..'");
    const std::string columns = "SELECT hex(ProjectName) || hex(Comments) || hex(Notes) || hex(ProjectPath) FROM RESFile";
    const std::string before = StoreValue(columns);
    ExportRESFile(number, 1);
    EXPECT_EQ(StoreValue(columns), before);
    EXPECT_EQ(Versions(number), "1.2.3.5 5.6.7.8");
    EXPECT_EQ(StoreValue("SELECT ExportDate FROM RESFile"), "20261224");
}
