#include "BrowserData.h"

#include "common/Sqlite.h"

#include <windows.h>
#include <sqlite3.h>

#include <functional>

const char kChromiumHistorySchema[] = R"(
CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);
INSERT INTO meta VALUES('version','68'),('last_compatible_version','16');
CREATE TABLE urls(id INTEGER PRIMARY KEY AUTOINCREMENT,url LONGVARCHAR,title LONGVARCHAR,visit_count INTEGER DEFAULT 0 NOT NULL,typed_count INTEGER DEFAULT 0 NOT NULL,last_visit_time INTEGER NOT NULL,hidden INTEGER DEFAULT 0 NOT NULL);
CREATE INDEX urls_url_index ON urls (url);
CREATE TABLE visits(id INTEGER PRIMARY KEY AUTOINCREMENT,url INTEGER NOT NULL,visit_time INTEGER NOT NULL,from_visit INTEGER,external_referrer_url TEXT,transition INTEGER DEFAULT 0 NOT NULL,segment_id INTEGER,visit_duration INTEGER DEFAULT 0 NOT NULL,incremented_omnibox_typed_score BOOLEAN DEFAULT FALSE NOT NULL,opener_visit INTEGER,originator_cache_guid TEXT,originator_visit_id INTEGER,originator_from_visit INTEGER,originator_opener_visit INTEGER,is_known_to_sync BOOLEAN DEFAULT FALSE NOT NULL,consider_for_ntp_most_visited BOOLEAN DEFAULT FALSE NOT NULL,visited_link_id INTEGER DEFAULT 0 NOT NULL,app_id TEXT);
CREATE INDEX visits_url_index ON visits (url);
CREATE INDEX visits_time_index ON visits (visit_time);
CREATE TABLE visit_source(id INTEGER PRIMARY KEY,source INTEGER NOT NULL);
CREATE TABLE keyword_search_terms (keyword_id INTEGER NOT NULL,url_id INTEGER NOT NULL,term LONGVARCHAR NOT NULL,normalized_term LONGVARCHAR NOT NULL);
CREATE INDEX keyword_search_terms_index1 ON keyword_search_terms (keyword_id, normalized_term);
CREATE INDEX keyword_search_terms_index2 ON keyword_search_terms (url_id);
CREATE TABLE segments (id INTEGER PRIMARY KEY,name VARCHAR,url_id INTEGER NON NULL);
CREATE INDEX segments_name ON segments(name);
CREATE TABLE segment_usage (id INTEGER PRIMARY KEY,segment_id INTEGER NOT NULL,time_slot INTEGER NOT NULL,visit_count INTEGER DEFAULT 0 NOT NULL);
CREATE TABLE downloads (id INTEGER PRIMARY KEY,guid VARCHAR NOT NULL,current_path LONGVARCHAR NOT NULL,target_path LONGVARCHAR NOT NULL,start_time INTEGER NOT NULL,received_bytes INTEGER NOT NULL,total_bytes INTEGER NOT NULL,state INTEGER NOT NULL,danger_type INTEGER NOT NULL,interrupt_reason INTEGER NOT NULL,hash BLOB NOT NULL,end_time INTEGER NOT NULL,opened INTEGER NOT NULL,last_access_time INTEGER NOT NULL,transient INTEGER NOT NULL,referrer VARCHAR NOT NULL,site_url VARCHAR NOT NULL,embedder_download_data VARCHAR NOT NULL,tab_url VARCHAR NOT NULL,tab_referrer_url VARCHAR NOT NULL,http_method VARCHAR NOT NULL,by_ext_id VARCHAR NOT NULL,by_ext_name VARCHAR NOT NULL,by_web_app_id VARCHAR NOT NULL,etag VARCHAR NOT NULL,last_modified VARCHAR NOT NULL,mime_type VARCHAR(255) NOT NULL,original_mime_type VARCHAR(255) NOT NULL);
CREATE TABLE downloads_url_chains (id INTEGER NOT NULL,chain_index INTEGER NOT NULL,url LONGVARCHAR NOT NULL, PRIMARY KEY (id, chain_index) );
CREATE TABLE downloads_slices (download_id INTEGER NOT NULL,offset INTEGER NOT NULL,received_bytes INTEGER NOT NULL,finished INTEGER NOT NULL DEFAULT 0,PRIMARY KEY (download_id, offset) );
)";

