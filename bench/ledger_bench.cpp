// What the build ledger costs, as medians of whole runs (process start to exit),
// measured in turn so that every figure sees the same machine:
//   - the build-time run over 10,000 projects with an empty ledger and with 1,000,000 rows;
//   - outside any git repository, and with the commit given (no repository looked for);
//   - inside a git repository of 10,000 tracked files, without and with the check for
//     changes, beside `git rev-parse HEAD` and `git status --porcelain` there;
//   - verdo-store log and which over the 1,000,000 rows.
// An older verdo named by VERDO_BEFORE (a program from before the ledger) runs over a
// store of its own with the same projects, for the figure of a run without a ledger.
//   ledger_bench [RUNS]
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/ProjectStore.h"

namespace {

namespace fs = std::filesystem;
using verdo::bench::Median;
using verdo::bench::RunOnce;

// This process's environment without anything that names a commit, a job or the check
// for changes, with `extra` added.
class Environment {
public:
    explicit Environment(const std::vector<std::string>& extra = {}) {
        static const char* const dropped[] = {"VERDO_COMMIT=", "VERDO_BUILD_URL=", "VERDO_DIRTY_CHECK=", "GITHUB_",
                                              "CI_", "GIT_COMMIT=", "BUILD_", "JENKINS_URL=", "TEAMCITY_", "VERDO_STORE="};
        for (char** e = environ; *e; ++e) {
            std::string text = *e;
            if (std::none_of(std::begin(dropped), std::end(dropped), [&](const char* p) { return text.rfind(p, 0) == 0; }))
                texts_.push_back(text);
        }
        texts_.insert(texts_.end(), extra.begin(), extra.end());
        for (std::string& t : texts_) pointers_.push_back(t.data());
        pointers_.push_back(nullptr);
    }
    char** Get() { return pointers_.data(); }

private:
    std::vector<std::string> texts_;
    std::vector<char*> pointers_;
};

// A program folder with the program, verdo-store and a store of the 10,000 projects.
bool MakeProgramFolder(const fs::path& folder, const std::string& program) {
    fs::create_directories(folder / "out");
    fs::copy_file(program, folder / "verdo");
    fs::copy_file(VERDO_STORE_BINARY, folder / "verdo-store");
    if (RunOnce((folder / "verdo").string(), "1") < 0) return false;  // makes the store
    return verdo::bench::FillProjects((folder / "VERDO").string(), (folder / "out").string());
}

// 1,000,000 builds spread over the projects, 100 each, every one with its own file
// version, hash and commit.
bool FillLedger(const fs::path& store) {
    sqlite3* db = nullptr;
    if (sqlite3_open(store.c_str(), &db) != SQLITE_OK) return false;
    bool filled = verdo::bench::Exec(
        db,
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 999999) "
        "INSERT INTO RESBuild (RESNumber, ProjectName, Kind, FV_1, FV_2, FV_3, FV_4, PV_1, PV_2, PV_3, PV_4, "
        "DateUtc, TimeUtc, DateLocal, TimeLocal, FileName, HostName, UserName, Sha256, CommitId, Dirty, JobUrl) "
        "SELECT i % 10000 + 1, 'APP' || (i % 10000 + 1), 'build', 1, 0, i / 65536, i % 65536, 1, 0, 0, 0, "
        "20250101 + i / 100000 * 100, 9000000, 20250101 + i / 100000 * 100, 10000000, '/work/out/APP.RES', "
        "'agent-' || (i % 16), 'ci', lower(hex(randomblob(32))), lower(hex(randomblob(20))), 0, "
        "'https://ci.example/job/' || i FROM n");
    sqlite3_close(db);
    return filled;
}

// A repository of 10,000 tracked files in 100 folders, committed.
bool MakeRepository(const fs::path& repo) {
    for (int d = 0; d < 100; ++d) {
        fs::create_directories(repo / ("src" + std::to_string(d)));
        for (int f = 0; f < 100; ++f)
            std::ofstream(repo / ("src" + std::to_string(d)) / ("file" + std::to_string(f) + ".c"))
                << "int f" << d << "_" << f << ";\n";
    }
    std::string git = "git -C '" + repo.string() + "' ";
    return std::system((git + "init -q && " + git + "add -A && " + git +
                        "-c user.name=bench -c user.email=bench@example.invalid commit -qm files")
                           .c_str()) == 0;
}

