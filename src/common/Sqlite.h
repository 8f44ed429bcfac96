#pragma once
// A thin RAII layer over SQLite: a database connection, a prepared statement and a write transaction.
// Every statement that carries a value binds it as a parameter; no text is ever spliced into SQL.
// The databases are other programs' (a browser's): they are opened without being created, and
// without any wait for a lock another process holds.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

class TSqliteDatabase {
public:
    TSqliteDatabase() = default;
    ~TSqliteDatabase() { Close(); }
    TSqliteDatabase(const TSqliteDatabase&) = delete;
    TSqliteDatabase& operator=(const TSqliteDatabase&) = delete;

    // Opens an existing database file (never creates one); read-write unless readOnly. Returns
    // SQLite's result code (SQLITE_OK, SQLITE_CANTOPEN, ...). A lock held elsewhere is answered at once
    // with SQLITE_BUSY by the statements, never waited for.
    int Open(const std::wstring& path, bool readOnly = false);
    // Creates the file when it is missing (tests and tools that build databases).
    int Create(const std::wstring& path);
    void Close();

    sqlite3* Get() const { return Db_; }
    explicit operator bool() const { return Db_ != nullptr; }
    // SQLite's message for the last failure on this connection (or for a failed open).
    std::wstring ErrorText() const;
    int ErrorCode() const;

    // Runs SQL without parameters (pragmas, fixed statements); returns SQLite's result code.
    int Execute(const char* sql);
    // True when the main database has a table (or view) of that name.
    bool TableExists(std::string_view table);
    // True when the table has a column of that name.
    bool ColumnExists(std::string_view table, std::string_view column);
    // Rows of a table counted; -1 when the count fails (its code in ErrorCode()).
    int64_t CountRows(std::string_view table);
    // Makes name(text) callable in this connection's SQL, answering 1 when the predicate holds for the
    // text (UTF-8; NULL is passed as empty). The predicate must outlive the statements that use it.
    using TTextPredicate = std::function<bool(std::string_view utf8)>;
    int DefinePredicate(const char* name, const TTextPredicate& predicate);

private:
    int OpenWith(const std::wstring& path, int flags);
    sqlite3* Db_ = nullptr;
    std::wstring OpenError_;
};

class TSqliteStatement {
public:
    // Prepares one statement; Prepared() tells whether it worked.
    TSqliteStatement(TSqliteDatabase& db, std::string_view sql);
    ~TSqliteStatement();
    TSqliteStatement(const TSqliteStatement&) = delete;
    TSqliteStatement& operator=(const TSqliteStatement&) = delete;

    bool Prepared() const { return Stmt_ != nullptr; }
    int PrepareCode() const { return PrepareCode_; }

    // Parameters count from 1, as SQLite numbers them.
    TSqliteStatement& Bind(int index, int64_t value);
    TSqliteStatement& Bind(int index, std::string_view utf8);
    TSqliteStatement& Bind(int index, std::wstring_view text);
    // SQLITE_ROW, SQLITE_DONE or an error code (SQLITE_MISUSE when the statement did not prepare).
    int Step();
    // Steps until done; returns SQLITE_DONE or the first error.
    int Run();
    void Reset();

    int64_t ColumnInt(int index) const;
    std::string ColumnText(int index) const;
    bool ColumnIsNull(int index) const;

private:
    sqlite3_stmt* Stmt_ = nullptr;
    int PrepareCode_ = 0;
};

// "BEGIN IMMEDIATE": takes the write lock at once, so a database another process writes or holds
// answers SQLITE_BUSY before anything is read or changed. Rolled back unless committed.
class TSqliteTransaction {
public:
    explicit TSqliteTransaction(TSqliteDatabase& db);
    ~TSqliteTransaction();
    TSqliteTransaction(const TSqliteTransaction&) = delete;
    TSqliteTransaction& operator=(const TSqliteTransaction&) = delete;

    // SQLITE_OK when the write lock was taken.
    int BeginCode() const { return BeginCode_; }
    bool Active() const { return Active_; }
    int Commit();

private:
    TSqliteDatabase& Db_;
    int BeginCode_ = 0;
    bool Active_ = false;
};

// An identifier quoted for SQL, its quotes doubled: for table names, which cannot be parameters.
std::string QuotedIdentifier(std::string_view name);
// SQLite's own English name of a result code ("database is locked", ...).
std::wstring SqliteCodeText(int code);