const char kChromiumFaviconsSchema[] = R"(
CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);
INSERT INTO meta VALUES('version','8'),('last_compatible_version','8');
CREATE TABLE icon_mapping(id INTEGER PRIMARY KEY,page_url LONGVARCHAR NOT NULL,icon_id INTEGER,page_url_type INTEGER DEFAULT 0);
CREATE INDEX icon_mapping_page_url_idx ON icon_mapping(page_url);
CREATE INDEX icon_mapping_icon_id_idx ON icon_mapping(icon_id);
CREATE TABLE favicons(id INTEGER PRIMARY KEY,url LONGVARCHAR NOT NULL,icon_type INTEGER DEFAULT 1);
CREATE INDEX favicons_url ON favicons(url);
CREATE TABLE favicon_bitmaps(id INTEGER PRIMARY KEY,icon_id INTEGER NOT NULL,last_updated INTEGER DEFAULT 0,image_data BLOB,width INTEGER DEFAULT 0,height INTEGER DEFAULT 0,last_requested INTEGER DEFAULT 0);
CREATE INDEX favicon_bitmaps_icon_id ON favicon_bitmaps(icon_id);
)";

const char kChromiumCookiesSchema[] = R"(
CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);
INSERT INTO meta VALUES('version','24'),('last_compatible_version','24');
CREATE TABLE cookies(creation_utc INTEGER NOT NULL,host_key TEXT NOT NULL,top_frame_site_key TEXT NOT NULL,name TEXT NOT NULL,value TEXT NOT NULL,encrypted_value BLOB NOT NULL,path TEXT NOT NULL,expires_utc INTEGER NOT NULL,is_secure INTEGER NOT NULL,is_httponly INTEGER NOT NULL,last_access_utc INTEGER NOT NULL,has_expires INTEGER NOT NULL,is_persistent INTEGER NOT NULL,priority INTEGER NOT NULL,samesite INTEGER NOT NULL,source_scheme INTEGER NOT NULL,source_port INTEGER NOT NULL,last_update_utc INTEGER NOT NULL,source_type INTEGER NOT NULL,has_cross_site_ancestor INTEGER NOT NULL);
CREATE UNIQUE INDEX cookies_unique_index ON cookies(host_key, top_frame_site_key, has_cross_site_ancestor, name, path, source_scheme, source_port);
)";

const char kChromiumWebDataSchema[] = R"(
CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);
INSERT INTO meta VALUES('version','134'),('last_compatible_version','134');
CREATE TABLE autofill (name VARCHAR, value VARCHAR, value_lower VARCHAR, date_created INTEGER DEFAULT 0, date_last_used INTEGER DEFAULT 0, count INTEGER DEFAULT 1, PRIMARY KEY (name, value));
CREATE INDEX autofill_name ON autofill (name);
CREATE TABLE keywords (id INTEGER PRIMARY KEY,short_name VARCHAR NOT NULL,keyword VARCHAR NOT NULL,favicon_url VARCHAR NOT NULL,url VARCHAR NOT NULL,safe_for_autoreplace INTEGER,originating_url VARCHAR,date_created INTEGER DEFAULT 0,usage_count INTEGER DEFAULT 0,input_encodings VARCHAR,suggest_url VARCHAR,prepopulate_id INTEGER DEFAULT 0);
INSERT INTO keywords(short_name,keyword,favicon_url,url) VALUES('Search','search.example','','https://search.example/?q={searchTerms}');
CREATE TABLE credit_cards (guid VARCHAR PRIMARY KEY,name_on_card VARCHAR,expiration_month INTEGER,expiration_year INTEGER,card_number_encrypted BLOB,date_modified INTEGER NOT NULL DEFAULT 0,origin VARCHAR DEFAULT '',use_count INTEGER NOT NULL DEFAULT 0,use_date INTEGER NOT NULL DEFAULT 0,billing_address_id VARCHAR,nickname VARCHAR);
INSERT INTO credit_cards(guid,name_on_card,expiration_month,expiration_year) VALUES('6c3b1f0e-card','J. Sample',12,2030);
)";

