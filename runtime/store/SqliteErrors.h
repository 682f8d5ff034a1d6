#pragma once

struct sqlite3;

namespace verdo {

// Maps an SQLite result to one of the store's error codes and records it as the
// run-time error state (the SQLite text and code stand as the file system's for 90).
// `busyCode` is what a lock conflict means for the operation at hand.
int RecordSqliteFailure(sqlite3* db, int rc, int busyCode);

}  // namespace verdo
