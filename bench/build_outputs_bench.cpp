// Prints the median wall time of the build step as the CMake module runs it,
// `verdo-store build N FILE`, with and without `--write h:FILE` (the header beside the
// .RES, written anew at every build since its numbers change), and the difference.
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

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(5, std::atoi(argv[1])) : 41;
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("verdo-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::string program = (dir / "verdo").string();
    std::string tool = (dir / "verdo-store").string();
    fs::copy_file(VERDO_BINARY, program);
    fs::copy_file(VERDO_STORE_BINARY, tool);
    if (RunOnce(program, "1") < 0) return 1;
    sqlite3* db = nullptr;
    if (sqlite3_open((dir / "VERDO").c_str(), &db) != SQLITE_OK) return 1;
    std::string sql = "INSERT INTO RESFile (RESNumber, ProjectName, ProjectPath, FV_1, FV_4, INC_FV_4, CompanyName, "
                      "FileDescription, ProductName, LegalCopyright, LangID, CodePage, FileOS, FileType, EnterDate) "
                      "VALUES (12, 'BENCH', '" + dir.string() + "', 1, 0, 1, 'Bench Ltd', 'Benchmark application', "
                      "'Bench', '(c) 2026 Bench Ltd', '0409', '04b0', x'04000400', x'01', 20261209);"
                      "INSERT INTO ExtraSeg (RESNumber, SegName, SegData) VALUES (12, 'Branch', 'main'), "
                      "(12, 'Ticket', 'T-42')";
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return 1;
    sqlite3_close(db);

    const std::string res = (dir / "BENCH.RES").string();
    const std::vector<std::string> plain{"build", "12", res};
    const std::vector<std::string> header{"build", "12", res, "--write", "h:" + (dir / "version.h").string()};
    RunOnce(tool, plain);
    RunOnce(tool, header);
    std::vector<double> without, with;
    for (int r = 0; r < runs; ++r) {
        without.push_back(RunOnce(tool, plain));
        with.push_back(RunOnce(tool, header));
    }
    auto failed = [](const std::vector<double>& times) {
        return std::any_of(times.begin(), times.end(), [](double t) { return t < 0; });
    };
    if (failed(without) || failed(with)) {
        std::fprintf(stderr, "a build step failed\n");
        return 1;
    }
    double a = Median(without), b = Median(with);
    std::printf("%d runs each, alternating\n", runs);
    std::printf("verdo-store build N FILE:                median %.2f ms\n", a);
    std::printf("verdo-store build N FILE --write h:FILE: median %.2f ms\n", b);
    std::printf("the header costs:                        %.2f ms\n", b - a);
    fs::remove_all(dir);
    return 0;
}