const char kChromiumLoginDataSchema[] = R"(
CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);
INSERT INTO meta VALUES('version','43'),('last_compatible_version','40');
CREATE TABLE logins (origin_url VARCHAR NOT NULL,action_url VARCHAR,username_element VARCHAR,username_value VARCHAR,password_element VARCHAR,password_value BLOB,submit_element VARCHAR,signon_realm VARCHAR NOT NULL,date_created INTEGER NOT NULL,blacklisted_by_user INTEGER NOT NULL,scheme INTEGER NOT NULL,password_type INTEGER,times_used INTEGER,form_data BLOB,display_name VARCHAR,icon_url VARCHAR,federation_url VARCHAR,skip_zero_click INTEGER,generation_upload_status INTEGER,possible_username_pairs BLOB,id INTEGER PRIMARY KEY AUTOINCREMENT,date_last_used INTEGER NOT NULL DEFAULT 0,moving_blocked_for BLOB,date_password_modified INTEGER NOT NULL DEFAULT 0,UNIQUE (origin_url, username_element, username_value, password_element, signon_realm));
CREATE INDEX logins_signon ON logins (signon_realm);
CREATE TABLE insecure_credentials (parent_id INTEGER REFERENCES logins ON UPDATE CASCADE ON DELETE CASCADE DEFERRABLE INITIALLY DEFERRED,insecurity_type INTEGER NOT NULL,create_time INTEGER NOT NULL,is_muted INTEGER NOT NULL DEFAULT 0,trigger_notification_from_backend INTEGER NOT NULL DEFAULT 0,UNIQUE (parent_id, insecurity_type));
CREATE TABLE password_notes (id INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL,parent_id INTEGER NOT NULL REFERENCES logins ON UPDATE CASCADE ON DELETE CASCADE DEFERRABLE INITIALLY DEFERRED,key VARCHAR NOT NULL,value BLOB,date_created INTEGER NOT NULL,confidential INTEGER,UNIQUE (parent_id, key));
)";

const char kChromiumTopSitesSchema[] = R"(
CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);
INSERT INTO meta VALUES('version','5'),('last_compatible_version','5');
CREATE TABLE top_sites(url TEXT NOT NULL PRIMARY KEY,url_rank INTEGER NOT NULL,title TEXT NOT NULL);
)";

const char kFirefoxPlacesSchema[] = R"(
PRAGMA journal_mode=WAL;
PRAGMA user_version=77;
CREATE TABLE moz_origins ( id INTEGER PRIMARY KEY, prefix TEXT NOT NULL, host TEXT NOT NULL, frecency INTEGER NOT NULL, recalc_frecency INTEGER NOT NULL DEFAULT 0, alt_frecency INTEGER, recalc_alt_frecency INTEGER NOT NULL DEFAULT 0, UNIQUE (prefix, host) );
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, typed INTEGER DEFAULT 0 NOT NULL, frecency INTEGER DEFAULT -1 NOT NULL, last_visit_date INTEGER , guid TEXT, foreign_count INTEGER DEFAULT 0 NOT NULL, url_hash INTEGER DEFAULT 0 NOT NULL , description TEXT, preview_image_url TEXT, site_name TEXT, origin_id INTEGER REFERENCES moz_origins(id), recalc_frecency INTEGER NOT NULL DEFAULT 0, alt_frecency INTEGER, recalc_alt_frecency INTEGER NOT NULL DEFAULT 0);
CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, from_visit INTEGER, place_id INTEGER, visit_date INTEGER, visit_type INTEGER, session INTEGER, source INTEGER DEFAULT 0 NOT NULL, triggeringPlaceId INTEGER);
CREATE TABLE moz_inputhistory (place_id INTEGER NOT NULL, input LONGVARCHAR NOT NULL, use_count INTEGER, PRIMARY KEY (place_id, input));
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL, parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT, dateAdded INTEGER, lastModified INTEGER, guid TEXT, syncStatus INTEGER NOT NULL DEFAULT 0, syncChangeCounter INTEGER NOT NULL DEFAULT 1);
CREATE TABLE moz_bookmarks_deleted (guid TEXT PRIMARY KEY, dateRemoved INTEGER NOT NULL DEFAULT 0);
CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY AUTOINCREMENT, keyword TEXT UNIQUE, place_id INTEGER, post_data TEXT);
CREATE TABLE moz_anno_attributes (id INTEGER PRIMARY KEY, name VARCHAR(32) UNIQUE NOT NULL);
CREATE TABLE moz_annos (id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL, anno_attribute_id INTEGER, content LONGVARCHAR, flags INTEGER DEFAULT 0, expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0, dateAdded INTEGER DEFAULT 0, lastModified INTEGER DEFAULT 0);
CREATE TABLE moz_items_annos (id INTEGER PRIMARY KEY, item_id INTEGER NOT NULL, anno_attribute_id INTEGER, content LONGVARCHAR, flags INTEGER DEFAULT 0, expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0, dateAdded INTEGER DEFAULT 0, lastModified INTEGER DEFAULT 0);
CREATE TABLE moz_meta (key TEXT PRIMARY KEY, value NOT NULL) WITHOUT ROWID;
CREATE TABLE moz_places_metadata (id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL, referrer_place_id INTEGER, created_at INTEGER NOT NULL DEFAULT 0, updated_at INTEGER NOT NULL DEFAULT 0, total_view_time INTEGER NOT NULL DEFAULT 0, typing_time INTEGER NOT NULL DEFAULT 0, key_presses INTEGER NOT NULL DEFAULT 0, scrolling_time INTEGER NOT NULL DEFAULT 0, scrolling_distance INTEGER NOT NULL DEFAULT 0, document_type INTEGER NOT NULL DEFAULT 0, search_query_id INTEGER);
CREATE TABLE moz_places_metadata_search_queries (id INTEGER PRIMARY KEY, terms TEXT NOT NULL UNIQUE);
CREATE TABLE moz_previews_tombstones (hash TEXT PRIMARY KEY) WITHOUT ROWID;
CREATE INDEX moz_places_url_hashindex ON moz_places (url_hash);
CREATE INDEX moz_places_hostindex ON moz_places (rev_host);
CREATE UNIQUE INDEX moz_places_guid_uniqueindex ON moz_places (guid);
CREATE INDEX moz_places_originidindex ON moz_places (origin_id);
CREATE INDEX moz_historyvisits_placedateindex ON moz_historyvisits (place_id, visit_date);
CREATE INDEX moz_historyvisits_dateindex ON moz_historyvisits (visit_date);
CREATE INDEX moz_bookmarks_itemindex ON moz_bookmarks (fk, type);
CREATE INDEX moz_annos_placeattributeindex ON moz_annos (place_id, anno_attribute_id);
INSERT INTO moz_meta VALUES('origin_frecency_count', 0);
INSERT INTO moz_bookmarks(id,type,parent,position,title,guid) VALUES(1,2,0,0,'','root________'),(2,2,1,0,'menu','menu________'),(3,2,1,1,'toolbar','toolbar_____');
INSERT INTO moz_anno_attributes(id,name) VALUES(1,'Places/SyncedTabs'),(2,'downloads/destinationFileURI');
)";

