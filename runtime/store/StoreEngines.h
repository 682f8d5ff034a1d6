#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "runtime/store/StoreEngine.h"

namespace verdo {

// A store is named either by the path of its file or, for a database on a server, by
// this prefix and the server's connection string. Paths of the program's stores are
// absolute, so no path begins with the prefix.
inline constexpr std::string_view ServerStorePrefix = "postgresql:";

bool IsServerStore(std::string_view store);
std::string ServerStoreName(std::string_view connection);
// The connection string of a server store's name.
std::string ServerConnection(std::string_view store);

// The open store of that name, shared by every table of it that is open in the process;
// opened when none is. A store asked for writing while the open one only reads is opened
// anew. A store file that does not exist fails with 2; a server that cannot be reached or
// refuses the connection with 5, its own words as the file system's text.
std::shared_ptr<StoreEngine> AcquireStore(const std::string& store, bool write, int& error);

// Creates a table in its store: a missing store file is made whole, with every table of
// the catalog; so is an empty database on a server.
int CreateStoreTable(const std::string& store, const TableDef& table);

}  // namespace verdo
