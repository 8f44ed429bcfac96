#include "privacy/ChromiumDatabases.h"

#include "common/CodePage.h"
#include "common/Sqlite.h"
#include "privacy/ChromiumProfiles.h"
#include "privacy/CookieKeepList.h"

#include <sqlite3.h>

#include <string>

namespace {

// The tables that hold what a visit left besides the visit itself, in the versions that have them.
const char* const kVisitTables[] = {
    "visits", "visit_source", "visited_links", "content_annotations", "context_annotations",
    "clusters_and_visits", "clusters", "cluster_keywords", "cluster_visit_duplicates",
    "keyword_search_terms", "segment_usage", "segments",
};
const char* const kDownloadTables[] = {"downloads_url_chains", "downloads_slices", "downloads"};
const char* const kLoginTables[] = {"insecure_credentials", "password_notes", "logins"};

int DeleteAll(TSqliteDatabase& db, const char* table)
{
    if (!db.TableExists(table))
        return SQLITE_OK;
    TSqliteStatement erase(db, "DELETE FROM " + QuotedIdentifier(table));
    return erase.Run() == SQLITE_DONE ? SQLITE_OK : db.ErrorCode();
}

template <size_t N>
int DeleteAll(TSqliteDatabase& db, const char* const (&tables)[N])
{
    for (const char* table : tables)
        if (const int code = DeleteAll(db, table); code != SQLITE_OK)
            return code;
    return SQLITE_OK;
}

int RunStatement(TSqliteDatabase& db, const std::string& sql)
{
    TSqliteStatement statement(db, sql);
    return statement.Run() == SQLITE_DONE ? SQLITE_OK : db.ErrorCode();
}

// One count of a table, 0 when the table is missing.
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

// The bookmarked addresses as a temporary table of this connection (kept in memory), for the
// statements that spare them.
int LoadKeptUrls(TSqliteDatabase& db, const TBookmarks& bookmarks)
{
    if (const int code = db.Execute("CREATE TEMP TABLE IF NOT EXISTS kept_urls(url TEXT PRIMARY KEY)"); code != SQLITE_OK)
        return code;
    if (const int code = db.Execute("DELETE FROM temp.kept_urls"); code != SQLITE_OK)
        return code;
    TSqliteStatement insert(db, "INSERT OR IGNORE INTO temp.kept_urls(url) VALUES (?1)");
    for (const std::string& url : bookmarks.Urls) {
        insert.Reset();
        if (insert.Bind(1, std::string_view(url)).Run() != SQLITE_DONE)
            return db.ErrorCode();
    }
    return SQLITE_OK;
}

// ---- History

int CountHistory(TSqliteDatabase& db, const TBookmarks& bookmarks, std::vector<int64_t>& counts)
{
    if (!bookmarks.Damaged) {
        if (!db.TableExists("urls")) {
            counts.push_back(0);
        } else {
            if (const int code = LoadKeptUrls(db, bookmarks); code != SQLITE_OK)
                return code;
            if (const int code = CountQuery(db, "SELECT count(*) FROM urls WHERE url NOT IN (SELECT url FROM temp.kept_urls)",
                                            counts);
                code != SQLITE_OK)
                return code;
        }
    }
    return CountTable(db, "visits", counts);
}

int CleanHistory(TSqliteDatabase& db, const TBookmarks& bookmarks)
{
    if (const int code = DeleteAll(db, kVisitTables); code != SQLITE_OK)
        return code;
    // Unreadable bookmarks leave every page: none can be judged unbookmarked.
    if (bookmarks.Damaged || !db.TableExists("urls"))
        return SQLITE_OK;
    if (const int code = LoadKeptUrls(db, bookmarks); code != SQLITE_OK)
        return code;
    if (const int code = RunStatement(db, "DELETE FROM urls WHERE url NOT IN (SELECT url FROM temp.kept_urls)");
        code != SQLITE_OK)
        return code;
    // The bookmarked pages stay, without what their visits had counted.
    for (const char* column : {"visit_count", "typed_count", "last_visit_time"})
        if (db.ColumnExists("urls", column))
            if (const int code = RunStatement(db, std::string("UPDATE urls SET ") + column + "=0"); code != SQLITE_OK)
                return code;
    return SQLITE_OK;
}

// ---- Favicons: the icons of the pages removed (every page that is not bookmarked)

int CountFavicons(TSqliteDatabase& db, const TBookmarks& bookmarks, std::vector<int64_t>& counts)
{
    if (bookmarks.Damaged || !db.TableExists("icon_mapping")) {
        counts.push_back(0);
        return SQLITE_OK;
    }
    if (const int code = LoadKeptUrls(db, bookmarks); code != SQLITE_OK)
        return code;
    return CountQuery(db,
                      "SELECT count(DISTINCT page_url) FROM icon_mapping WHERE page_url NOT IN "
                      "(SELECT url FROM temp.kept_urls)",
                      counts);
}

int CleanFavicons(TSqliteDatabase& db, const TBookmarks& bookmarks)
{
    if (bookmarks.Damaged || !db.TableExists("icon_mapping"))
        return SQLITE_OK;
    if (const int code = LoadKeptUrls(db, bookmarks); code != SQLITE_OK)
        return code;
    if (const int code =
            RunStatement(db, "DELETE FROM icon_mapping WHERE page_url NOT IN (SELECT url FROM temp.kept_urls)");
        code != SQLITE_OK)
        return code;
    if (db.TableExists("favicon_bitmaps"))
        if (const int code = RunStatement(db, "DELETE FROM favicon_bitmaps WHERE icon_id NOT IN "
                                              "(SELECT icon_id FROM icon_mapping)");
            code != SQLITE_OK)
            return code;
    if (db.TableExists("favicons"))
        return RunStatement(db, "DELETE FROM favicons WHERE id NOT IN (SELECT icon_id FROM icon_mapping)");
    return SQLITE_OK;
}

// ---- Side databases: every row but the browser's own bookkeeping ("meta") and SQLite's.

std::vector<std::string> SideTables(TSqliteDatabase& db, int& code)
{
    std::vector<std::string> tables, virtualTables;
    TSqliteStatement list(db, "SELECT name, sql FROM sqlite_master WHERE type='table'");
    while ((code = list.Step()) == SQLITE_ROW) {
        const std::string name = list.ColumnText(0);
        const std::string sql = list.ColumnText(1);
        if (name == "meta" || name.rfind("sqlite_", 0) == 0)
            continue;
        if (sql.rfind("CREATE VIRTUAL", 0) == 0)
            virtualTables.push_back(name);
        tables.push_back(name);
    }
    code = code == SQLITE_DONE ? SQLITE_OK : db.ErrorCode();
    // A virtual table keeps its rows in tables of its own ("name_..."): only the virtual table is cleared.
    std::erase_if(tables, [&](const std::string& table) {
        for (const std::string& owner : virtualTables)
            if (table != owner && table.rfind(owner + "_", 0) == 0)
                return true;
        return false;
    });
    return tables;
}

int CountSideTables(TSqliteDatabase& db, std::vector<int64_t>& counts)
{
    int code = SQLITE_OK;
    int64_t rows = 0;
    for (const std::string& table : SideTables(db, code)) {
        const int64_t n = db.CountRows(table);
        if (n < 0)
            return db.ErrorCode();
        rows += n;
    }
    counts.push_back(rows);
    return code;
}

int CleanSideTables(TSqliteDatabase& db)
{
    int code = SQLITE_OK;
    for (const std::string& table : SideTables(db, code))
        if (const int erased = DeleteAll(db, table.c_str()); erased != SQLITE_OK)
            return erased;
    return code;
}

// ---- Cookies

const char kKeptHost[] = "brisfold_kept_host";

int CountCookies(TSqliteDatabase& db, const TSqliteDatabase::TTextPredicate& kept, std::vector<int64_t>& counts)
{
    if (!db.TableExists("cookies")) {
        counts.insert(counts.end(), {0, 0});
        return SQLITE_OK;
    }
    if (const int code = db.DefinePredicate(kKeptHost, kept); code != SQLITE_OK)
        return code;
    TSqliteStatement query(db, "SELECT count(*), total(brisfold_kept_host(host_key)) FROM cookies");
    if (query.Step() != SQLITE_ROW)
        return db.ErrorCode();
    const int64_t all = query.ColumnInt(0), keep = query.ColumnInt(1);
    counts.insert(counts.end(), {all - keep, keep});
    return SQLITE_OK;
}

int CleanCookies(TSqliteDatabase& db, const TSqliteDatabase::TTextPredicate& kept)
{
    if (!db.TableExists("cookies"))
        return SQLITE_OK;
    if (const int code = db.DefinePredicate(kKeptHost, kept); code != SQLITE_OK)
        return code;
    return RunStatement(db, "DELETE FROM cookies WHERE NOT brisfold_kept_host(host_key)");
}

TSqliteDatabase::TTextPredicate KeptHost(const TCookieKeepList* keepList)
{
    return [keepList](std::string_view host) { return keepList && keepList->KeepsHost(Utf8ToWide(host)); };
}

const TBookmarks& BookmarksOf(const TChromiumJobContext& context)
{
    static const TBookmarks kNone{true, {}};
    return context.Bookmarks ? *context.Bookmarks : kNone;
}

} // namespace