const char kFirefoxFaviconsSchema[] = R"(
PRAGMA journal_mode=WAL;
PRAGMA user_version=77;
CREATE TABLE moz_icons (id INTEGER PRIMARY KEY, icon_url TEXT NOT NULL, fixed_icon_url_hash INTEGER NOT NULL, width INTEGER NOT NULL DEFAULT 0, root INTEGER NOT NULL DEFAULT 0, color INTEGER, expire_ms INTEGER NOT NULL DEFAULT 0, flags INTEGER NOT NULL DEFAULT 0, data BLOB);
CREATE TABLE moz_pages_w_icons (id INTEGER PRIMARY KEY, page_url TEXT NOT NULL, page_url_hash INTEGER NOT NULL);
CREATE TABLE moz_icons_to_pages (page_id INTEGER NOT NULL, icon_id INTEGER NOT NULL, expire_ms INTEGER NOT NULL DEFAULT 0, PRIMARY KEY (page_id, icon_id), FOREIGN KEY (page_id) REFERENCES moz_pages_w_icons ON DELETE CASCADE, FOREIGN KEY (icon_id) REFERENCES moz_icons ON DELETE CASCADE) WITHOUT ROWID;
CREATE INDEX moz_icons_iconurlhashindex ON moz_icons (fixed_icon_url_hash);
CREATE INDEX moz_pages_w_icons_urlhashindex ON moz_pages_w_icons (page_url_hash);
)";

const char kFirefoxCookiesSchema[] = R"(
PRAGMA journal_mode=WAL;
PRAGMA user_version=16;
CREATE TABLE moz_cookies (id INTEGER PRIMARY KEY, originAttributes TEXT NOT NULL DEFAULT '', name TEXT, value TEXT, host TEXT, path TEXT, expiry INTEGER, lastAccessed INTEGER, creationTime INTEGER, isSecure INTEGER, isHttpOnly INTEGER, inBrowserElement INTEGER DEFAULT 0, sameSite INTEGER DEFAULT 0, rawSameSite INTEGER DEFAULT 0, schemeMap INTEGER DEFAULT 0, isPartitionedAttributeSet INTEGER DEFAULT 0, CONSTRAINT moz_uniqueid UNIQUE (name, host, path, originAttributes));
)";

