// Prints the median wall time of a whole build-time run (process start to exit) over a
// store of 10,000 projects with 5 extra items each, beside the median of /bin/true
// measured the same way in the same run, and their ratio.
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"

namespace {

using verdo::bench::Median;
using verdo::bench::RunOnce;

bool Exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK) return true;
    std::fprintf(stderr, "%s\n", error ? error : "sqlite error");
    sqlite3_free(error);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(5, std::atoi(argv[1])) : 41;
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("verdo-bench-" + std::to_string(getpid()));
    fs::create_directories(dir / "out");
    std::string program = (dir / "verdo").string();
    fs::copy_file(VERDO_BINARY, program);

    // The first run makes the store; then it is filled directly.
    if (RunOnce(program, "1") < 0) return 1;
    sqlite3* db = nullptr;
    if (sqlite3_open((dir / "VERDO").c_str(), &db) != SQLITE_OK) return 1;
    Exec(db, "BEGIN");
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
    std::string out = (dir / "out").string();
    for (int n = 1; n <= 10000; ++n) {
        std::string name = "APP" + std::to_string(n);
        sqlite3_bind_int(project, 1, n);
        sqlite3_bind_text(project, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(project, 3, out.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(project);
        sqlite3_reset(project);
        for (int i = 1; i <= 5; ++i) {
            std::string key = "Extra" + std::to_string(i), value = "Value " + std::to_string(n * 10 + i);
            sqlite3_bind_int(item, 1, n);
            sqlite3_bind_text(item, 2, key.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(item, 3, value.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(item);
            sqlite3_reset(item);
        }
    }
    sqlite3_finalize(project);
    sqlite3_finalize(item);
    Exec(db, "COMMIT");
    sqlite3_close(db);

    // Warm both up, then alternate so that both see the same machine.
    RunOnce(program, "5000");
    RunOnce("/bin/true", "");
    std::vector<double> verdo, truth;
    for (int r = 0; r < runs; ++r) {
        verdo.push_back(RunOnce(program, std::to_string(1 + (r * 7919) % 10000)));
        truth.push_back(RunOnce("/bin/true", ""));
    }
    if (std::any_of(verdo.begin(), verdo.end(), [](double t) { return t < 0; })) {
        std::fprintf(stderr, "a build-time run failed\n");
        return 1;
    }
    double v = Median(verdo), t = Median(truth);
    std::printf("store: 10000 projects, 50000 extra items; %d runs each\n", runs);
    std::printf("build-time run (verdo N): median %.2f ms\n", v);
    std::printf("/bin/true:                median %.2f ms\n", t);
    std::printf("ratio:                    %.2f\n", v / t);
    fs::remove_all(dir);
    return 0;
}
