#include "tests/support/ServerCluster.h"

#include <fcntl.h>
#include <glob.h>
#include <libpq-fe.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace verdo::test {

namespace {

namespace fs = std::filesystem;

// The newest server version's programs, as Debian installs them.
std::string ServerPrograms() {
    const std::string root = "/usr/lib/postgresql/";
    glob_t found{};
    std::string best;
    if (glob((root + "*/bin/pg_ctl").c_str(), 0, nullptr, &found) == 0) {
        std::vector<std::string> places(found.gl_pathv, found.gl_pathv + found.gl_pathc);
        std::sort(places.begin(), places.end(), [&](const std::string& a, const std::string& b) {
            return std::atoi(a.c_str() + root.size()) < std::atoi(b.c_str() + root.size());
        });
        best = fs::path(places.back()).parent_path().string() + "/";
    }
    globfree(&found);
    return best;
}

// Runs a program of the server in the folder, as the user postgres when this is root;
// what it says goes to the folder's log. True when it ends with status 0.
bool RunServerProgram(const std::string& folder, std::vector<std::string> arguments) {
    if (geteuid() == 0) arguments.insert(arguments.begin(), {"/sbin/runuser", "-u", "postgres", "--"});
    pid_t pid = fork();
    if (pid == 0) {
        int log = open((folder + "/log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        int nothing = open("/dev/null", O_RDONLY);
        dup2(nothing, 0);
        dup2(log, 1);
        dup2(log, 2);
        if (chdir(folder.c_str()) != 0) _exit(126);
        std::vector<char*> argv;
        for (std::string& a : arguments) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The end of a log in the folder: the programs' own ("log") or the server's.
std::string LogOf(const std::string& folder, const char* name = "log") {
    std::string text;
    if (FILE* log = std::fopen((folder + "/" + name).c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, log)) > 0) text.append(buffer, n);
        std::fclose(log);
    }
    return text.size() > 2000 ? text.substr(text.size() - 2000) : text;
}

}  // namespace

std::string ClusterConnection(const std::string& folder, const std::string& database) {
    return "host=" + folder + " dbname=" + database + " user=postgres";
}

bool TestServerAnswers(const std::string& folder) {
    return PQping(ClusterConnection(folder, "postgres").c_str()) == PQPING_OK;
}

std::string StartTestServer(const std::string& folder) {
    std::string programs = ServerPrograms();
    if (programs.empty()) return "no PostgreSQL server is installed (/usr/lib/postgresql/*/bin/pg_ctl)";
    std::error_code ec;
    if (fs::exists(folder + "/data", ec)) StopTestServer(folder);
    fs::create_directories(folder, ec);
    if (ec) return folder + ": " + ec.message();
    fs::remove_all(folder + "/data", ec);
    fs::remove(folder + "/log", ec);
    fs::remove(folder + "/server.log", ec);
    chmod(folder.c_str(), 0755);
    if (geteuid() == 0) {
        struct passwd* server = getpwnam("postgres");
        if (!server) return "there is no user postgres to run the server as";
        if (chown(folder.c_str(), server->pw_uid, server->pw_gid) != 0) return folder + ": cannot be handed to postgres";
    }
    const std::string data = folder + "/data";
    if (!RunServerProgram(folder, {programs + "initdb", "-D", data, "-A", "trust", "-U", "postgres", "-E", "UTF8",
                                   "--no-locale", "--no-sync"}))
        return "initdb failed: " + LogOf(folder);
    // Speed over safety: the cluster is thrown away after the run.
    const std::string options = "-c listen_addresses='' -c unix_socket_directories='" + folder +
                                "' -c fsync=off -c synchronous_commit=off -c full_page_writes=off";
    if (!RunServerProgram(folder, {programs + "pg_ctl", "-D", data, "-l", folder + "/server.log", "-w", "-t", "60",
                                   "-o", options, "start"}))
        return "the server did not start: " + LogOf(folder, "server.log");
    std::unique_ptr<PGconn, decltype(&PQfinish)> connection(PQconnectdb(ClusterConnection(folder, "postgres").c_str()),
                                                            &PQfinish);
    std::unique_ptr<PGresult, decltype(&PQclear)> made(PQexec(connection.get(), "CREATE DATABASE verdo_test"),
                                                       &PQclear);
    if (PQresultStatus(made.get()) != PGRES_COMMAND_OK)
        return std::string("the test database cannot be made: ") + PQerrorMessage(connection.get());
    return {};
}

std::string StopTestServer(const std::string& folder) {
    std::string programs = ServerPrograms();
    bool stopped = programs.empty() ||
                   RunServerProgram(folder, {programs + "pg_ctl", "-D", folder + "/data", "-m", "immediate", "-w", "stop"});
    std::string problem = stopped ? std::string() : "the server did not stop: " + LogOf(folder);
    std::error_code ec;
    fs::remove_all(folder, ec);
    return problem;
}

}  // namespace verdo::test