const char kFirefoxFormHistorySchema[] = R"(
PRAGMA user_version=5;
CREATE TABLE moz_formhistory (id INTEGER PRIMARY KEY, fieldname TEXT NOT NULL, value TEXT NOT NULL, timesUsed INTEGER, firstUsed INTEGER, lastUsed INTEGER, guid TEXT);
CREATE TABLE moz_deleted_formhistory (id INTEGER PRIMARY KEY, timeDeleted INTEGER, guid TEXT);
CREATE TABLE moz_sources (id INTEGER PRIMARY KEY, source TEXT NOT NULL);
CREATE TABLE moz_history_to_sources (history_id INTEGER, source_id INTEGER, PRIMARY KEY (history_id, source_id), FOREIGN KEY (history_id) REFERENCES moz_formhistory(id) ON DELETE CASCADE, FOREIGN KEY (source_id) REFERENCES moz_sources(id) ON DELETE CASCADE) WITHOUT ROWID;
CREATE INDEX moz_formhistory_index ON moz_formhistory (fieldname);
)";

const char kFirefoxLoginsDbSchema[] = R"(
CREATE TABLE moz_meta (key TEXT PRIMARY KEY, value NOT NULL) WITHOUT ROWID;
INSERT INTO moz_meta VALUES('version', 1);
CREATE TABLE moz_logins (id INTEGER PRIMARY KEY, origin TEXT NOT NULL, form_action_origin TEXT, http_realm TEXT, username_field TEXT, password_field TEXT, encrypted_username BLOB, encrypted_password BLOB, guid TEXT UNIQUE, time_created INTEGER, time_last_used INTEGER, time_password_changed INTEGER, times_used INTEGER);
)";

