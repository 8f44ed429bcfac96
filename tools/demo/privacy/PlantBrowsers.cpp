#include "PlantBrowsers.h"

#include "BrowserData.h"
#include "DemoSupport.h"

#include "common/AppFrame.h"
#include "common/CodePage.h"
#include "common/SafeDelete.h"

#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct TDemoProfile {
    const wchar_t* Folder; // below the local application-data folder
    std::vector<TChromiumPage> Pages;
    std::vector<std::pair<std::string, std::string>> Bookmarks;
    std::vector<const char*> CookieHosts;
    const char* Login;
};

const TDemoProfile kProfiles[] = {
    {L"Google\\Chrome\\User Data\\Default",
     {{"https://news.example.org/", "News of the day", 12, true},
      {"https://shop.example.net/cart", "Shopping cart", 3, true},
      {"https://mail.example.com/inbox", "Inbox", 25, true},
      {"https://search.example/?q=flights", "flights - Search", 2, false}},
     {{"https://news.example.org/", "News of the day"}, {"https://mail.example.com/inbox", "Inbox"}},
     {".news.example.org", ".shop.example.net", "mail.example.com", ".ads.tracker.example"},
     "https://mail.example.com/"},
    {L"Google\\Chrome\\User Data\\Profile 1",
     {{"https://bank.example/accounts", "My accounts", 4, true}, {"https://video.example/watch?v=1", "A video", 7, true}},
     {{"https://bank.example/accounts", "My accounts"}},
     {".bank.example", ".video.example"},
     "https://bank.example/"},
    {L"Microsoft\\Edge\\User Data\\Default",
     {{"https://maps.example/route", "Route to work", 5, true}, {"https://weather.example/", "Weather", 9, true}},
     {{"https://weather.example/", "Weather"}},
     {".weather.example", ".maps.example"},
     "https://portal.example/"},
};

// Today's Firefox, in the profile the demo's profiles.ini names (beside the Firefox 1 and 2 files).
const wchar_t kFirefoxProfile[] = L"Mozilla\\Firefox\\Profiles\\k3x9w2ad.default";
const std::vector<TFirefoxPage> kFirefoxPlaces = {
    {"https://www.example.org/", "Example start page", 9, true, true, false},
    {"https://docs.example.org/manual", "The manual", 4, true, true, false},
    {"https://travel.example/offers", "Cheap flights", 3, false, true, false},
    {"https://files.example/setup.exe", "setup.exe", 1, false, false, true},
    {"https://forum.example/thread/42", "A thread", 6, false, false, false},
};
const wchar_t* const kFirefoxCache[] = {L"cache2\\entries\\3F0A9C2D11", L"cache2\\entries\\7B2E41A0C3", L"cache2\\index"};

const wchar_t* const kCacheFiles[] = {L"Cache\\Cache_Data\\f_000001", L"Cache\\Cache_Data\\f_000002",
                                      L"Cache\\Cache_Data\\index", L"Code Cache\\js\\index", L"GPUCache\\data_0"};

std::wstring Local(const std::wstring& below)
{
    return TAppFrame().GetSpecialFolder(CSIDL_LOCAL_APPDATA) + L"\\" + below;
}

std::wstring UserDataOf(const std::wstring& profile)
{
    return profile.substr(0, profile.find_last_of(L'\\'));
}

bool WriteFileAt(const std::wstring& path, const std::string& bytes)
{
    return MakeParentFolders(path) && WriteWholeFile(path, bytes);
}

