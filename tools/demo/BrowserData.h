#pragma once
// Browser profiles as today's browsers lay them out, for the demo machine, the tests and the
// benchmarks: real SQLite databases with the tables and columns the privacy sweeper touches (and
// some it must leave alone), and the JSON files beside them.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class TSqliteDatabase;

// Chromium-based browsers.
extern const char kChromiumHistorySchema[];
extern const char kChromiumFaviconsSchema[];
extern const char kChromiumCookiesSchema[];
extern const char kChromiumWebDataSchema[];
extern const char kChromiumLoginDataSchema[];
extern const char kChromiumTopSitesSchema[];

// Creates the database with the schema, replacing a file of that name; true when it worked.
bool CreateDatabase(const std::wstring& path, const char* schema);
// Runs SQL (no parameters) on an existing database.
bool RunSql(const std::wstring& path, const std::string& sql);
// Rows of a table, -1 when it cannot be counted.
int64_t TableRows(const std::wstring& path, const std::string& table);
// The single text or number the query answers, empty when none.
std::string QueryText(const std::wstring& path, const std::string& sql);

struct TChromiumPage {
    std::string Url;
    std::string Title;
    int Visits = 1;
    bool Icon = false; // a favicon of its own in Favicons
};
// Pages with their visits (and a search term for every tenth, a segment for every page) in History,
// and their icons in Favicons when that path is given; all in one transaction each.
bool AddChromiumPages(const std::wstring& history, const std::wstring& favicons, const std::vector<TChromiumPage>& pages);
bool AddChromiumDownload(const std::wstring& history, int id, const std::string& url, const std::wstring& target);
bool AddChromiumCookie(const std::wstring& cookies, const std::string& host, const std::string& name);
bool AddChromiumAutofill(const std::wstring& webData, const std::string& name, const std::string& value);
bool AddChromiumLogin(const std::wstring& loginData, const std::string& origin, const std::string& user);

// Firefox.
extern const char kFirefoxPlacesSchema[];
extern const char kFirefoxFaviconsSchema[];
extern const char kFirefoxCookiesSchema[];
extern const char kFirefoxFormHistorySchema[];
extern const char kFirefoxLoginsDbSchema[]; // the saved logins of versions that keep them in SQLite

struct TFirefoxPage {
    std::string Url;
    std::string Title;
    int Visits = 1;
    bool Bookmarked = false;
    bool Icon = false;       // an icon of its own in favicons.sqlite
    bool Annotation = false; // a page annotation in moz_annos
};
// Places with their origins, visits (a metadata row and an input-history row for each visited page),
// bookmarks (in the toolbar folder) and icons; all in one transaction each.
bool AddFirefoxPlaces(const std::wstring& places, const std::wstring& favicons, const std::vector<TFirefoxPage>& list);
bool AddFirefoxCookie(const std::wstring& cookies, const std::string& host, const std::string& name);
bool AddFirefoxFormEntry(const std::wstring& formHistory, const std::string& field, const std::string& value);
// profiles.ini with one [ProfileN] section per (path, relative) pair, and the installs.ini naming the default.
std::string FirefoxProfilesIni(const std::vector<std::pair<std::string, bool>>& profiles);
std::string FirefoxInstallsIni(const std::string& defaultPath);

// "Bookmarks": the pages (address, title) in the bookmark bar, every third in a folder of its own.
std::string ChromiumBookmarksJson(const std::vector<std::pair<std::string, std::string>>& pages);
// "Local State" naming these profile folders under profile.info_cache.
std::string ChromiumLocalStateJson(const std::vector<std::string>& profiles);
