#pragma once
#include <string>

namespace verdo::test {

// A throwaway PostgreSQL server: a cluster made with initdb in a folder of its own,
// trusting every local user, listening on a socket in that folder and on no network
// port, with a database "verdo_test" owned by the user postgres. The server runs as the
// user postgres when the caller is root. Both give an empty text on success, else what
// went wrong; starting stops and replaces a server left in the folder before.
std::string StartTestServer(const std::string& folder);
std::string StopTestServer(const std::string& folder);

// Whether a server answers on the folder's socket.
bool TestServerAnswers(const std::string& folder);

// The connection string for a database on the server in the folder.
std::string ClusterConnection(const std::string& folder, const std::string& database = "verdo_test");

}  // namespace verdo::test
