// The build-time run against a store on a local PostgreSQL server, beside /bin/true and
// beside the same run against a store file: the median wall time of a whole run (process
// start to exit) over 10,000 projects with 5 extra items each, measured alternately in
// the same run; then the throughput of 8 build-time runs at a time on one project, on
// either store. The server is a throwaway one of the benchmark's own.
#include <libpq-fe.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "tests/support/ServerCluster.h"

namespace {

using verdo::bench::Median;
using verdo::bench::RunOnce;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The environment of this process with the store named in it.
struct Environment {
    explicit Environment(const std::string& store) {
        for (char** e = environ; *e; ++e)
            if (std::string(*e).rfind("VERDO_STORE=", 0) != 0) texts.push_back(*e);
        if (!store.empty()) texts.push_back("VERDO_STORE=" + store);
        for (std::string& t : texts) pointers.push_back(t.data());
        pointers.push_back(nullptr);
    }
    char** Get() { return pointers.data(); }
    std::vector<std::string> texts;
    std::vector<char*> pointers;
};

// A store of 10,000 projects with 5 extra items each, written through SQL that both
// engines take: sqlite3 for the file, psql for the server.
std::string FillSql(const std::string& out, bool server) {
    std::string bytesOs = server ? "'\\x04000400'::bytea" : "x'04000400'";
    std::string bytesType = server ? "'\\x01'::bytea" : "x'01'";
    std::string sql = "BEGIN;\n";
    for (int n = 1; n <= 10000; ++n) {
        sql += "INSERT INTO RESFile (RESNumber, ProjectName, Description, ProjectPath, FV_1, FV_4, INC_FV_4, "
               "CompanyName, FileDescription, ProductName, LegalCopyright, LangID, CodePage, FileOS, FileType, "
               "EnterDate) VALUES (" + std::to_string(n) + ", 'APP" + std::to_string(n) +
               "', 'A project of the benchmark', '" + out + "', 1, 0, 1, 'Bench Ltd', 'Benchmark application', "
               "'Bench', '(c) 2026 Bench Ltd', '0409', '04b0', " + bytesOs + ", " + bytesType + ", 20261209);\n";
        sql += "INSERT INTO ExtraSeg (RESNumber, SegName, SegData) VALUES ";
        for (int i = 1; i <= 5; ++i)
            sql += std::string(i > 1 ? ", " : "") + "(" + std::to_string(n) + ", 'Extra" + std::to_string(i) +
                   "', 'Value " + std::to_string(n * 10 + i) + "')";
        sql += ";\n";
    }
    return sql + "COMMIT;\n";
}

bool Fill(const fs::path& dir, const std::string& server) {
    fs::path script = dir / "fill.sql";
    FILE* file = std::fopen(script.c_str(), "w");
    if (!file) return false;
    std::string sql = FillSql((dir / "out").string(), !server.empty());
    std::fwrite(sql.data(), 1, sql.size(), file);
    std::fclose(file);
    std::string command = server.empty()
                              ? "sqlite3 '" + (dir / "VERDO").string() + "' < '" + script.string() + "'"
                              : "psql -X -q -v ON_ERROR_STOP=1 '" + server + "' -f '" + script.string() + "' >/dev/null";
    return std::system(command.c_str()) == 0;
}

// Eight build-time runs at a time on one project: runs per second, and whether the
// project's number went up by exactly the number of runs.
double Throughput(const std::string& program, char** environment, int perProcess, bool& ok) {
    constexpr int processes = 8;
    auto start = Clock::now();
    std::vector<pid_t> children;
    for (int p = 0; p < processes; ++p) {
        pid_t pid = fork();
        if (pid == 0) {
            bool fine = true;
            for (int r = 0; r < perProcess; ++r) fine = RunOnce(program, "1", environment) >= 0 && fine;
            _exit(fine ? 0 : 1);
        }
        children.push_back(pid);
    }
    ok = true;
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    std::chrono::duration<double> elapsed = Clock::now() - start;
    return processes * perProcess / elapsed.count();
}

std::string ServerValue(const std::string& connection, const char* sql) {
    PGconn* c = PQconnectdb(connection.c_str());
    PGresult* r = PQexec(c, sql);
    std::string value = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) ? PQgetvalue(r, 0, 0) : "";
    PQclear(r);
    PQfinish(c);
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(5, std::atoi(argv[1])) : 41;
    const fs::path base = fs::temp_directory_path() / ("verdo-server-bench-" + std::to_string(getpid()));
    const fs::path fileDir = base / "file", serverDir = base / "server";
    const std::string cluster = (base / "cluster").string();
    for (const fs::path& dir : {fileDir, serverDir}) {
        fs::create_directories(dir / "out");
        fs::copy_file(VERDO_BINARY, dir / "verdo");
        fs::create_symlink(fs::path(VERDO_BINARY).parent_path() / "libverdo_pgstore.so", dir / "libverdo_pgstore.so");
    }
    std::string problem = verdo::test::StartTestServer(cluster);
    if (!problem.empty()) {
        std::fprintf(stderr, "no server: %s\n", problem.c_str());
        return 1;
    }
    const std::string connection = verdo::test::ClusterConnection(cluster);
    Environment onFile(""), onServer(connection);
    const std::string fileProgram = (fileDir / "verdo").string(), serverProgram = (serverDir / "verdo").string();

