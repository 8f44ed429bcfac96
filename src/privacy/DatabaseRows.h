#pragma once
// The row operations every browser category is made of. A table is looked up before it is used; a
// missing one counts nothing and deletes nothing. Each returns SQLite's result code.
#include "common/Sqlite.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TCookieKeepList;

int DeleteAll(TSqliteDatabase& db, const char* table);
template <size_t N>
int DeleteAll(TSqliteDatabase& db, const char* const (&tables)[N])
{
    for (const char* table : tables)
        if (const int code = DeleteAll(db, table); code != 0)
            return code;
    return 0;
}
// Runs one fixed statement to its end.
int RunStatement(TSqliteDatabase& db, const std::string& sql);
// Appends the table's row count (0 when it is missing).
int CountTable(TSqliteDatabase& db, const char* table, std::vector<int64_t>& counts);
// Appends the single number the query answers.
int CountQuery(TSqliteDatabase& db, const std::string& sql, std::vector<int64_t>& counts);
// Sets each column that the table has to the value (a fixed SQL literal).
int ResetColumns(TSqliteDatabase& db, const char* table, const std::vector<std::pair<const char*, const char*>>& columns);

// The tables a database lists (no SQLite tables, no tables a virtual table keeps its rows in) that the
// filter takes: their rows counted as one, or deleted.
using TTableFilter = std::function<bool(const std::string& name)>;
int CountRowsOfTables(TSqliteDatabase& db, const TTableFilter& take, std::vector<int64_t>& counts);
int DeleteRowsOfTables(TSqliteDatabase& db, const TTableFilter& take);

// Cookies by the host column: appends the rows the keep-list does not keep, then those it keeps.
int CountKeptRows(TSqliteDatabase& db, const char* table, const char* hostColumn, const TCookieKeepList* keepList,
                  std::vector<int64_t>& counts);
// Deletes the rows of hosts the keep-list does not keep.
int DeleteUnkeptRows(TSqliteDatabase& db, const char* table, const char* hostColumn, const TCookieKeepList* keepList);
