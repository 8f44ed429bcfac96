#include "privacy/DatabaseRows.h"

#include "common/CodePage.h"
#include "privacy/CookieKeepList.h"

#include <sqlite3.h>

namespace {

const char kKeptHost[] = "brisfold_kept_host";

// The tables of the database, less the SQLite's own and the ones a virtual table keeps its rows in
// ("name_..."): only the virtual table itself is cleared.
std::vector<std::string> UserTables(TSqliteDatabase& db, int& code)
{
    std::vector<std::string> tables, virtualTables;
    TSqliteStatement list(db, "SELECT name, sql FROM sqlite_master WHERE type='table'");
    while ((code = list.Step()) == SQLITE_ROW) {
        const std::string name = list.ColumnText(0);
        if (name.rfind("sqlite_", 0) == 0)
            continue;
        if (list.ColumnText(1).rfind("CREATE VIRTUAL", 0) == 0)
            virtualTables.push_back(name);
        tables.push_back(name);
    }
    code = code == SQLITE_DONE ? SQLITE_OK : db.ErrorCode();
    std::erase_if(tables, [&](const std::string& table) {
        for (const std::string& owner : virtualTables)
            if (table != owner && table.rfind(owner + "_", 0) == 0)
                return true;
        return false;
    });
    return tables;
}

TSqliteDatabase::TTextPredicate KeptHost(const TCookieKeepList* keepList)
{
    return [keepList](std::string_view host) { return keepList && keepList->KeepsHost(Utf8ToWide(host)); };
}

} // namespace

int DeleteAll(TSqliteDatabase& db, const char* table)
{
    if (!db.TableExists(table))
        return SQLITE_OK;
    return RunStatement(db, "DELETE FROM " + QuotedIdentifier(table));
}

int RunStatement(TSqliteDatabase& db, const std::string& sql)
{
    TSqliteStatement statement(db, sql);
    return statement.Run() == SQLITE_DONE ? SQLITE_OK : db.ErrorCode();
}

int CountTable(TSqliteDatabase& db, const char* table, std::vector<int64_t>& counts)
{
    if (!db.TableExists(table)) {
        counts.push_back(0);
        return SQLITE_OK;
    }
    const int64_t rows = db.CountRows(table);
    if (rows < 0)
        return db.ErrorCode();
    counts.push_back(rows);
    return SQLITE_OK;
}

int CountQuery(TSqliteDatabase& db, const std::string& sql, std::vector<int64_t>& counts)
{
    TSqliteStatement query(db, sql);
    if (query.Step() != SQLITE_ROW)
        return db.ErrorCode();
    counts.push_back(query.ColumnInt(0));
    return SQLITE_OK;
}

int ResetColumns(TSqliteDatabase& db, const char* table, const std::vector<std::pair<const char*, const char*>>& columns)
{
    for (const auto& [column, value] : columns)
        if (db.ColumnExists(table, column))
            if (const int code = RunStatement(db, "UPDATE " + QuotedIdentifier(table) + " SET " + QuotedIdentifier(column) +
                                                      "=" + value);
                code != SQLITE_OK)
                return code;
    return SQLITE_OK;
}

int CountRowsOfTables(TSqliteDatabase& db, const TTableFilter& take, std::vector<int64_t>& counts)
{
    int code = SQLITE_OK;
    int64_t rows = 0;
    for (const std::string& table : UserTables(db, code)) {
        if (!take(table))
            continue;
        const int64_t n = db.CountRows(table);
        if (n < 0)
            return db.ErrorCode();
        rows += n;
    }
    counts.push_back(rows);
    return code;
}

int DeleteRowsOfTables(TSqliteDatabase& db, const TTableFilter& take)
{
    int code = SQLITE_OK;
    for (const std::string& table : UserTables(db, code))
        if (take(table))
            if (const int erased = DeleteAll(db, table.c_str()); erased != SQLITE_OK)
                return erased;
    return code;
}

int CountKeptRows(TSqliteDatabase& db, const char* table, const char* hostColumn, const TCookieKeepList* keepList,
                  std::vector<int64_t>& counts)
{
    if (!db.TableExists(table) || !db.ColumnExists(table, hostColumn)) {
        counts.insert(counts.end(), {0, 0});
        return SQLITE_OK;
    }
    const auto kept = KeptHost(keepList);
    if (const int code = db.DefinePredicate(kKeptHost, kept); code != SQLITE_OK)
        return code;
    TSqliteStatement query(db, std::string("SELECT count(*), total(") + kKeptHost + "(" + QuotedIdentifier(hostColumn) +
                                   ")) FROM " + QuotedIdentifier(table));
    if (query.Step() != SQLITE_ROW)
        return db.ErrorCode();
    const int64_t all = query.ColumnInt(0), keep = query.ColumnInt(1);
    counts.insert(counts.end(), {all - keep, keep});
    return SQLITE_OK;
}

int DeleteUnkeptRows(TSqliteDatabase& db, const char* table, const char* hostColumn, const TCookieKeepList* keepList)
{
    if (!db.TableExists(table) || !db.ColumnExists(table, hostColumn))
        return SQLITE_OK;
    const auto kept = KeptHost(keepList);
    if (const int code = db.DefinePredicate(kKeptHost, kept); code != SQLITE_OK)
        return code;
    return RunStatement(db, "DELETE FROM " + QuotedIdentifier(table) + " WHERE NOT " + kKeptHost + "(" +
                                QuotedIdentifier(hostColumn) + ")");
}