    int status = 0;
    // The first run makes each store; then it is filled directly.
    if (RunOnce(fileProgram, "1", onFile.Get()) < 0 || RunOnce(serverProgram, "1", onServer.Get()) < 0 ||
        !Fill(fileDir, "") || !Fill(serverDir, connection)) {
        std::fprintf(stderr, "the stores could not be made\n");
        status = 1;
    }
    if (status == 0) {
        RunOnce(fileProgram, "5000", onFile.Get());
        RunOnce(serverProgram, "5000", onServer.Get());
        RunOnce("/bin/true", "", environ);
        std::vector<double> file, server, truth;
        for (int r = 0; r < runs; ++r) {
            std::string project = std::to_string(1 + (r * 7919) % 10000);
            server.push_back(RunOnce(serverProgram, project, onServer.Get()));
            file.push_back(RunOnce(fileProgram, project, onFile.Get()));
            truth.push_back(RunOnce("/bin/true", "", environ));
        }
        auto failed = [](const std::vector<double>& v) { return std::any_of(v.begin(), v.end(), [](double t) { return t < 0; }); };
        if (failed(file) || failed(server)) {
            std::fprintf(stderr, "a build-time run failed\n");
            status = 1;
        } else {
            double s = Median(server), f = Median(file), t = Median(truth);
            std::printf("store: 10000 projects, 50000 extra items; %d runs each\n", runs);
            std::printf("build-time run on the server:  median %6.2f ms  (%.2f x /bin/true)\n", s, s / t);
            std::printf("build-time run on the file:    median %6.2f ms  (%.2f x /bin/true)\n", f, f / t);
            std::printf("/bin/true:                     median %6.2f ms\n", t);
            std::printf("server / file:                 %.2f\n", s / f);

            const int perProcess = std::max(5, runs / 2);
            std::string before = ServerValue(connection, "SELECT FV_4 FROM RESFile WHERE RESNumber = 1");
            bool serverOk = false, fileOk = false;
            double serverRate = Throughput(serverProgram, onServer.Get(), perProcess, serverOk);
            double fileRate = Throughput(fileProgram, onFile.Get(), perProcess, fileOk);
            std::string after = ServerValue(connection, "SELECT FV_4 FROM RESFile WHERE RESNumber = 1");
            bool counted = std::atoi(after.c_str()) - std::atoi(before.c_str()) == 8 * perProcess;
            std::printf("8 parallel runs on one project, %d each:\n", perProcess);
            std::printf("  on the server: %6.1f runs/s%s\n", serverRate,
                        serverOk && counted ? "" : "  (a run failed or an increment was lost)");
            std::printf("  on the file:   %6.1f runs/s%s\n", fileRate, fileOk ? "" : "  (a run failed)");
        }
    }
    verdo::test::StopTestServer(cluster);
    fs::remove_all(base);
    return status;
}
