#include "common/Sqlite.h"

#include "common/CodePage.h"

#include <sqlite3.h>

int TSqliteDatabase::OpenWith(const std::wstring& path, int flags)
{
    Close();
    OpenError_.clear();
    sqlite3* db = nullptr;
    const int code = sqlite3_open_v2(WideToUtf8(path).c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code != SQLITE_OK) {
        OpenError_ = db ? Utf8ToWide(sqlite3_errmsg(db)) : SqliteCodeText(code);
        sqlite3_close(db);
        return code;
    }
    Db_ = db;
    // A database is another program's: no wait for its locks, no code loaded from it, and temporary
    // tables kept in memory rather than in files beside anything.
    sqlite3_busy_timeout(Db_, 0);
    sqlite3_extended_result_codes(Db_, 0);
    Execute("PRAGMA temp_store=MEMORY");
    Execute("PRAGMA trusted_schema=OFF");
    return SQLITE_OK;
}

int TSqliteDatabase::Open(const std::wstring& path, bool readOnly)
{
    return OpenWith(path, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
}

int TSqliteDatabase::Create(const std::wstring& path)
{
    return OpenWith(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

void TSqliteDatabase::Close()
{
    if (Db_) {
        // Statements are RAII and gone by now; close_v2 would defer, close answers honestly.
        sqlite3_close(Db_);
        Db_ = nullptr;
    }
}

std::wstring TSqliteDatabase::ErrorText() const
{
    return Db_ ? Utf8ToWide(sqlite3_errmsg(Db_)) : OpenError_;
}

int TSqliteDatabase::ErrorCode() const
{
    return Db_ ? sqlite3_errcode(Db_) : SQLITE_CANTOPEN;
}

int TSqliteDatabase::Execute(const char* sql)
{
    if (!Db_)
        return SQLITE_MISUSE;
    return sqlite3_exec(Db_, sql, nullptr, nullptr, nullptr);
}

bool TSqliteDatabase::TableExists(std::string_view table)
{
    TSqliteStatement query(*this, "SELECT 1 FROM sqlite_master WHERE type IN ('table','view') AND name=?1");
    return query.Bind(1, table).Step() == SQLITE_ROW;
}

bool TSqliteDatabase::ColumnExists(std::string_view table, std::string_view column)
{
    TSqliteStatement query(*this, "SELECT 1 FROM pragma_table_info(?1) WHERE name=?2");
    return query.Bind(1, table).Bind(2, column).Step() == SQLITE_ROW;
}

int64_t TSqliteDatabase::CountRows(std::string_view table)
{
    TSqliteStatement count(*this, "SELECT count(*) FROM " + QuotedIdentifier(table));
    return count.Step() == SQLITE_ROW ? count.ColumnInt(0) : -1;
}

int TSqliteDatabase::DefinePredicate(const char* name, const TTextPredicate& predicate)
{
    if (!Db_)
        return SQLITE_MISUSE;
    auto call = [](sqlite3_context* context, int, sqlite3_value** values) {
        const auto* test = static_cast<const TTextPredicate*>(sqlite3_user_data(context));
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
        const std::string_view utf8 = text ? std::string_view(text, static_cast<size_t>(sqlite3_value_bytes(values[0])))
                                           : std::string_view();
        sqlite3_result_int(context, (*test)(utf8) ? 1 : 0);
    };
    return sqlite3_create_function_v2(Db_, name, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY,
                                      const_cast<TTextPredicate*>(&predicate), call, nullptr, nullptr, nullptr);
}

TSqliteStatement::TSqliteStatement(TSqliteDatabase& db, std::string_view sql)
{
    if (!db) {
        PrepareCode_ = SQLITE_MISUSE;
        return;
    }
    PrepareCode_ = sqlite3_prepare_v2(db.Get(), sql.data(), static_cast<int>(sql.size()), &Stmt_, nullptr);
    if (PrepareCode_ != SQLITE_OK) {
        sqlite3_finalize(Stmt_);
        Stmt_ = nullptr;
    }
}

TSqliteStatement::~TSqliteStatement()
{
    sqlite3_finalize(Stmt_);
}

TSqliteStatement& TSqliteStatement::Bind(int index, int64_t value)
{
    if (Stmt_)
        sqlite3_bind_int64(Stmt_, index, value);
    return *this;
}

TSqliteStatement& TSqliteStatement::Bind(int index, std::string_view utf8)
{
    if (Stmt_)
        sqlite3_bind_text(Stmt_, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

TSqliteStatement& TSqliteStatement::Bind(int index, std::wstring_view text)
{
    return Bind(index, std::string_view(WideToUtf8(text)));
}

int TSqliteStatement::Step()
{
    return Stmt_ ? sqlite3_step(Stmt_) : (PrepareCode_ ? PrepareCode_ : SQLITE_MISUSE);
}

int TSqliteStatement::Run()
{
    int code;
    while ((code = Step()) == SQLITE_ROW) {
    }
    return code;
}

void TSqliteStatement::Reset()
{
    if (Stmt_) {
        sqlite3_reset(Stmt_);
        sqlite3_clear_bindings(Stmt_);
    }
}

int64_t TSqliteStatement::ColumnInt(int index) const
{
    return Stmt_ ? sqlite3_column_int64(Stmt_, index) : 0;
}

std::string TSqliteStatement::ColumnText(int index) const
{
    if (!Stmt_)
        return {};
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(Stmt_, index));
    return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(Stmt_, index))) : std::string();
}

bool TSqliteStatement::ColumnIsNull(int index) const
{
    return !Stmt_ || sqlite3_column_type(Stmt_, index) == SQLITE_NULL;
}

TSqliteTransaction::TSqliteTransaction(TSqliteDatabase& db) : Db_(db)
{
    BeginCode_ = Db_.Execute("BEGIN IMMEDIATE");
    Active_ = BeginCode_ == SQLITE_OK;
}

TSqliteTransaction::~TSqliteTransaction()
{
    if (Active_)
        Db_.Execute("ROLLBACK");
}

int TSqliteTransaction::Commit()
{
    if (!Active_)
        return SQLITE_MISUSE;
    const int code = Db_.Execute("COMMIT");
    // A failed commit (busy) leaves the transaction open; the destructor rolls it back.
    if (code == SQLITE_OK)
        Active_ = false;
    return code;
}

std::wstring SqliteCodeText(int code)
{
    return Utf8ToWide(sqlite3_errstr(code));
}

std::string QuotedIdentifier(std::string_view name)
{
    std::string quoted = "\"";
    for (const char c : name)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}
