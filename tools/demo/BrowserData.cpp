#include "BrowserData.h"

#include "common/Sqlite.h"

#include <windows.h>
#include <sqlite3.h>

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
    TSqliteDatabase db;
    return db.Open(path, true) == SQLITE_OK ? db.CountRows(table) : -1;
}

std::string QueryText(const std::wstring& path, const std::string& sql)
{
    TSqliteDatabase db;
    if (db.Open(path, true) != SQLITE_OK)
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
    TSqliteDatabase db;
    if (db.Open(webData) != SQLITE_OK)
        return false;
    TSqliteStatement entry(db, "INSERT INTO autofill(name,value,value_lower,date_created,date_last_used) VALUES(?1,?2,lower(?2),1,1)");
    return Done(entry.Bind(1, std::string_view(name)).Bind(2, std::string_view(value)).Run());
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
