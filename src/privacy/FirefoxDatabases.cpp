#include "privacy/FirefoxDatabases.h"

#include "common/Sqlite.h"
#include "privacy/DatabaseRows.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace {

// What a visit left: the visits themselves and the interaction tables of the versions that have them.
const char* const kVisitTables[] = {
    "moz_historyvisits", "moz_historyvisits_extra", "moz_places_metadata", "moz_places_metadata_search_queries",
    "moz_session_metadata", "moz_session_to_places", "moz_places_metadata_snapshots",
    "moz_places_metadata_snapshots_extra", "moz_places_metadata_snapshots_groups",
    "moz_places_metadata_groups_to_snapshots", "moz_previews_tombstones",
};

// The pages nothing refers to: no bookmark, no keyword, and no other foreign reference where the
// version counts them.
std::string Unreferenced(TSqliteDatabase& db)
{
    std::string where = "1";
    if (db.TableExists("moz_bookmarks"))
        where += " AND id NOT IN (SELECT fk FROM moz_bookmarks WHERE fk NOT NULL)";
    if (db.TableExists("moz_keywords") && db.ColumnExists("moz_keywords", "place_id"))
        where += " AND id NOT IN (SELECT place_id FROM moz_keywords WHERE place_id NOT NULL)";
    if (db.ColumnExists("moz_places", "foreign_count"))
        where += " AND foreign_count = 0";
    return where;
}

int CountHistory(TSqliteDatabase& db, std::vector<int64_t>& counts)
{
    if (!db.TableExists("moz_places")) {
        counts.push_back(0);
    } else if (const int code = CountQuery(db, "SELECT count(*) FROM moz_places WHERE " + Unreferenced(db), counts);
               code != SQLITE_OK) {
        return code;
    }
    return CountTable(db, "moz_historyvisits", counts);
}

// The icons of the pages removed; a site's root icon stays while a page of its site stays.
int CleanFavicons(TSqliteDatabase& db)
{
    TSqliteStatement attached(db, "SELECT 1 FROM pragma_database_list WHERE name=?1");
    if (attached.Bind(1, std::string_view(kFaviconsSchema)).Step() != SQLITE_ROW)
        return SQLITE_OK;
    const auto has = [&](const char* table) {
        TSqliteStatement query(db, "SELECT 1 FROM favicons.sqlite_master WHERE type='table' AND name=?1");
        return query.Bind(1, std::string_view(table)).Step() == SQLITE_ROW;
    };
    if (!has("moz_pages_w_icons") || !has("moz_icons_to_pages") || !has("moz_icons"))
        return SQLITE_OK;
    if (const int code = RunStatement(db, "DELETE FROM favicons.moz_pages_w_icons WHERE page_url NOT IN "
                                          "(SELECT url FROM main.moz_places)");
        code != SQLITE_OK)
        return code;
    if (const int code = RunStatement(db, "DELETE FROM favicons.moz_icons_to_pages WHERE page_id NOT IN "
                                          "(SELECT id FROM favicons.moz_pages_w_icons)");
        code != SQLITE_OK)
        return code;
    TSqliteStatement rootColumn(db, "SELECT 1 FROM pragma_table_info('moz_icons', 'favicons') WHERE name='root'");
    const bool roots = rootColumn.Step() == SQLITE_ROW;
    const bool origins = db.TableExists("moz_origins") && db.ColumnExists("moz_origins", "prefix");
    std::string sql = "DELETE FROM favicons.moz_icons WHERE id NOT IN (SELECT icon_id FROM favicons.moz_icons_to_pages)";
    if (roots)
        sql += origins ? " AND (root = 0 OR NOT EXISTS (SELECT 1 FROM main.moz_origins o WHERE "
                         "favicons.moz_icons.icon_url LIKE o.prefix || o.host || '/%'))"
                       : " AND root = 0";
    return RunStatement(db, sql);
}

int CleanHistory(TSqliteDatabase& db)
{
    if (const int code = DeleteAll(db, kVisitTables); code != SQLITE_OK)
        return code;
    if (!db.TableExists("moz_places"))
        return SQLITE_OK;
    if (const int code = RunStatement(db, "DELETE FROM moz_places WHERE " + Unreferenced(db)); code != SQLITE_OK)
        return code;
    for (const char* table : {"moz_annos", "moz_inputhistory"})
        if (db.TableExists(table) && db.ColumnExists(table, "place_id"))
            if (const int code = RunStatement(db, std::string("DELETE FROM ") + table +
                                                      " WHERE place_id NOT IN (SELECT id FROM moz_places)");
                code != SQLITE_OK)
                return code;
    if (db.TableExists("moz_origins") && db.ColumnExists("moz_places", "origin_id"))
        if (const int code = RunStatement(db, "DELETE FROM moz_origins WHERE id NOT IN "
                                              "(SELECT origin_id FROM moz_places WHERE origin_id NOT NULL)");
            code != SQLITE_OK)
            return code;
    // The pages kept (the bookmarked ones) keep nothing of their visits; Firefox works out their
    // frecency anew.
    if (const int code = ResetColumns(db, "moz_places", {{"visit_count", "0"}, {"last_visit_date", "NULL"},
                                                         {"typed", "0"}, {"frecency", "-1"}, {"recalc_frecency", "1"}});
        code != SQLITE_OK)
        return code;
    return CleanFavicons(db);
}

bool IsLoginTable(const std::string& name)
{
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower.find("login") != std::string::npos;
}

bool AnyTable(const std::string&)
{
    return true;
}

} // namespace

int CountFirefoxJob(TDatabaseJob job, TSqliteDatabase& db, const TCookieKeepList* keepList, std::vector<int64_t>& counts)
{
    switch (job) {
    case TDatabaseJob::FirefoxHistory: return CountHistory(db, counts);
    case TDatabaseJob::FirefoxCookies: return CountKeptRows(db, "moz_cookies", "host", keepList, counts);
    case TDatabaseJob::FirefoxFormHistory: return CountTable(db, "moz_formhistory", counts);
    case TDatabaseJob::FirefoxLogins: return CountRowsOfTables(db, IsLoginTable, counts);
    default: break;
    }
    return SQLITE_MISUSE;
}

int CleanFirefoxJob(TDatabaseJob job, TSqliteDatabase& db, const TCookieKeepList* keepList)
{
    switch (job) {
    case TDatabaseJob::FirefoxHistory: return CleanHistory(db);
    case TDatabaseJob::FirefoxCookies: return DeleteUnkeptRows(db, "moz_cookies", "host", keepList);
    case TDatabaseJob::FirefoxFormHistory: return DeleteRowsOfTables(db, AnyTable);
    case TDatabaseJob::FirefoxLogins: return DeleteRowsOfTables(db, IsLoginTable);
    default: break;
    }
    return SQLITE_MISUSE;
}