void PlantProfile(const TDemoProfile& demo)
{
    const std::wstring profile = Local(demo.Folder);
    MakeFolders(profile + L"\\Network");
    const std::wstring history = profile + L"\\History", favicons = profile + L"\\Favicons";
    const std::wstring cookies = profile + L"\\Network\\Cookies", logins = profile + L"\\Login Data";
    bool ok = CreateDatabase(history, kChromiumHistorySchema) && CreateDatabase(favicons, kChromiumFaviconsSchema) &&
              AddChromiumPages(history, favicons, demo.Pages);
    Report("history", history, ok);
    ok = CreateDatabase(cookies, kChromiumCookiesSchema);
    for (const char* host : demo.CookieHosts)
        ok = AddChromiumCookie(cookies, host, "session") && ok;
    Report("cookies", cookies, ok);
    Report("login", logins, CreateDatabase(logins, kChromiumLoginDataSchema) && AddChromiumLogin(logins, demo.Login, "jo"));
    Report("file", profile + L"\\Bookmarks", WriteFileAt(profile + L"\\Bookmarks", ChromiumBookmarksJson(demo.Bookmarks)));
    Report("file", profile + L"\\Preferences",
           WriteFileAt(profile + L"\\Preferences", "{\"profile\":{\"name\":\"Person\"}}"));
    for (const wchar_t* name : kCacheFiles)
        Report("cache", profile + L"\\" + name, WriteFileAt(profile + L"\\" + name, std::string(6000, 'c')));
    Report("file", profile + L"\\Current Session", WriteFileAt(profile + L"\\Current Session", std::string(900, 's')));
}

int64_t Count(const std::wstring& db, const char* table)
{
    return TableRows(db, table);
}

std::wstring Roaming(const std::wstring& below)
{
    return TAppFrame().GetSpecialFolder(CSIDL_APPDATA) + L"\\" + below;
}

void PlantFirefox()
{
    const std::wstring profile = Roaming(kFirefoxProfile);
    MakeFolders(profile);
    const std::wstring places = profile + L"\\places.sqlite", favicons = profile + L"\\favicons.sqlite";
    Report("history", places, CreateDatabase(places, kFirefoxPlacesSchema) &&
                                  CreateDatabase(favicons, kFirefoxFaviconsSchema) &&
                                  AddFirefoxPlaces(places, favicons, kFirefoxPlaces));
    const std::wstring cookies = profile + L"\\cookies.sqlite";
    bool ok = CreateDatabase(cookies, kFirefoxCookiesSchema);
    for (const char* host : {".example.org", "travel.example", ".forum.example", ".ads.tracker.example"})
        ok = AddFirefoxCookie(cookies, host, "session") && ok;
    Report("cookies", cookies, ok);
    const std::wstring forms = profile + L"\\formhistory.sqlite";
    Report("forms", forms, CreateDatabase(forms, kFirefoxFormHistorySchema) &&
                               AddFirefoxFormEntry(forms, "searchbar-history", "cheap flights") &&
                               AddFirefoxFormEntry(forms, "email", "jo@example.com"));
    Report("file", profile + L"\\sessionstore.jsonlz4", WriteFileAt(profile + L"\\sessionstore.jsonlz4", std::string(700, 's')));
    Report("file", profile + L"\\logins.json",
           WriteFileAt(profile + L"\\logins.json", "{\"nextId\":2,\"logins\":[{\"id\":1,\"hostname\":\"https://mail.example.com\"}]}"));
    Report("file", profile + L"\\key4.db", WriteFileAt(profile + L"\\key4.db", std::string(2048, 'k')));
    for (const wchar_t* name : kFirefoxCache)
        Report("cache", Local(kFirefoxProfile) + L"\\" + name, WriteFileAt(Local(kFirefoxProfile) + L"\\" + name, std::string(5000, 'c')));
}

void RemoveFirefox()
{
    const std::wstring profile = Roaming(kFirefoxProfile);
    for (const wchar_t* name : {L"places.sqlite", L"favicons.sqlite", L"cookies.sqlite", L"formhistory.sqlite",
                                L"sessionstore.jsonlz4", L"logins.json", L"key4.db"})
        Report("file", profile + L"\\" + name, OutcomeDone(DeleteFileSafe(profile + L"\\" + name)));
    for (const wchar_t* name : kFirefoxCache)
        Report("cache", Local(kFirefoxProfile) + L"\\" + name, OutcomeDone(DeleteFileSafe(Local(kFirefoxProfile) + L"\\" + name)));
}

} // namespace

