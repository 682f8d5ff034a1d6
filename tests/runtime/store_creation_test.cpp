#include <dlfcn.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/Dictionary.h"
#include "runtime/RuntimeError.h"
#include "runtime/bytes/AtomicFile.h"
#include "runtime/store/SqliteStore.h"
#include "tests/support/TempProgramDir.h"

using namespace verdo;
using verdo::test::ReadFileBytes;
using verdo::test::TempProgramDir;

namespace {

// While set, this test program behaves like a FAT file system: no hard links, and no
// rename that refuses to replace. The functions below take the place of the C
// library's for the whole program.
std::atomic<bool> fatFileSystem{false};

template <class Function>
Function Real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

class LikeFat {
public:
    LikeFat() { fatFileSystem = true; }
    ~LikeFat() { fatFileSystem = false; }
    LikeFat(const LikeFat&) = delete;
    LikeFat& operator=(const LikeFat&) = delete;
};

std::string Value(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    std::string value = "(failed)";
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW)
        value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    return value;
}

// Sound, in write-ahead-log mode, with the tables and the standard rows.
::testing::AssertionResult IsCompleteStore(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    std::string check = Value(db, "PRAGMA integrity_check");
    std::string mode = Value(db, "PRAGMA journal_mode");
    std::string languages = Value(db, "SELECT count(*) > 0 FROM LangID");
    std::string projects = Value(db, "SELECT count(*) FROM RESFile");
    sqlite3_close(db);
    if (check == "ok" && mode == "wal" && languages == "1" && projects != "(failed)")
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << path << ": " << check << ", " << mode << ", " << languages << ", "
                                         << projects;
}

}  // namespace

extern "C" int link(const char* from, const char* to) noexcept {
    if (fatFileSystem) {
        errno = EPERM;
        return -1;
    }
    return Real<int (*)(const char*, const char*)>("link")(from, to);
}

extern "C" int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) noexcept {
    if (fatFileSystem) {
        errno = EPERM;
        return -1;
    }
    return Real<int (*)(int, const char*, int, const char*, int)>("linkat")(fromDir, from, toDir, to, flags);
}

extern "C" int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags) noexcept {
    if (fatFileSystem && flags != 0) {
        errno = EINVAL;
        return -1;
    }
    return Real<int (*)(int, const char*, int, const char*, unsigned int)>("renameat2")(fromDir, from, toDir, to,
                                                                                     flags);
}

// The program's own tables and standard rows.
class StoreCreation : public ::testing::Test {
protected:
    void SetUp() override { RegisterStoreTables(); }
    TempProgramDir dir;
};

TEST_F(StoreCreation, WorksWithoutHardLinksAndKeepsAStoreThatIsThere) {
    const std::string path = dir.File("VERDO");
    LikeFat fat;
    ASSERT_EQ(SqliteStore::CreateFile(path), NoError) << LastError().FileText;
    ASSERT_TRUE(IsCompleteStore(path));

    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "INSERT INTO RESFile (RESNumber, ProjectName) VALUES (1, 'KEPT')", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(SqliteStore::CreateFile(path), NoError) << "made by another process meanwhile";
    sqlite3_open(path.c_str(), &db);
    EXPECT_EQ(Value(db, "SELECT ProjectName FROM RESFile"), "KEPT");
    sqlite3_close(db);

    ASSERT_TRUE(WriteFileAtomically(dir.File("VERDO.INI"), "old"));
    ASSERT_TRUE(WriteFileAtomically(dir.File("VERDO.INI"), "new"));
    EXPECT_EQ(ReadFileBytes(dir.File("VERDO.INI")), "new");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) ++entries;
    EXPECT_EQ(entries, 2u) << "nothing beside the store and the settings";
}

TEST_F(StoreCreation, KilledCreatorsLeaveOnlyCompleteStores) {
    // Kills fall anywhere within a few creations, however fast this build makes them.
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(SqliteStore::CreateFile(dir.File("VERDO")), NoError);
    auto creation = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    std::mt19937 random(7);
    for (int round = 0; round < 15; ++round) {
        pid_t creator = fork();
        if (creator == 0) {
            for (int i = 0;; ++i)
                SqliteStore::CreateFile(dir.File("VERDO" + std::to_string(round) + "_" + std::to_string(i)));
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % (3 * creation.count() + 1)));
        kill(creator, SIGKILL);
        waitpid(creator, nullptr, 0);
    }
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    for (const std::string& name : names) {
        EXPECT_EQ(name.find_first_of(".-"), std::string::npos) << name << " is no store's name";
        EXPECT_TRUE(IsCompleteStore(dir.File(name)));
    }
}
