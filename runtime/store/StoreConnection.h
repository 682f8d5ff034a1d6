#pragma once
#include <map>
#include <memory>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace verdo {

// One open store file, shared by every table of it that is open in the process.
// Transactions are connection-wide: one transaction covers all tables of the file.
class StoreConnection {
public:
    ~StoreConnection();
    StoreConnection(const StoreConnection&) = delete;
    StoreConnection& operator=(const StoreConnection&) = delete;

    // The connection to `path`, opened when no table of it is open yet. Fails with
    // code 2 when the file does not exist, 90 when it is not a store. A connection
    // asked for writing while the open one only reads is reopened.
    static std::shared_ptr<StoreConnection> Acquire(const std::string& path, bool write, int& error);

    // Creates the store file with every table of the catalog, its keys and standard
    // rows, in one step; nothing is left behind when it fails or the process is killed.
    // A file that another process put there meanwhile is kept.
    static int CreateFile(const std::string& path);

    sqlite3* Db() const { return db_; }
    const std::string& Path() const { return path_; }
    bool ReadOnly() const;

    // How long a lock conflict is waited for before it fails.
    void SetBusyTimeout(int milliseconds);
    int BusyTimeout() const { return busyMs_; }

    // A prepared statement, kept for the life of the connection.
    sqlite3_stmt* Prepare(const std::string& sql, int& error);

    // Whether the store would let this process write now: takes and releases the write lock.
    int ProbeWriteLock();

    // Transactions nest: the outermost is BEGIN IMMEDIATE, inner ones are savepoints.
    int Begin(int timeoutMs);
    int Commit();
    int Rollback();
    bool InTransaction() const { return depth_ > 0; }

    int Exec(const std::string& sql, int busyCode);

private:
    StoreConnection(std::string path, sqlite3* db);
    std::string path_;
    sqlite3* db_;
    int busyMs_ = 0;
    int depth_ = 0;
    std::map<std::string, sqlite3_stmt*> statements_;
};

}  // namespace verdo
