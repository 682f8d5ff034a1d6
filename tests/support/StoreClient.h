#pragma once
#include <memory>
#include <string>

namespace verdo::test {

// Another program's connection to a store, named as the store layer names it (a file's
// path, or "postgresql:" and a connection string), for tests that change or inspect the
// store from outside. SQL that both engines understand works on either.
class StoreClient {
public:
    explicit StoreClient(const std::string& store);
    ~StoreClient();
    StoreClient(const StoreClient&) = delete;
    StoreClient& operator=(const StoreClient&) = delete;

    // Runs the statements; a failure fails the running test unless `mayFail`.
    bool Exec(const std::string& sql, bool mayFail = false);
    // The first column of the first row; empty when there is none or the query fails.
    std::string Value(const std::string& sql);

    bool OnServer() const { return server_; }

private:
    struct Connection;
    bool server_;
    std::unique_ptr<Connection> connection_;
};

// One statement or value through a connection of its own.
void StoreSql(const std::string& store, const std::string& sql);
std::string StoreValue(const std::string& store, const std::string& sql);

// Spoils the last leaf page of a table in a store file, so that reading the table fails
// part-way with the store's own "malformed" error. The table must span several pages.
void SpoilLastPageOf(const std::string& storeFile, const std::string& table);

// Raw bytes written in hexadecimal as an SQL literal of the store's engine.
std::string BytesLiteral(const std::string& store, const std::string& hex);
// An SQL expression giving a bytes column in upper-case hexadecimal.
std::string HexOf(const std::string& store, const std::string& column);

}  // namespace verdo::test