void PlantBrowsers()
{
    for (const TDemoProfile& demo : kProfiles)
        PlantProfile(demo);
    Report("file", Local(L"Google\\Chrome\\User Data\\Local State"),
           WriteFileAt(Local(L"Google\\Chrome\\User Data\\Local State"), ChromiumLocalStateJson({"Default", "Profile 1"})));
    Report("file", Local(L"Microsoft\\Edge\\User Data\\Local State"),
           WriteFileAt(Local(L"Microsoft\\Edge\\User Data\\Local State"), ChromiumLocalStateJson({"Default"})));
    PlantFirefox();
}

void RemoveBrowsers()
{
    for (const TDemoProfile& demo : kProfiles) {
        const std::wstring profile = Local(demo.Folder);
        for (const wchar_t* name : {L"History", L"Favicons", L"Network\\Cookies", L"Login Data", L"Bookmarks",
                                    L"Preferences", L"Current Session"})
            Report("file", profile + L"\\" + name, OutcomeDone(DeleteFileSafe(profile + L"\\" + name)));
        for (const wchar_t* name : kCacheFiles)
            Report("cache", profile + L"\\" + name, OutcomeDone(DeleteFileSafe(profile + L"\\" + name)));
    }
    for (const wchar_t* state : {L"Google\\Chrome\\User Data\\Local State", L"Microsoft\\Edge\\User Data\\Local State"})
        Report("file", Local(state), OutcomeDone(DeleteFileSafe(Local(state))));
    RemoveFirefox();
}

void ShowBrowsers()
{
    for (const TDemoProfile& demo : kProfiles) {
        const std::wstring profile = Local(demo.Folder);
        int cache = 0;
        for (const wchar_t* name : kCacheFiles)
            cache += GetFileAttributesW((profile + L"\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
        const bool bookmarks = GetFileAttributesW((profile + L"\\Bookmarks").c_str()) != INVALID_FILE_ATTRIBUTES;
        std::printf("%s: %lld pages, %lld visits, bookmarks file %s, %lld cookies, %lld saved passwords, %d cache files\n",
                    WideToUtf8(demo.Folder).c_str(), static_cast<long long>(Count(profile + L"\\History", "urls")),
                    static_cast<long long>(Count(profile + L"\\History", "visits")), bookmarks ? "kept" : "missing",
                    static_cast<long long>(Count(profile + L"\\Network\\Cookies", "cookies")),
                    static_cast<long long>(Count(profile + L"\\Login Data", "logins")), cache);
    }
    const std::wstring firefox = Roaming(kFirefoxProfile);
    int cache = 0;
    for (const wchar_t* name : kFirefoxCache)
        cache += GetFileAttributesW((Local(kFirefoxProfile) + L"\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    std::printf("%s: %lld pages, %lld visits, %s bookmarks (%s), %lld cookies, %lld form entries, "
                "saved logins %s, %d cache files\n",
                WideToUtf8(kFirefoxProfile).c_str(), static_cast<long long>(Count(firefox + L"\\places.sqlite", "moz_places")),
                static_cast<long long>(Count(firefox + L"\\places.sqlite", "moz_historyvisits")),
                QueryText(firefox + L"\\places.sqlite", "SELECT count(*) FROM moz_bookmarks WHERE type=1").c_str(),
                QueryText(firefox + L"\\places.sqlite",
                          "SELECT group_concat(title, ', ') FROM moz_bookmarks WHERE type=1").c_str(),
                static_cast<long long>(Count(firefox + L"\\cookies.sqlite", "moz_cookies")),
                static_cast<long long>(Count(firefox + L"\\formhistory.sqlite", "moz_formhistory")),
                GetFileAttributesW((firefox + L"\\logins.json").c_str()) != INVALID_FILE_ATTRIBUTES ? "kept" : "missing", cache);
}
