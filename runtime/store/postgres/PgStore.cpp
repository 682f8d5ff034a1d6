#include "runtime/store/postgres/PgStore.h"

#include <endian.h>
#include <libpq-fe.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <set>

#include "runtime/RuntimeError.h"
#include "runtime/store/FieldValues.h"
#include "runtime/store/StoreSchema.h"
#include "runtime/store/postgres/PgSql.h"

namespace verdo {

namespace {

// Type numbers of the server's types, as its catalog gives them.
constexpr Oid Int8Type = 20;
constexpr Oid TextType = 25;
constexpr Oid ByteaType = 17;

// Creators of the tables in one database take turns; the number names that turn.
constexpr const char* CreationTurn = "SELECT pg_advisory_xact_lock(5638522318158102351)";
constexpr int CreationWaitMs = 10000;

int WrongState(int code, const std::string& text = std::string()) {
    SetLastError(code, 0, text);
    return code;
}

// The server's words on one line.
std::string OneLine(const char* text) {
    std::string line;
    for (const char* c = text ? text : ""; *c; ++c) {
        bool blank = *c == '\n' || *c == '\r' || *c == '\t' || *c == ' ';
        if (blank && (line.empty() || line.back() == ' ')) continue;
        line += blank ? ' ' : *c;
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// A string of keywords and values, or a URI, rather than a bare database name.
bool IsConnectionString(const std::string& connection) {
    return connection.find('=') != std::string::npos || StartsWith(connection, "postgresql://") ||
           StartsWith(connection, "postgres://");
}

int64_t Int8(const char* bytes) {
    uint64_t big;
    std::memcpy(&big, bytes, sizeof big);
    return static_cast<int64_t>(be64toh(big));
}

int64_t Int8At(const PGresult* result, int row, int column) {
    return PQgetlength(result, row, column) == 8 ? Int8(PQgetvalue(result, row, column)) : 0;
}

void ReadField(const PGresult* result, int row, int column, const FieldDef& field, void* record) {
    const char* value = PQgetvalue(result, row, column);
    std::string_view bytes(value, static_cast<size_t>(PQgetlength(result, row, column)));
    switch (FormOf(field)) {
        case StoredForm::Number: SetNumber(field, Int8At(result, row, column), record); break;
        case StoredForm::Text: SetText(field, bytes, record); break;
        case StoredForm::Bytes: SetBytes(field, bytes, record); break;
    }
}

}  // namespace

// Parameters sent in binary: whole numbers as eight bytes, text and bytes as they are.
class PgStore::Params {
public:
    void Number(int64_t value) {
        uint64_t big = htobe64(static_cast<uint64_t>(value));
        Add(std::string(reinterpret_cast<const char*>(&big), sizeof big), Int8Type);
    }
    void Text(std::string value) { Add(std::move(value), TextType); }
    void Bytes(std::string value) { Add(std::move(value), ByteaType); }
    void Field(const FieldDef& field, const void* record, bool folded = false) {
        switch (FormOf(field)) {
            case StoredForm::Number: Number(NumberOf(field, record)); break;
            case StoredForm::Text: Text(folded ? pgsql::FoldText(TextOf(field, record)) : TextOf(field, record)); break;
            case StoredForm::Bytes: Bytes(std::string(BytesOf(field, record))); break;
        }
    }
    void Stored(const FieldDef& field, const StoredValue& value) {
        switch (FormOf(field)) {
            case StoredForm::Number: Number(value.Number); break;
            case StoredForm::Text: Text(value.Data); break;
            case StoredForm::Bytes: Bytes(value.Data); break;
        }
    }

    int Count() const { return static_cast<int>(values_.size()); }
    const Oid* Types() const { return types_.data(); }
    // Pointers into the values, valid while no value is added.
    std::vector<const char*> Values() const {
        std::vector<const char*> pointers;
        for (const std::string& v : values_) pointers.push_back(v.data());
        return pointers;
    }
    std::vector<int> Lengths() const {
        std::vector<int> lengths;
        for (const std::string& v : values_) lengths.push_back(static_cast<int>(v.size()));
        return lengths;
    }

private:
    void Add(std::string value, Oid type) {
        values_.push_back(std::move(value));
        types_.push_back(type);
    }
    std::vector<std::string> values_;
    std::vector<Oid> types_;
};

void PgStore::ResultDeleter::operator()(PGresult* result) const { PQclear(result); }

PgStore::PgStore(PGconn* connection, bool readOnly) : connection_(connection), readOnly_(readOnly) {}

PgStore::~PgStore() { PQfinish(connection_); }

StoreEngine* PgStore::Connect(const std::string& connection, bool write, RuntimeErrorState& failure) {
    auto refuse = [&](int code, int fileCode, const std::string& text) -> StoreEngine* {
        failure.Code = code;
        failure.Text = ErrorTextFor(code);
        failure.FileCode = fileCode;
        failure.FileText = text;
        return nullptr;
    };
    if (IsConnectionString(connection)) {
        char* problem = nullptr;
        PQconninfoOption* options = PQconninfoParse(connection.c_str(), &problem);
        if (!options) {
            std::string text = problem ? OneLine(problem) : "the connection string cannot be read";
            PQfreemem(problem);
            return refuse(FileSystemErr, EINVAL, text);
        }
        bool password = false;
        for (PQconninfoOption* o = options; o->keyword; ++o)
            password = password || (std::strcmp(o->keyword, "password") == 0 && o->val && *o->val);
        PQconninfoFree(options);
        if (password)
            return refuse(FileSystemErr, EINVAL,
                          "the connection string holds a password; give it in ~/.pgpass, PGPASSWORD or a service "
                          "file instead");
    }
    // The caller's string comes after the defaults, so that it overrides them, and before
    // the encoding, which the store's texts need.
    const char* keywords[] = {"connect_timeout", "fallback_application_name", "dbname", "client_encoding", nullptr};
    const char* values[] = {"10", "verdo", connection.c_str(), "UTF8", nullptr};
    PGconn* connected = PQconnectdbParams(keywords, values, 1);
    if (PQstatus(connected) != CONNECTION_OK) {
        // A server that cannot be reached, or that turns the connection away, is no case
        // for trying again read-only: the caller reports it once, in the server's words.
        std::string text = OneLine(PQerrorMessage(connected));
        PQfinish(connected);
        return refuse(FileSystemErr, 0, text);
    }
    // The server's notices ("skipping" an index that is not there) are no failures; a
    // build-time run says nothing unless something fails.
    PQsetNoticeProcessor(connected, [](void*, const char*) {}, nullptr);
    std::unique_ptr<PgStore> store(new PgStore(connected, !write));
    if (!write && !store->Run("SET default_transaction_read_only = on", AccessDeniedErr)) {
        RuntimeErrorState state = LastError();
        return refuse(state.Code, state.FileCode, state.FileText);
    }
    return store.release();
}

RuntimeErrorState PgStore::Failure() const { return LastError(); }

int PgStore::Failed(const PGresult* result, int busyCode) {
    std::string state;
    if (result && PQresultErrorField(result, PG_DIAG_SQLSTATE)) state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    std::string text = OneLine(primary ? primary : PQerrorMessage(connection_));
    if (!state.empty()) text += " [" + state + "]";
    int code = FileSystemErr;
    std::string kind = state.substr(0, 2);
    if (PQstatus(connection_) != CONNECTION_OK) code = AccessDeniedErr;
    else if (state == "23505") code = DupKeyErr;
    else if (state == "55P03" || state == "40P01" || state == "40001") code = busyCode;
    // No right to write, a server that only reads, or one that turns connections away.
    else if (state == "42501" || state == "25006" || state == "53300" || state == "3D000" || kind == "08" ||
             kind == "28" || kind == "57")
        code = AccessDeniedErr;
    SetLastError(code, 0, text);
    if (depth_ > 0) {
        spoiled_ = true;
        spoiledBy_ = LastError();
    }
    return code;
}

PgStore::Result PgStore::Run(const std::string& sql, const Params& params, int busyCode, bool binary) {
    checkedForWriting_ = nullptr;
    if (spoiled_) {
        SetLastError(spoiledBy_);
        return nullptr;
    }
    std::vector<const char*> values = params.Values();
    std::vector<int> lengths = params.Lengths();
    std::vector<int> formats(values.size(), 1);
    Result result(PQexecParams(connection_, sql.c_str(), params.Count(), params.Types(), values.data(),
                               lengths.data(), formats.data(), binary ? 1 : 0));
    ExecStatusType status = PQresultStatus(result.get());
    if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK) return result;
    Failed(result.get(), busyCode);
    return nullptr;
}

PgStore::Result PgStore::Run(const std::string& sql, int busyCode) {
    checkedForWriting_ = nullptr;
    if (spoiled_) {
        SetLastError(spoiledBy_);
        return nullptr;
    }
    Result result(PQexec(connection_, sql.c_str()));
    ExecStatusType status = PQresultStatus(result.get());
    if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK) return result;
    Failed(result.get(), busyCode);
    return nullptr;
}

int PgStore::CheckTable(const TableDef& table) {
    // Whether the table may be written is asked in the same breath: a table is checked
    // right before it is opened for writing, and a new connection pays for every first
    // look into the server's catalog.
    checkedForWriting_ = nullptr;
    Params params;
    params.Text(pgsql::TableName(table));
    Result result = Run(
        "SELECT t.oid IS NOT NULL, coalesce((SELECT string_agg(i.relname, ' ') FROM pg_index x JOIN pg_class i "
        "ON i.oid = x.indexrelid WHERE x.indrelid = t.oid), ''), t.oid IS NOT NULL AND (has_table_privilege(t.oid, "
        "'INSERT') OR has_any_column_privilege(t.oid, 'UPDATE') OR has_table_privilege(t.oid, 'DELETE')), "
        "pg_is_in_recovery() FROM (SELECT to_regclass($1) AS oid) t",
        params, AccessDeniedErr, false);
    if (!result) return LastError().Code;
    if (std::strcmp(PQgetvalue(result.get(), 0, 0), "t") != 0) return WrongState(FileNotFoundErr);
    std::set<std::string> indexes;
    std::string names = PQgetvalue(result.get(), 0, 1);
    for (size_t at = 0; at < names.size();) {
        size_t end = names.find(' ', at);
        if (end == std::string::npos) end = names.size();
        indexes.insert("\"" + names.substr(at, end - at) + "\"");
        at = end + 1;
    }
    for (const KeyDef& key : table.Keys)
        if (!indexes.count(pgsql::IndexName(key))) return WrongState(BadKeyErr);
    checkedForWriting_ = &table;
    mayWrite_ = std::strcmp(PQgetvalue(result.get(), 0, 2), "t") == 0;
    standby_ = std::strcmp(PQgetvalue(result.get(), 0, 3), "t") == 0;
    return NoError;
}

int PgStore::CheckWriteAccess(const TableDef& table) {
    if (readOnly_) return WrongState(AccessDeniedErr, "the store is open for reading only");
    if (checkedForWriting_ != &table) {
        int error = CheckTable(table);
        if (error != NoError) return error;
    }
    checkedForWriting_ = nullptr;
    if (standby_) return WrongState(AccessDeniedErr, "the server only reads: it is a standby");
    // A role may write some of a table (a build agent's the numbers, and ledger rows):
    // what it may not do, the server refuses with its own words.
    if (!mayWrite_) return WrongState(AccessDeniedErr, "no right to write rows of " + pgsql::TableName(table));
    return NoError;
}

int PgStore::CreateTable(const TableDef& table, const std::vector<CatalogEntry>& catalog) {
    int error = Begin(CreationWaitMs);
    if (error != NoError) return error;
    error = Created(table, catalog);
    if (error != NoError) return KeepingFailure(error, [&] { Rollback(); });
    return Commit();
}

int PgStore::Created(const TableDef& table, const std::vector<CatalogEntry>& catalog) {
    // Whoever comes second finds the tables there and makes none.
    if (!Run(CreationTurn, AccessDeniedErr)) return LastError().Code;
    auto exists = [&](const TableDef& t, bool& there) {
        Params params;
        params.Text(pgsql::TableName(t));
        Result result = Run("SELECT to_regclass($1) IS NOT NULL", params, AccessDeniedErr, false);
        if (result) there = std::strcmp(PQgetvalue(result.get(), 0, 0), "t") == 0;
        return result != nullptr;
    };
    bool tableThere = false, anyThere = false;
    if (!exists(table, tableThere)) return LastError().Code;
    for (const CatalogEntry& entry : catalog) {
        bool there = false;
        if (!exists(*entry.Table, there)) return LastError().Code;
        anyThere = anyThere || there;
    }
    std::vector<const TableDef*> tables;
    std::vector<std::function<std::vector<std::string>()>> rows;
    // An empty database becomes a whole store.
    if (!anyThere)
        for (const CatalogEntry& entry : catalog) {
            tables.push_back(entry.Table);
            rows.push_back(entry.StandardRows);
        }
    if (!tableThere && (anyThere || std::find(tables.begin(), tables.end(), &table) == tables.end())) {
        tables.push_back(&table);
        rows.emplace_back();
        for (const CatalogEntry& entry : catalog)
            if (entry.Table == &table) rows.back() = entry.StandardRows;
    }
    for (size_t t = 0; t < tables.size(); ++t) {
        const TableDef& made = *tables[t];
        if (!Run(pgsql::CreateTable(made), AccessDeniedErr)) return LastError().Code;
        for (const KeyDef& key : made.Keys)
            if (!Run(pgsql::CreateIndex(made, key), AccessDeniedErr)) return LastError().Code;
        if (!rows[t]) continue;
        std::vector<std::string> images = rows[t]();
        if (images.empty()) continue;
        Params params;
        for (const std::string& image : images)
            for (const FieldDef* f : schema::StoredFields(made)) params.Field(*f, image.data());
        if (!Run(pgsql::Insert(made, images.size()), params, AccessDeniedErr)) return LastError().Code;
    }
    return NoError;
}

int PgStore::BuildKeys(const TableDef& table) {
    for (const KeyDef& key : table.Keys) {
        if (!Run("DROP INDEX IF EXISTS " + pgsql::IndexName(key), AccessDeniedErr)) return LastError().Code;
        if (!Run(pgsql::CreateIndex(table, key), AccessDeniedErr)) return LastError().Code;
    }
    return NoError;
}

int PgStore::Fetch(const Result& result, const TableDef& table, void* record, int64_t& rowId) {
    if (!result) return LastError().Code;
    if (PQntuples(result.get()) == 0) return WrongState(RecordNotAvailErr);
    rowId = Int8At(result.get(), 0, 0);
    int column = 1;
    for (const FieldDef* f : schema::StoredFields(table)) ReadField(result.get(), 0, column++, *f, record);
    return NoError;
}

int PgStore::Read(const TableDef& table, const ReadFrom& from, void* record, int64_t& rowId) {
    const bool forward = from.Forward;
    const char* direction = forward ? "" : " DESC";
    std::string where = "true", orderBy, terms;
    bool unique = false;
    Params params;
    if (from.Key >= 0) {
        const KeyDef& key = table.Keys[from.Key];
        unique = key.Unique;
        where = pgsql::NotEmpty(table, key);
        for (size_t i = 0; i < key.Components.size(); ++i) {
            std::string term = pgsql::KeyTerm(table, key, i);
            orderBy += (i ? ", " : "") + term + direction;
            terms += (i ? ", " : "") + term;
            if (from.From != ReadFrom::Bound::None)
                params.Field(table.Fields[key.Components[i]], from.Values, pgsql::Folded(table, key, i));
        }
    }
    // Along a unique key no two rows are equal, and its index gives the order by itself.
    if (!unique) orderBy += std::string(orderBy.empty() ? "" : ", ") + "\"rowid\"" + direction;
    if (from.From == ReadFrom::Bound::After) {
        terms += std::string(terms.empty() ? "" : ", ") + "\"rowid\"";
        params.Number(from.RowId);
    }
    if (from.From != ReadFrom::Bound::None && !terms.empty()) {
        std::string marks;
        for (int i = 1; i <= params.Count(); ++i) marks += (i > 1 ? ", $" : "$") + std::to_string(i);
        const char* op = from.From == ReadFrom::Bound::After ? (forward ? " > " : " < ") : (forward ? " >= " : " < ");
        where += " AND (" + terms + ")" + op + "(" + marks + ")";
    }
    std::string sql = "SELECT " + pgsql::SelectList(table) + " FROM " + pgsql::TableName(table) + " WHERE " + where +
                      " ORDER BY " + orderBy + " LIMIT 1";
    return Fetch(Run(sql, params, IsHeldErr), table, record, rowId);
}

int PgStore::Get(const TableDef& table, int key, const void* values, bool lock, void* record, int64_t& rowId) {
    const KeyDef& def = table.Keys[key];
    std::string where = pgsql::NotEmpty(table, def);
    Params params;
    for (size_t i = 0; i < def.Components.size(); ++i) {
        where += " AND " + pgsql::KeyTerm(table, def, i) + " = $" + std::to_string(i + 1);
        params.Field(table.Fields[def.Components[i]], values, pgsql::Folded(table, def, i));
    }
    std::string sql = "SELECT " + pgsql::SelectList(table) + " FROM " + pgsql::TableName(table) + " WHERE " + where +
                      " ORDER BY \"rowid\" LIMIT 1" + (lock ? " FOR UPDATE" : "");
    int error = Fetch(Run(sql, params, IsHeldErr), table, record, rowId);
    if (error == NoError && lock) Hold(table, rowId, record);
    return error;
}

void PgStore::Hold(const TableDef& table, int64_t rowId, const void* record) {
    if (depth_ > 0) held_[{&table, rowId}].assign(static_cast<const char*>(record), table.RecordSize);
}

int PgStore::ReadRow(const TableDef& table, int64_t rowId, bool lock, void* record) {
    // A row this transaction holds is as it was read or last written here: nobody else
    // can have changed it.
    if (auto it = held_.find({&table, rowId}); lock && it != held_.end()) {
        it->second.copy(static_cast<char*>(record), table.RecordSize);
        return NoError;
    }
    Params params;
    params.Number(rowId);
    std::string sql = "SELECT " + pgsql::SelectList(table) + " FROM " + pgsql::TableName(table) +
                      " WHERE \"rowid\" = $1" + (lock ? " FOR UPDATE" : "");
    int64_t found = 0;
    int error = Fetch(Run(sql, params, IsHeldErr), table, record, found);
    if (error == NoError && lock) Hold(table, rowId, record);
    return error;
}

int PgStore::Insert(const TableDef& table, const void* record, int64_t& rowId, void* stored) {
    Params params;
    for (const FieldDef* f : schema::StoredFields(table)) params.Field(*f, record);
    std::string sql = pgsql::Insert(table, 1);
    if (stored) sql += ", " + pgsql::SelectList(table);
    Result result = Run(sql, params, IsHeldErr);
    if (!result) return LastError().Code;
    rowId = Int8At(result.get(), 0, 0);
    if (!stored) return NoError;
    // The row as the server keeps it follows its number.
    int column = 2;
    for (const FieldDef* f : schema::StoredFields(table)) ReadField(result.get(), 0, column++, *f, stored);
    return NoError;
}

int PgStore::Update(const TableDef& table, int64_t rowId, const std::vector<const FieldDef*>& fields,
                    const void* record, void* stored) {
    std::string assignments;
    Params params;
    for (const FieldDef* f : fields) {
        params.Field(*f, record);
        assignments += (assignments.empty() ? "" : ", ") + pgsql::Ident(f->Column) + " = $" +
                       std::to_string(params.Count());
    }
    params.Number(rowId);
    std::string sql = "UPDATE " + pgsql::TableName(table) + " SET " + assignments + " WHERE \"rowid\" = $" +
                      std::to_string(params.Count());
    // An update holds its row to the end of the transaction, as it now stands.
    held_.erase({&table, rowId});
    if (!stored) return Run(sql, params, IsHeldErr) ? NoError : LastError().Code;
    int64_t found = 0;
    int error = Fetch(Run(sql + " RETURNING " + pgsql::SelectList(table), params, IsHeldErr), table, stored, found);
    if (error == NoError) Hold(table, rowId, stored);
    return error;
}

int PgStore::Delete(const TableDef& table, int64_t rowId) {
    held_.erase({&table, rowId});
    Params params;
    params.Number(rowId);
    Result result = Run("DELETE FROM " + pgsql::TableName(table) + " WHERE \"rowid\" = $1", params, IsHeldErr);
    if (!result) return LastError().Code;
    if (std::strcmp(PQcmdTuples(result.get()), "0") == 0) return WrongState(RecordNotAvailErr);
    return NoError;
}

int PgStore::ReadStored(const TableDef& table, int64_t afterRowId, size_t count, std::vector<StoredRow>& rows,
                        std::vector<int64_t>& rowIds) {
    rows.clear();
    rowIds.clear();
    Params params;
    params.Number(afterRowId);
    params.Number(static_cast<int64_t>(count));
    Result result = Run("SELECT " + pgsql::SelectList(table) + " FROM " + pgsql::TableName(table) +
                            " WHERE \"rowid\" > $1 ORDER BY \"rowid\" LIMIT $2",
                        params, IsHeldErr);
    if (!result) return LastError().Code;
    const std::vector<const FieldDef*> fields = schema::StoredFields(table);
    for (int r = 0; r < PQntuples(result.get()); ++r) {
        rowIds.push_back(Int8At(result.get(), r, 0));
        StoredRow row(fields.size());
        for (size_t i = 0; i < fields.size(); ++i) {
            int column = static_cast<int>(i) + 1;
            if (FormOf(*fields[i]) == StoredForm::Number) row[i].Number = Int8At(result.get(), r, column);
            else
                row[i].Data.assign(PQgetvalue(result.get(), r, column),
                                   static_cast<size_t>(PQgetlength(result.get(), r, column)));
        }
        rows.push_back(std::move(row));
    }
    return NoError;
}

int PgStore::InsertStored(const TableDef& table, const StoredRow& row) {
    const std::vector<const FieldDef*> fields = schema::StoredFields(table);
    Params params;
    for (size_t i = 0; i < fields.size(); ++i) params.Stored(*fields[i], i < row.size() ? row[i] : StoredValue{});
    return Run(pgsql::Insert(table, 1), params, IsHeldErr) ? NoError : LastError().Code;
}

int PgStore::Begin(int timeoutMs) {
    if (depth_ > 0) {
        if (!Run("SAVEPOINT level" + std::to_string(depth_), AccessDeniedErr)) return LastError().Code;
        ++depth_;
        return NoError;
    }
    // Every transaction of the program writes; a store opened for reading refuses them
    // as a store file does.
    if (readOnly_) return WrongState(AccessDeniedErr, "the store is open for reading only");
    if (!Run("BEGIN; SET LOCAL lock_timeout = " + std::to_string(timeoutMs > 0 ? timeoutMs : 1), AccessDeniedErr)) {
        return KeepingFailure(LastError().Code, [&] {
            if (PQtransactionStatus(connection_) != PQTRANS_IDLE) PQclear(PQexec(connection_, "ROLLBACK"));
        });
    }
    depth_ = 1;
    spoiled_ = false;
    return NoError;
}

int PgStore::Commit() {
    if (depth_ == 0) return NoError;
    if (depth_ > 1) {
        --depth_;
        return Run("RELEASE level" + std::to_string(depth_), AccessDeniedErr) ? NoError : LastError().Code;
    }
    if (spoiled_) {
        RuntimeErrorState failure = spoiledBy_;
        Rollback();
        SetLastError(failure);
        return failure.Code;
    }
    depth_ = 0;
    held_.clear();
    Result result = Run("COMMIT", AccessDeniedErr);
    // A transaction that the server had given up ends in a rollback, not in an error.
    if (result && std::strcmp(PQcmdStatus(result.get()), "COMMIT") != 0) {
        SetLastError(FileSystemErr, 0, "the server rolled the transaction back");
        return FileSystemErr;
    }
    if (!result) return KeepingFailure(LastError().Code, [&] { Run("ROLLBACK", AccessDeniedErr); });
    return NoError;
}

int PgStore::Rollback() {
    if (depth_ == 0) return NoError;
    spoiled_ = false;
    // What a savepoint undoes may be what the held rows were last written as.
    held_.clear();
    if (depth_ > 1) {
        --depth_;
        std::string name = "level" + std::to_string(depth_);
        return Run("ROLLBACK TO " + name + "; RELEASE " + name, AccessDeniedErr) ? NoError : LastError().Code;
    }
    depth_ = 0;
    return Run("ROLLBACK", AccessDeniedErr) ? NoError : LastError().Code;
}

}  // namespace verdo