int CountChromiumJob(TDatabaseJob job, TSqliteDatabase& db, const TChromiumJobContext& context,
                     std::vector<int64_t>& counts)
{
    switch (job) {
    case TDatabaseJob::ChromiumHistory: return CountHistory(db, BookmarksOf(context), counts);
    case TDatabaseJob::ChromiumFavicons: return CountFavicons(db, BookmarksOf(context), counts);
    case TDatabaseJob::ChromiumSideTable: return CountSideTables(db, counts);
    case TDatabaseJob::ChromiumDownloads: return CountTable(db, "downloads", counts);
    case TDatabaseJob::ChromiumCookies: {
        const auto kept = KeptHost(context.KeepList);
        return CountCookies(db, kept, counts);
    }
    case TDatabaseJob::ChromiumFormData: return CountTable(db, "autofill", counts);
    case TDatabaseJob::ChromiumPasswords: return CountTable(db, "logins", counts);
    case TDatabaseJob::None: break;
    }
    return SQLITE_MISUSE;
}

int CleanChromiumJob(TDatabaseJob job, TSqliteDatabase& db, const TChromiumJobContext& context)
{
    switch (job) {
    case TDatabaseJob::ChromiumHistory: return CleanHistory(db, BookmarksOf(context));
    case TDatabaseJob::ChromiumFavicons: return CleanFavicons(db, BookmarksOf(context));
    case TDatabaseJob::ChromiumSideTable: return CleanSideTables(db);
    case TDatabaseJob::ChromiumDownloads: return DeleteAll(db, kDownloadTables);
    case TDatabaseJob::ChromiumCookies: {
        const auto kept = KeptHost(context.KeepList);
        return CleanCookies(db, kept);
    }
    case TDatabaseJob::ChromiumFormData: return DeleteAll(db, "autofill");
    case TDatabaseJob::ChromiumPasswords: return DeleteAll(db, kLoginTables);
    case TDatabaseJob::None: break;
    }
    return SQLITE_MISUSE;
}
