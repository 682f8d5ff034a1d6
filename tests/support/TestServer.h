#pragma once
#include <string>

#include "tests/support/ServerCluster.h"

namespace verdo::test {

// The server the tests use: the one this test run started (its folder is compiled in), or
// else one started for this process alone and stopped when the process ends. A test that
// needs it fails when no server can be had; it is never skipped.
const std::string& TestServerFolder();

// A connection string for the test database on that server.
std::string TestServerConnection(const std::string& options = std::string());

// A schema of its own on the test server, for one test: its connection string finds the
// store's tables there first. Dropped with everything in it at the end.
class ServerSchema {
public:
    ServerSchema();
    ~ServerSchema();
    ServerSchema(const ServerSchema&) = delete;
    ServerSchema& operator=(const ServerSchema&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Connection() const { return connection_; }

private:
    std::string name_;
    std::string connection_;
};

}  // namespace verdo::test