using Words = std::vector<std::string>;

struct Measure {
    const char* Name;
    std::function<double()> Run;
    std::vector<double> Times;
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(5, std::atoi(argv[1])) : 41;
    const fs::path dir = fs::temp_directory_path() / ("verdo-ledger-bench-" + std::to_string(getpid()));
    const fs::path empty = dir / "empty", full = dir / "full", before = dir / "before", repo = dir / "repo";
    fs::create_directories(dir);
    std::fprintf(stderr, "making the stores and the repository...\n");
    if (!MakeProgramFolder(empty, VERDO_BINARY) || !MakeProgramFolder(full, VERDO_BINARY) || !FillLedger(full / "VERDO") ||
        !MakeRepository(repo)) {
        std::fprintf(stderr, "could not set up the benchmark\n");
        return 1;
    }
    const char* old = std::getenv("VERDO_BEFORE");
    if (old && !MakeProgramFolder(before, old)) return 1;

    Environment plain, given({"VERDO_COMMIT=4f2a9c1e7b5a7d3e0b9c1f4a6e82d0b5c3a1f0e9"}), noCheck({"VERDO_DIRTY_CHECK=0"});
    int turn = 0;
    auto project = [&] { return std::to_string(1 + (++turn * 7919) % 10000); };
    // Runs the program of a folder from a working folder.
    auto build = [&](const fs::path& folder, const fs::path& from, Environment& env) {
        fs::current_path(from);
        return RunOnce((folder / "verdo").string(), project(), env.Get());
    };
    std::vector<Measure> measures = {
        {"build-time run, empty ledger, outside git", [&] { return build(empty, dir, plain); }, {}},
        {"build-time run, 1,000,000 ledger rows, outside git", [&] { return build(full, dir, plain); }, {}},
        {"build-time run, commit given (VERDO_COMMIT)", [&] { return build(empty, dir, given); }, {}},
        {"build-time run, in a 10,000-file repository, no check for changes",
         [&] { return build(empty, repo, noCheck); }, {}},
        {"build-time run, in a 10,000-file repository, with the check", [&] { return build(empty, repo, plain); }, {}},
        {"git rev-parse HEAD there",
         [&] { fs::current_path(repo); return RunOnce("/usr/bin/git", Words{"rev-parse", "HEAD"}, plain.Get()); }, {}},
        {"git status --porcelain there",
         [&] { fs::current_path(repo); return RunOnce("/usr/bin/git", Words{"status", "--porcelain"}, plain.Get()); }, {}},
        {"verdo-store log N (100 rows of 1,000,000)",
         [&] { fs::current_path(dir); return RunOnce((full / "verdo-store").string(), Words{"log", project()}, plain.Get()); },
         {}},
        {"verdo-store which V (1 row of 1,000,000)",
         [&] {
             fs::current_path(dir);
             const int i = (turn++ * 104729) % 1000000;
             const std::string version = "1.0." + std::to_string(i / 65536) + "." + std::to_string(i % 65536);
             return RunOnce((full / "verdo-store").string(), Words{"which", version}, plain.Get());
         },
         {}},
    };
    if (old) measures.push_back({"build-time run of VERDO_BEFORE, outside git", [&] { return build(before, dir, plain); }, {}});

    // verdo-store's output goes to /dev/null.
    std::fflush(stdout);
    const int saved = dup(1);
    if (FILE* null = std::freopen("/dev/null", "w", stdout); !null) return 1;
    for (Measure& m : measures) m.Run();  // warm up
    bool failed = false;
    for (int r = 0; r < runs; ++r)
        for (Measure& m : measures) {
            double t = m.Run();
            failed = failed || t < 0;
            m.Times.push_back(t);
        }
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(dir);
    if (failed) {
        std::fprintf(stderr, "a run failed\n");
        return 1;
    }
    std::printf("%d runs each, medians\n", runs);
    const double base = Median(measures[0].Times);
    for (const Measure& m : measures) {
        const double median = Median(m.Times);
        std::printf("%-72s %7.2f ms  (%.2f x the first)\n", m.Name, median, median / base);
    }
    return 0;
}
