// Starts or stops the PostgreSQL server that a test run shares: "start FOLDER", "stop FOLDER".
#include <cstdio>
#include <string>

#include "tests/support/ServerCluster.h"

int main(int argc, char** argv) {
    std::string command = argc == 3 ? argv[1] : "";
    if (command != "start" && command != "stop") {
        std::fprintf(stderr, "usage: test_server start|stop FOLDER\n");
        return 2;
    }
    std::string problem = command == "start" ? verdo::test::StartTestServer(argv[2]) : verdo::test::StopTestServer(argv[2]);
    if (problem.empty()) return 0;
    std::fprintf(stderr, "test_server: %s\n", problem.c_str());
    return 1;
}
