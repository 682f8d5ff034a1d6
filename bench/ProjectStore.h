#pragma once
// The store the build-time benchmarks run over: 10,000 projects with 5 extra items each,
// written into a store file that a first run of the program has made.
#include <sqlite3.h>

#include <cstdio>
#include <string>

namespace verdo::bench {

inline bool Exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK) return true;
    std::fprintf(stderr, "%s\n", error ? error : "sqlite error");
    sqlite3_free(error);
    return false;
}

// Projects 1 to 10,000 ("APP1" ...), each exporting into `out`, with a file-version
// build step of 1 and five extra items.
inline bool FillProjects(const std::string& store, const std::string& out) {
    sqlite3* db = nullptr;
    if (sqlite3_open(store.c_str(), &db) != SQLITE_OK) return false;
    bool filled = Exec(db, "BEGIN");
    sqlite3_stmt* project = nullptr;
    sqlite3_stmt* item = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO RESFile (RESNumber, ProjectName, Description, ProjectPath, FV_1, FV_4, INC_FV_4, "
                       "CompanyName, FileDescription, ProductName, LegalCopyright, LangID, CodePage, FileOS, "
                       "FileType, EnterDate) VALUES (?, ?, 'A project of the benchmark', ?, 1, 0, 1, 'Bench Ltd', "
                       "'Benchmark application', 'Bench', '(c) 2026 Bench Ltd', '0409', '04b0', x'04000400', x'01', "
                       "20261209)",
                       -1, &project, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO ExtraSeg (RESNumber, SegName, SegData) VALUES (?, ?, ?)", -1, &item, nullptr);
    for (int n = 1; filled && n <= 10000; ++n) {
        std::string name = "APP" + std::to_string(n);
        sqlite3_bind_int(project, 1, n);
        sqlite3_bind_text(project, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(project, 3, out.c_str(), -1, SQLITE_TRANSIENT);
        filled = sqlite3_step(project) == SQLITE_DONE;
        sqlite3_reset(project);
        for (int i = 1; filled && i <= 5; ++i) {
            std::string key = "Extra" + std::to_string(i), value = "Value " + std::to_string(n * 10 + i);
            sqlite3_bind_int(item, 1, n);
            sqlite3_bind_text(item, 2, key.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(item, 3, value.c_str(), -1, SQLITE_TRANSIENT);
            filled = sqlite3_step(item) == SQLITE_DONE;
            sqlite3_reset(item);
        }
    }
    sqlite3_finalize(project);
    sqlite3_finalize(item);
    filled = Exec(db, filled ? "COMMIT" : "ROLLBACK") && filled;
    sqlite3_close(db);
    return filled;
}

}  // namespace verdo::bench
