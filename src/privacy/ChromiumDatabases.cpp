#include "privacy/ChromiumDatabases.h"

#include "common/CodePage.h"
#include "common/Sqlite.h"
#include "privacy/ChromiumProfiles.h"
#include "privacy/CookieKeepList.h"
#include "privacy/DatabaseRows.h"

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
    return ResetColumns(db, "urls", {{"visit_count", "0"}, {"typed_count", "0"}, {"last_visit_time", "0"}});
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

// ---- Cookies

// Every table of a side database but the browser's own bookkeeping.
bool IsSideTable(const std::string& name)
{
    return name != "meta";
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
    case TDatabaseJob::ChromiumSideTable: return CountRowsOfTables(db, IsSideTable, counts);
    case TDatabaseJob::ChromiumDownloads: return CountTable(db, "downloads", counts);
    case TDatabaseJob::ChromiumCookies: return CountKeptRows(db, "cookies", "host_key", context.KeepList, counts);
    case TDatabaseJob::ChromiumFormData: return CountTable(db, "autofill", counts);
    case TDatabaseJob::ChromiumPasswords: return CountTable(db, "logins", counts);
    default: break;
    }
    return SQLITE_MISUSE;
}

int CleanChromiumJob(TDatabaseJob job, TSqliteDatabase& db, const TChromiumJobContext& context)
{
    switch (job) {
    case TDatabaseJob::ChromiumHistory: return CleanHistory(db, BookmarksOf(context));
    case TDatabaseJob::ChromiumFavicons: return CleanFavicons(db, BookmarksOf(context));
    case TDatabaseJob::ChromiumSideTable: return DeleteRowsOfTables(db, IsSideTable);
    case TDatabaseJob::ChromiumDownloads: return DeleteAll(db, kDownloadTables);
    case TDatabaseJob::ChromiumCookies: return DeleteUnkeptRows(db, "cookies", "host_key", context.KeepList);
    case TDatabaseJob::ChromiumFormData: return DeleteAll(db, "autofill");
    case TDatabaseJob::ChromiumPasswords: return DeleteAll(db, kLoginTables);
    default: break;
    }
    return SQLITE_MISUSE;
}
