#include "tests/support/TestServer.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <memory>

namespace verdo::test {

namespace {

// A server started for this process alone goes when the process ends.
class OwnServer {
public:
    explicit OwnServer(std::string folder) : folder_(std::move(folder)) {}
    ~OwnServer() {
        // A forked child that returns through here must not stop its parent's server.
        if (getpid() == owner_) StopTestServer(folder_);
    }
    OwnServer(const OwnServer&) = delete;
    OwnServer& operator=(const OwnServer&) = delete;

private:
    std::string folder_;
    pid_t owner_ = getpid();
};

std::string Started() {
    const std::string shared = VERDO_TEST_SERVER_DIR;
    if (TestServerAnswers(shared)) return shared;
    std::string folder = "/tmp/verdo-pg-XXXXXX";
    if (!mkdtemp(folder.data())) return {};
    std::string problem = StartTestServer(folder);
    if (!problem.empty()) {
        ADD_FAILURE() << "no PostgreSQL server for the tests: " << problem;
        return {};
    }
    static OwnServer own(folder);
    return folder;
}

bool Exec(PGconn* connection, const std::string& sql) {
    std::unique_ptr<PGresult, decltype(&PQclear)> result(PQexec(connection, sql.c_str()), &PQclear);
    if (PQresultStatus(result.get()) == PGRES_COMMAND_OK) return true;
    ADD_FAILURE() << sql << ": " << PQerrorMessage(connection);
    return false;
}

void OnServer(const std::string& sql) {
    std::unique_ptr<PGconn, decltype(&PQfinish)> connection(PQconnectdb(TestServerConnection().c_str()), &PQfinish);
    PQsetNoticeProcessor(connection.get(), [](void*, const char*) {}, nullptr);
    if (PQstatus(connection.get()) != CONNECTION_OK) {
        ADD_FAILURE() << "the test server cannot be reached: " << PQerrorMessage(connection.get());
        return;
    }
    Exec(connection.get(), sql);
}

}  // namespace

const std::string& TestServerFolder() {
    static const std::string folder = Started();
    return folder;
}

std::string TestServerConnection(const std::string& options) {
    std::string connection = ClusterConnection(TestServerFolder());
    return options.empty() ? connection : connection + " options='" + options + "'";
}

ServerSchema::ServerSchema() {
    static std::atomic<int> counter{0};
    name_ = "test_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
    OnServer("CREATE SCHEMA " + name_);
    connection_ = TestServerConnection("-c search_path=" + name_);
}

ServerSchema::~ServerSchema() { OnServer("DROP SCHEMA IF EXISTS " + name_ + " CASCADE"); }

}  // namespace verdo::test
