#include "runtime/store/SqliteErrors.h"

#include <sqlite3.h>

#include <string>

#include "runtime/RuntimeError.h"

namespace verdo {

int RecordSqliteFailure(sqlite3* db, int rc, int busyCode) {
    int primary = rc & 0xFF;
    int code;
    switch (primary) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED: code = busyCode; break;
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH: code = AccessDeniedErr; break;
        case SQLITE_CONSTRAINT: code = rc == SQLITE_CONSTRAINT_UNIQUE ? DupKeyErr : FileSystemErr; break;
        case SQLITE_NOTFOUND: code = RecordNotAvailErr; break;
        default: code = FileSystemErr; break;
    }
    std::string text = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    SetLastError(code, code == FileSystemErr ? rc : 0, code == FileSystemErr ? text : std::string());
    return code;
}

}  // namespace verdo
