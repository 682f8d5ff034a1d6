#include "tests/support/StoreClient.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <fstream>

#include "runtime/store/StoreEngines.h"

namespace verdo::test {

struct StoreClient::Connection {
    sqlite3* File = nullptr;
    PGconn* Server = nullptr;
    ~Connection() {
        sqlite3_close(File);
        if (Server) PQfinish(Server);
    }
};

StoreClient::StoreClient(const std::string& store)
    : server_(IsServerStore(store)), connection_(std::make_unique<Connection>()) {
    if (server_) {
        connection_->Server = PQconnectdb(ServerConnection(store).c_str());
        PQsetNoticeProcessor(connection_->Server, [](void*, const char*) {}, nullptr);
        if (PQstatus(connection_->Server) != CONNECTION_OK)
            ADD_FAILURE() << "no connection to " << store << ": " << PQerrorMessage(connection_->Server);
    } else if (sqlite3_open(store.c_str(), &connection_->File) != SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << store;
    }
}

StoreClient::~StoreClient() = default;

bool StoreClient::Exec(const std::string& sql, bool mayFail) {
    std::string error;
    if (server_) {
        PGresult* result = PQexec(connection_->Server, sql.c_str());
        ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) error = PQerrorMessage(connection_->Server);
        PQclear(result);
    } else {
        char* message = nullptr;
        if (sqlite3_exec(connection_->File, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK)
            error = message ? message : "failed";
        sqlite3_free(message);
    }
    if (!error.empty() && !mayFail) ADD_FAILURE() << sql << ": " << error;
    return error.empty();
}

std::string StoreClient::Value(const std::string& sql) {
    std::string value;
    if (server_) {
        PGresult* result = PQexec(connection_->Server, sql.c_str());
        if (PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) > 0) value = PQgetvalue(result, 0, 0);
        PQclear(result);
        return value;
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(connection_->File, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0))
        value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    return value;
}

void StoreSql(const std::string& store, const std::string& sql) { StoreClient(store).Exec(sql); }

std::string StoreValue(const std::string& store, const std::string& sql) { return StoreClient(store).Value(sql); }

std::string BytesLiteral(const std::string& store, const std::string& hex) {
    return IsServerStore(store) ? "'\\x" + hex + "'::bytea" : "x'" + hex + "'";
}

std::string HexOf(const std::string& store, const std::string& column) {
    return IsServerStore(store) ? "upper(encode(" + column + ", 'hex'))" : "hex(" + column + ")";
}

void SpoilLastPageOf(const std::string& storeFile, const std::string& table) {
    StoreSql(storeFile, "PRAGMA wal_checkpoint(TRUNCATE)");
    const std::string leaves = " FROM dbstat WHERE name = '" + table + "' AND pagetype = 'leaf'";
    long last = std::stol(StoreValue(storeFile, "SELECT max(pageno)" + leaves));
    ASSERT_GT(last, std::stol(StoreValue(storeFile, "SELECT min(pageno)" + leaves))) << table << " has one page";
    long pageSize = std::stol(StoreValue(storeFile, "PRAGMA page_size"));
    std::fstream file(storeFile, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp((last - 1) * pageSize);
    file.put('\x00');  // no page type has this number
}

}  // namespace verdo::test
