#include "tests/support/ProgramFixture.h"

#include <sqlite3.h>

#include "core/Dictionary.h"
#include "core/ProgramNames.h"
#include "core/Records.h"
#include "framework/FileManager.h"
#include "framework/MessageManager.h"
#include "runtime/text/Text.h"

namespace verdo::test {

void ProgramFixture::SetUp() {
    ComposeNames(dir.Path() + "verdo", "");
    MessageManager& messages = GlobalMessages();
    messages.Initialise();
    messages.SetDialog(&dialog);
    messages.SetHaltHandler([this] { ++halts; });
    DictionaryStartup(messages);
}

void ProgramFixture::TearDown() {
    DictionaryShutdown();
    MessageManager& messages = GlobalMessages();
    messages.SetDialog(nullptr);
    messages.SetHaltHandler(nullptr);
    messages.Shutdown();
}

int32_t ProgramFixture::AddProject(const std::string& name, const std::string& path) {
    FileManager& res = *Access_RESFile;
    res.Open();
    EXPECT_EQ(res.PrimeRecord(), LevelNone);
    AssignField(RES.ProjectName, name);
    AssignField(RES.ProjectPath, path);
    EXPECT_EQ(res.Insert(), LevelNone);
    int32_t number = RES.RESNumber;
    res.Close();
    return number;
}

void ProgramFixture::AddExtraItem(int32_t project, const std::string& name, const std::string& data) {
    FileManager& seg = *Access_ExtraSeg;
    seg.Open();
    ClearRecord(ExtraSegTable(), &SEG);
    SEG.RESNumber = project;
    AssignField(SEG.SegName, name);
    AssignField(SEG.SegData, data);
    EXPECT_EQ(seg.Insert(), LevelNone);
    seg.Close();
}

void ProgramFixture::StoreSql(const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(dir.File("VERDO").c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "") << "\n" << sql;
    sqlite3_free(error);
    sqlite3_close(db);
}

std::string ProgramFixture::StoreValue(const std::string& sql) {
    sqlite3* db = nullptr;
    std::string value;
    if (sqlite3_open(dir.File("VERDO").c_str(), &db) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0))
            value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return value;
}

}  // namespace verdo::test