namespace {

bool Done(int code)
{
    return code == SQLITE_DONE || code == SQLITE_OK;
}

// Chromium's times: microseconds since 1601, as a FILETIME counts them in tenths.
int64_t ChromiumNow()
{
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return static_cast<int64_t>((static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime) / 10);
}

// One insert with two text parameters into an existing database.
bool InsertRow(const std::wstring& path, const char* sql, const std::string& first, const std::string& second)
{
    TSqliteDatabase db;
    if (db.Open(path) != SQLITE_OK)
        return false;
    TSqliteStatement insert(db, sql);
    return Done(insert.Bind(1, std::string_view(first)).Bind(2, std::string_view(second)).Run());
}

std::string JsonText(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

bool CreateDatabase(const std::wstring& path, const char* schema)
{
    DeleteFileW(path.c_str());
    TSqliteDatabase db;
    return db.Create(path) == SQLITE_OK && db.Execute(schema) == SQLITE_OK;
}

bool RunSql(const std::wstring& path, const std::string& sql)
{
    TSqliteDatabase db;
    return db.Open(path) == SQLITE_OK && db.Execute(sql.c_str()) == SQLITE_OK;
}

int64_t TableRows(const std::wstring& path, const std::string& table)
{
    // Read-write, as a read-only connection would leave a WAL database's -wal and -shm files behind.
    TSqliteDatabase db;
    return db.Open(path) == SQLITE_OK ? db.CountRows(table) : -1;
}

std::string QueryText(const std::wstring& path, const std::string& sql)
{
    TSqliteDatabase db;
    if (db.Open(path) != SQLITE_OK)
        return {};
    TSqliteStatement query(db, sql);
    return query.Step() == SQLITE_ROW ? query.ColumnText(0) : std::string();
}

bool AddChromiumPages(const std::wstring& history, const std::wstring& favicons, const std::vector<TChromiumPage>& pages)
{
    TSqliteDatabase db;
    if (db.Open(history) != SQLITE_OK || db.Execute("BEGIN") != SQLITE_OK)
        return false;
    const int64_t now = ChromiumNow();
    TSqliteStatement page(db, "INSERT INTO urls(url,title,visit_count,typed_count,last_visit_time) VALUES(?1,?2,?3,1,?4)");
    TSqliteStatement visit(db, "INSERT INTO visits(url,visit_time,transition,segment_id) VALUES(?1,?2,805306368,?1)");
    TSqliteStatement segment(db, "INSERT INTO segments(id,name,url_id) VALUES(?1,?2,?1)");
    TSqliteStatement usage(db, "INSERT INTO segment_usage(segment_id,time_slot,visit_count) VALUES(?1,?2,?3)");
    TSqliteStatement term(db, "INSERT INTO keyword_search_terms(keyword_id,url_id,term,normalized_term) VALUES(2,?1,?2,?2)");
    bool ok = true;
    for (const TChromiumPage& p : pages) {
        page.Reset();
        ok = ok && Done(page.Bind(1, std::string_view(p.Url)).Bind(2, std::string_view(p.Title)).Bind(3, int64_t{p.Visits})
                            .Bind(4, now).Run());
        const int64_t id = sqlite3_last_insert_rowid(db.Get());
        for (int v = 0; v < p.Visits; ++v) {
            visit.Reset();
            ok = ok && Done(visit.Bind(1, id).Bind(2, now - 1000000 * v).Run());
        }
        segment.Reset();
        ok = ok && Done(segment.Bind(1, id).Bind(2, std::string_view(p.Url)).Run());
        usage.Reset();
        ok = ok && Done(usage.Bind(1, id).Bind(2, now).Bind(3, int64_t{p.Visits}).Run());
        if (id % 10 == 1) {
            term.Reset();
            ok = ok && Done(term.Bind(1, id).Bind(2, std::string_view(p.Title)).Run());
        }
    }
    ok = ok && db.Execute("COMMIT") == SQLITE_OK;
    if (!ok || favicons.empty())
        return ok;
    TSqliteDatabase icons;
    if (icons.Open(favicons) != SQLITE_OK || icons.Execute("BEGIN") != SQLITE_OK)
        return false;
    TSqliteStatement icon(icons, "INSERT INTO favicons(url,icon_type) VALUES(?1,1)");
    TSqliteStatement bitmap(icons, "INSERT INTO favicon_bitmaps(icon_id,last_updated,image_data,width,height) "
                                   "VALUES(?1,?2,x'89504E470D0A1A0A',16,16)");
    TSqliteStatement mapping(icons, "INSERT INTO icon_mapping(page_url,icon_id) VALUES(?1,?2)");
    for (const TChromiumPage& p : pages) {
        if (!p.Icon)
            continue;
        icon.Reset();
        ok = ok && Done(icon.Bind(1, std::string_view(p.Url + "favicon.ico")).Run());
        const int64_t id = sqlite3_last_insert_rowid(icons.Get());
        bitmap.Reset();
        ok = ok && Done(bitmap.Bind(1, id).Bind(2, now).Run());
        mapping.Reset();
        ok = ok && Done(mapping.Bind(1, std::string_view(p.Url)).Bind(2, id).Run());
    }
    return ok && icons.Execute("COMMIT") == SQLITE_OK;
}

bool AddChromiumDownload(const std::wstring& history, int id, const std::string& url, const std::wstring& target)
{
    TSqliteDatabase db;
    if (db.Open(history) != SQLITE_OK)
        return false;
    TSqliteStatement download(db, "INSERT INTO downloads VALUES(?1,?2,?3,?3,?4,1024,1024,1,0,0,x'',?4,0,?4,0,'',?5,'',?5,'','',"
                                  "'','','','','','application/octet-stream','application/octet-stream')");
    TSqliteStatement chain(db, "INSERT INTO downloads_url_chains(id,chain_index,url) VALUES(?1,0,?2)");
    return Done(download.Bind(1, int64_t{id}).Bind(2, "guid-" + std::to_string(id)).Bind(3, target).Bind(4, ChromiumNow())
                    .Bind(5, std::string_view(url)).Run()) &&
           Done(chain.Bind(1, int64_t{id}).Bind(2, std::string_view(url)).Run());
}

bool AddChromiumCookie(const std::wstring& cookies, const std::string& host, const std::string& name)
{
    TSqliteDatabase db;
    if (db.Open(cookies) != SQLITE_OK)
        return false;
    TSqliteStatement cookie(db, "INSERT INTO cookies VALUES(?1,?2,'',?3,'',x'763130',?4,?1,1,1,?1,1,1,1,0,2,443,?1,0,0)");
    return Done(cookie.Bind(1, ChromiumNow()).Bind(2, std::string_view(host)).Bind(3, std::string_view(name))
                    .Bind(4, std::string_view("/")).Run());
}

bool AddChromiumAutofill(const std::wstring& webData, const std::string& name, const std::string& value)
{
    return InsertRow(webData, "INSERT INTO autofill(name,value,value_lower,date_created,date_last_used) VALUES(?1,?2,lower(?2),1,1)",
                     name, value);
}

bool AddChromiumLogin(const std::wstring& loginData, const std::string& origin, const std::string& user)
{
    TSqliteDatabase db;
    if (db.Open(loginData) != SQLITE_OK)
        return false;
    TSqliteStatement login(db, "INSERT INTO logins(origin_url,action_url,username_element,username_value,password_element,"
                               "password_value,signon_realm,date_created,blacklisted_by_user,scheme) "
                               "VALUES(?1,?1,'user',?2,'pass',x'7631300102',?1,?3,0,0)");
    return Done(login.Bind(1, std::string_view(origin)).Bind(2, std::string_view(user)).Bind(3, ChromiumNow()).Run());
}

bool AddFirefoxPlaces(const std::wstring& places, const std::wstring& favicons, const std::vector<TFirefoxPage>& list)
{
    TSqliteDatabase db;
    if (db.Open(places) != SQLITE_OK || db.Execute("BEGIN") != SQLITE_OK)
        return false;
    // Firefox's times: microseconds since 1970.
    const int64_t now = (ChromiumNow() - 11644473600000000ll);
    TSqliteStatement origin(db, "INSERT OR IGNORE INTO moz_origins(prefix,host,frecency) VALUES(?1,?2,100)");
    TSqliteStatement originId(db, "SELECT id FROM moz_origins WHERE prefix=?1 AND host=?2");
    TSqliteStatement place(db, "INSERT INTO moz_places(url,title,rev_host,visit_count,frecency,last_visit_date,guid,"
                               "foreign_count,url_hash,origin_id) VALUES(?1,?2,'',?3,100,?4,?5,?6,?7,?8)");
    TSqliteStatement visit(db, "INSERT INTO moz_historyvisits(from_visit,place_id,visit_date,visit_type,session) "
                               "VALUES(0,?1,?2,1,0)");
    TSqliteStatement metadata(db, "INSERT INTO moz_places_metadata(place_id,created_at,updated_at,total_view_time) "
                                  "VALUES(?1,?2,?2,5000)");
    TSqliteStatement input(db, "INSERT OR IGNORE INTO moz_inputhistory(place_id,input,use_count) VALUES(?1,?2,1)");
    TSqliteStatement bookmark(db, "INSERT INTO moz_bookmarks(type,fk,parent,position,title,dateAdded,lastModified,guid) "
                                  "VALUES(1,?1,3,?2,?3,?4,?4,?5)");
    TSqliteStatement anno(db, "INSERT INTO moz_annos(place_id,anno_attribute_id,content,dateAdded) VALUES(?1,2,?2,?3)");
    bool ok = true;
    int64_t position = 0, serial = 0;
    for (const TFirefoxPage& p : list) {
        const size_t scheme = p.Url.find("://");
        const std::string prefix = scheme == std::string::npos ? "" : p.Url.substr(0, scheme + 3);
        const std::string rest = scheme == std::string::npos ? p.Url : p.Url.substr(scheme + 3);
        const std::string host = rest.substr(0, rest.find('/'));
        origin.Reset();
        originId.Reset();
        ok = ok && Done(origin.Bind(1, std::string_view(prefix)).Bind(2, std::string_view(host)).Run()) &&
             originId.Bind(1, std::string_view(prefix)).Bind(2, std::string_view(host)).Step() == SQLITE_ROW;
        const int64_t originKey = originId.ColumnInt(0);
        place.Reset();
        ok = ok && Done(place.Bind(1, std::string_view(p.Url)).Bind(2, std::string_view(p.Title)).Bind(3, int64_t{p.Visits})
                            .Bind(4, now).Bind(5, "guid" + std::to_string(++serial)).Bind(6, int64_t{p.Bookmarked})
                            .Bind(7, static_cast<int64_t>(std::hash<std::string>()(p.Url) & 0xFFFFFFFFFFFF))
                            .Bind(8, originKey).Run());
        const int64_t id = sqlite3_last_insert_rowid(db.Get());
        for (int v = 0; v < p.Visits; ++v) {
            visit.Reset();
            ok = ok && Done(visit.Bind(1, id).Bind(2, now - 1000000 * v).Run());
        }
        if (p.Visits > 0) {
            metadata.Reset();
            input.Reset();
            ok = ok && Done(metadata.Bind(1, id).Bind(2, now / 1000).Run()) &&
                 Done(input.Bind(1, id).Bind(2, std::string_view(host.substr(0, 3))).Run());
        }
        if (p.Bookmarked) {
            bookmark.Reset();
            ok = ok && Done(bookmark.Bind(1, id).Bind(2, position++).Bind(3, std::string_view(p.Title)).Bind(4, now)
                                .Bind(5, "bm" + std::to_string(serial)).Run());
        }
        if (p.Annotation) {
            anno.Reset();
            ok = ok && Done(anno.Bind(1, id).Bind(2, "file:///C:/Downloads/" + std::to_string(serial)).Bind(3, now).Run());
        }
    }
    ok = ok && db.Execute("COMMIT") == SQLITE_OK;
    if (!ok || favicons.empty())
        return ok;
    TSqliteDatabase icons;
    if (icons.Open(favicons) != SQLITE_OK || icons.Execute("BEGIN") != SQLITE_OK)
        return false;
    TSqliteStatement icon(icons, "INSERT INTO moz_icons(icon_url,fixed_icon_url_hash,width,root,data) VALUES(?1,?2,16,0,x'89504E47')");
    TSqliteStatement page(icons, "INSERT INTO moz_pages_w_icons(page_url,page_url_hash) VALUES(?1,?2)");
    TSqliteStatement link(icons, "INSERT INTO moz_icons_to_pages(page_id,icon_id) VALUES(?1,?2)");
    for (const TFirefoxPage& p : list) {
        if (!p.Icon)
            continue;
        icon.Reset();
        ok = ok && Done(icon.Bind(1, p.Url + "icon.png").Bind(2, int64_t{7}).Run());
        const int64_t iconId = sqlite3_last_insert_rowid(icons.Get());
        page.Reset();
        ok = ok && Done(page.Bind(1, std::string_view(p.Url)).Bind(2, int64_t{9}).Run());
        const int64_t pageId = sqlite3_last_insert_rowid(icons.Get());
        link.Reset();
        ok = ok && Done(link.Bind(1, pageId).Bind(2, iconId).Run());
    }
    return ok && icons.Execute("COMMIT") == SQLITE_OK;
}

bool AddFirefoxCookie(const std::wstring& cookies, const std::string& host, const std::string& name)
{
    return InsertRow(cookies, "INSERT INTO moz_cookies(originAttributes,name,value,host,path,expiry,lastAccessed,"
                              "creationTime,isSecure,isHttpOnly) VALUES('',?1,'v',?2,'/',4102444800,1,1,1,0)",
                     name, host);
}

bool AddFirefoxFormEntry(const std::wstring& formHistory, const std::string& field, const std::string& value)
{
    return InsertRow(formHistory, "INSERT INTO moz_formhistory(fieldname,value,timesUsed,firstUsed,lastUsed,guid) "
                                  "VALUES(?1,?2,1,1,1,?1)",
                     field, value);
}

std::string FirefoxProfilesIni(const std::vector<std::pair<std::string, bool>>& profiles)
{
    std::string ini = "[General]\r\nStartWithLastProfile=1\r\nVersion=2\r\n";
    for (size_t i = 0; i < profiles.size(); ++i)
        ini += "\r\n[Profile" + std::to_string(i) + "]\r\nName=profile" + std::to_string(i) + "\r\nIsRelative=" +
               (profiles[i].second ? "1" : "0") + "\r\nPath=" + profiles[i].first + "\r\n";
    return ini;
}

std::string FirefoxInstallsIni(const std::string& defaultPath)
{
    return "[308046B0AF4A39CB]\r\nDefault=" + defaultPath + "\r\nLocked=1\r\n";
}

std::string ChromiumBookmarksJson(const std::vector<std::pair<std::string, std::string>>& pages)
{
    std::string bar;
    int id = 4;
    for (size_t i = 0; i < pages.size(); ++i) {
        const std::string node = "{\"date_added\":\"13300000000000000\",\"id\":\"" + std::to_string(id++) +
                                 "\",\"name\":" + JsonText(pages[i].second) + ",\"type\":\"url\",\"url\":" +
                                 JsonText(pages[i].first) + "}";
        const std::string entry = i % 3 == 2 ? "{\"children\":[" + node + "],\"id\":\"" + std::to_string(id++) +
                                                   "\",\"name\":\"Folder\",\"type\":\"folder\"}"
                                             : node;
        bar += (bar.empty() ? "" : ",") + entry;
    }
    return "{\"checksum\":\"0123456789abcdef0123456789abcdef\",\"roots\":{\"bookmark_bar\":{\"children\":[" + bar +
           "],\"id\":\"1\",\"name\":\"Bookmarks bar\",\"type\":\"folder\"},\"other\":{\"children\":[],\"id\":\"2\","
           "\"name\":\"Other bookmarks\",\"type\":\"folder\"},\"synced\":{\"children\":[],\"id\":\"3\",\"name\":"
           "\"Mobile bookmarks\",\"type\":\"folder\"}},\"version\":1}";
}

std::string ChromiumLocalStateJson(const std::vector<std::string>& profiles)
{
    std::string cache;
    for (const std::string& name : profiles)
        cache += (cache.empty() ? "" : ",") + JsonText(name) + ":{\"name\":" + JsonText("Person " + name) +
                 ",\"is_using_default_name\":true}";
    return "{\"browser\":{\"enabled_labs_experiments\":[]},\"os_crypt\":{\"encrypted_key\":\"RFBBUEkBAAAA0Iyd3wEV0RGMegDAT8KX6wEAAAA=\"},"
           "\"profile\":{\"info_cache\":{" +
           cache + "},\"last_used\":\"Default\"}}";
}
