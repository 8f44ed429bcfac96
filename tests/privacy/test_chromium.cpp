// The browsers built on Chromium: what each category removes, what always survives (bookmarks and
// their pages and icons, Local State, Preferences, extension storage, other tables, saved passwords
// unless ticked), kept cookie hosts, databases held by a running browser or damaged, and profiles
// that lead elsewhere.
#include "BrowserFixture.h"

#include "BrowserData.h"
#include "common/JsonFile.h"
#include "common/Kelvor_Routine.h"
#include "privacy/ChromiumProfiles.h"
#include "privacy/CookieKeepList.h"
#include "privacy/PrivacyCategories.h"
#include "privacy/Processes.h"
#include "support/UnixLinks.h"

#include <functional>
#include <map>

namespace {

enum TChromiumCategory { kHistory, kDownloads, kCookies, kCache, kSessions, kFormData, kPasswords };
constexpr int kChrome = 0, kEdge = 1, kOpera = 4;

const std::string kBookmarked = "https://bookmarked.example/";
const std::string kVisited = "https://visited.example/page";
const std::string kOnce = "https://once.example/";

// A Chromium profile with something in every category, and beside it what must survive.
struct TChromiumProfile {
    std::wstring Folder;
    std::wstring History, Favicons, Cookies, WebData, LoginData, TopSites, Bookmarks, Preferences;
    std::vector<std::wstring> CacheFiles, SessionFiles, Untouched;
    std::wstring Download; // the downloaded file
};

class PrivacyChromium : public PrivacyBrowserTest {
protected:
    std::wstring UserData(const std::wstring& below = L"Google\\Chrome\\User Data") const
    {
        return LocalAppData + L"\\" + below;
    }

    TChromiumProfile MakeProfile(const std::wstring& folder) const
    {
        TChromiumProfile p;
        p.Folder = folder;
        Root.MakeFolder(folder.substr(Root.Path().size() + 1) + L"\\Network");
        p.History = folder + L"\\History";
        p.Favicons = folder + L"\\Favicons";
        p.Cookies = folder + L"\\Network\\Cookies";
        p.WebData = folder + L"\\Web Data";
        p.LoginData = folder + L"\\Login Data";
        p.TopSites = folder + L"\\Top Sites";
        EXPECT_TRUE(CreateDatabase(p.History, kChromiumHistorySchema));
        EXPECT_TRUE(CreateDatabase(p.Favicons, kChromiumFaviconsSchema));
        EXPECT_TRUE(AddChromiumPages(p.History, p.Favicons,
                                     {{kBookmarked, "Bookmarked", 3, true}, {kVisited, "Visited", 2, true}, {kOnce, "Once", 1, false}}));
        p.Download = Root.MakeFile(L"Outside\\setup-download.exe", 40);
        EXPECT_TRUE(AddChromiumDownload(p.History, 1, "https://files.example/setup.exe", p.Download));
        EXPECT_TRUE(CreateDatabase(p.Cookies, kChromiumCookiesSchema));
        for (const char* host : {".tracker.example", "www.news.example", ".keep.example", "mail.keep.example"})
            EXPECT_TRUE(AddChromiumCookie(p.Cookies, host, "id"));
        EXPECT_TRUE(CreateDatabase(p.WebData, kChromiumWebDataSchema));
        EXPECT_TRUE(AddChromiumAutofill(p.WebData, "email", "jo@example.com"));
        EXPECT_TRUE(AddChromiumAutofill(p.WebData, "city", "Springfield"));
        EXPECT_TRUE(CreateDatabase(p.LoginData, kChromiumLoginDataSchema));
        EXPECT_TRUE(AddChromiumLogin(p.LoginData, "https://mail.example/", "jo"));
        EXPECT_TRUE(CreateDatabase(p.TopSites, kChromiumTopSitesSchema));
        EXPECT_TRUE(RunSql(p.TopSites, "INSERT INTO top_sites VALUES('https://visited.example/page',0,'Visited')"));
        p.Bookmarks = folder + L"\\Bookmarks";
        WriteFile(p.Bookmarks, ChromiumBookmarksJson({{kBookmarked, "Bookmarked"}}));
        p.Preferences = folder + L"\\Preferences";
        WriteFile(p.Preferences, "{\"profile\":{\"name\":\"Person 1\"}}");
        for (const wchar_t* name : {L"Cache\\Cache_Data\\f_000001", L"Cache\\Cache_Data\\index", L"Code Cache\\js\\index",
                                    L"GPUCache\\data_0"}) {
            p.CacheFiles.push_back(folder + L"\\" + name);
            WriteFile(p.CacheFiles.back(), std::string(100, 'c'));
        }
        for (const wchar_t* name : {L"Current Session", L"Last Tabs", L"Sessions\\Session_13300000000000000", L"Visited Links"}) {
            p.SessionFiles.push_back(folder + L"\\" + name);
            WriteFile(p.SessionFiles.back(), std::string(50, 's'));
        }
        for (const wchar_t* name : {L"Local Extension Settings\\abcdefghijklmnop\\000003.log",
                                    L"IndexedDB\\chrome-extension_abcdefghijklmnop_0.indexeddb.leveldb\\000003.log",
                                    L"Local Storage\\leveldb\\000003.log", L"Extensions\\abcdefghijklmnop\\1.0\\manifest.json"}) {
            p.Untouched.push_back(folder + L"\\" + name);
            WriteFile(p.Untouched.back(), "{\"kept\":true}");
        }
        p.Untouched.insert(p.Untouched.end(), {p.Bookmarks, p.Preferences, p.LoginData});
        return p;
    }

    std::vector<std::wstring> AllFiles(const TChromiumProfile& p) const
    {
        std::vector<std::wstring> files = {p.History, p.Favicons, p.Cookies, p.WebData, p.LoginData, p.TopSites};
        files.insert(files.end(), p.Untouched.begin(), p.Untouched.end());
        return files;
    }

    static std::wstring ChromeSelection(std::initializer_list<int> categories)
    {
        std::wstring selection = AllPositions({});
        for (int category : categories)
            selection[static_cast<size_t>(ChromiumPosition(kChrome, category) - 1)] = L'1';
        return selection;
    }
};

TEST_F(PrivacyChromium, HistoryGoesWhileBookmarkedPagesTheirIconsAndEveryOtherStoreStay)
{
    const TChromiumProfile p = MakeProfile(Root.MakeFolder(L"LocalAppData\\Google\\Chrome\\User Data\\Default"));
    WriteFile(UserData() + L"\\Local State", ChromiumLocalStateJson({"Default"}));
    WriteFile(UserData() + L"\\ShaderCache\\data_1", std::string(64, 'g'));
    const auto kept = Snapshot(p.Untouched);
    const auto localState = FileBytes(UserData() + L"\\Local State");

    RunScan(ChromeSelection({kHistory, kDownloads, kCache, kSessions, kFormData}));
    EXPECT_EQ(LinesWith(L"History: 2 pages, 6 visits"), std::vector<std::wstring>{p.History + L"   History: 2 pages, 6 visits"});
    EXPECT_EQ(LinesWith(L"History: icons of 1 pages").size(), 1u);
    EXPECT_EQ(LinesWith(p.TopSites + L"   History: 1 entries").size(), 1u);
    EXPECT_EQ(LinesWith(L"Download history: 1 downloads").size(), 1u);
    EXPECT_EQ(LinesWith(L"Form data: 2 entries").size(), 1u);
    EXPECT_TRUE(LinesWith(L"Saved passwords").empty());
    EXPECT_TRUE(LinesWith(L"Cookies").empty());
    for (const std::wstring& file : p.CacheFiles)
        EXPECT_EQ(LinesWith(file + L"   ").size(), 1u) << testing::PrintToString(file);
    EXPECT_EQ(LinesWith(UserData() + L"\\ShaderCache\\data_1").size(), 1u);

    RunRepair();
    EXPECT_TRUE(Scanner->LastRepair.AllDone()) << testing::PrintToString(Scanner->LastRepair.Left().front().Text);
    // No journal or WAL file is left where there was none.
    for (const std::wstring& db : {p.History, p.Favicons, p.WebData, p.TopSites})
        for (const wchar_t* suffix : {L"-journal", L"-wal", L"-shm"})
            EXPECT_FALSE(PathExists(db + suffix)) << testing::PrintToString(db + suffix);
    // The bookmarked page keeps its row, title and icon; all visits go, and what they counted.
    EXPECT_EQ(TableRows(p.History, "urls"), 1);
    EXPECT_EQ(QueryText(p.History, "SELECT url||'|'||title||'|'||visit_count||'|'||typed_count||'|'||last_visit_time FROM urls"),
              kBookmarked + "|Bookmarked|0|0|0");
    for (const char* table : {"visits", "keyword_search_terms", "segments", "segment_usage", "downloads",
                              "downloads_url_chains"})
        EXPECT_EQ(TableRows(p.History, table), 0) << table;
    EXPECT_EQ(QueryText(p.Favicons, "SELECT page_url FROM icon_mapping"), kBookmarked);
    EXPECT_EQ(TableRows(p.Favicons, "favicons"), 1);
    EXPECT_EQ(TableRows(p.Favicons, "favicon_bitmaps"), 1);
    EXPECT_EQ(TableRows(p.TopSites, "top_sites"), 0);
    EXPECT_EQ(TableRows(p.TopSites, "meta"), 2) << "the browser's own bookkeeping stays";
    EXPECT_EQ(TableRows(p.History, "meta"), 2);
    // Form data: the autofill entries only.
    EXPECT_EQ(TableRows(p.WebData, "autofill"), 0);
    EXPECT_EQ(TableRows(p.WebData, "keywords"), 1);
    EXPECT_EQ(TableRows(p.WebData, "credit_cards"), 1);
    EXPECT_EQ(TableRows(p.Cookies, "cookies"), 4);
    EXPECT_TRUE(FileExists(p.Download)) << "the downloaded file stays";
    for (const std::wstring& file : p.CacheFiles)
        EXPECT_FALSE(FileExists(file)) << testing::PrintToString(file);
    EXPECT_TRUE(FolderExists(p.Folder + L"\\Cache\\Cache_Data"));
    EXPECT_TRUE(FolderExists(p.Folder + L"\\Code Cache\\js"));
    EXPECT_FALSE(FileExists(UserData() + L"\\ShaderCache\\data_1"));
    for (const std::wstring& file : p.SessionFiles)
        EXPECT_FALSE(FileExists(file)) << testing::PrintToString(file);
    ExpectUnchanged(kept);
    EXPECT_EQ(FileBytes(UserData() + L"\\Local State"), localState);

    // A second scan finds nothing left to remove.
    EXPECT_EQ(RunScan(ChromeSelection({kHistory, kDownloads, kCache, kSessions, kFormData})), 0);
}

TEST_F(PrivacyChromium, UnreadableBookmarksLeaveEveryPageAndIconWhileVisitsGo)
{
    const TChromiumProfile p = MakeProfile(Root.MakeFolder(L"LocalAppData\\Google\\Chrome\\User Data\\Default"));
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    for (const std::string& bookmarks : {std::string("{\"roots\": {\"bookmark_bar\": "), std::string("[1, 2]"),
                                         std::string("{\"roots\":{\"bar\":{\"type\":\"url\",\"url\":7}}}"), deep}) {
        SCOPED_TRACE(bookmarks.substr(0, 60));
        WriteFile(p.Bookmarks, bookmarks);
        EXPECT_TRUE(AddChromiumPages(p.History, L"", {{"https://again.example/", "Again", 2, false}}));
        RunScan(ChromeSelection({kHistory}));
        EXPECT_EQ(LinesWith(L"(the pages and their icons stay: the Bookmarks file cannot be read)").size(), 1u);
        EXPECT_TRUE(LinesWith(L"icons of").empty());
        const int64_t pages = TableRows(p.History, "urls");
        RunRepair();
        EXPECT_EQ(TableRows(p.History, "visits"), 0);
        EXPECT_EQ(TableRows(p.History, "urls"), pages);
        EXPECT_EQ(TableRows(p.Favicons, "icon_mapping"), 2);
    }
}

TEST_F(PrivacyChromium, KeptCookieHostsAndTheirSubdomainsSurvive)
{
    const TChromiumProfile p = MakeProfile(Root.MakeFolder(L"LocalAppData\\Google\\Chrome\\User Data\\Default"));
    WriteIgnoreIni("[Cookie]\r\nKEEP.example=\r\nlocalhost=\r\n*.news.example=\r\n=\r\nads.example.com/=\r\n");
    RunScan(ChromeSelection({kCookies}));
    EXPECT_EQ(LinesWith(L"Cookies: 2 cookies (2 kept)"), std::vector<std::wstring>{p.Cookies + L"   Cookies: 2 cookies (2 kept)"});
    // The entries that keep nothing are named in the report.
    for (const wchar_t* ignored : {L"\"localhost\"", L"\"*.news.example\"", L"\"\""})
        EXPECT_EQ(LinesWith(ignored).size(), 1u) << testing::PrintToString(ignored);
    RunRepair();
    EXPECT_TRUE(Scanner->LastRepair.AllDone());
    EXPECT_EQ(QueryText(p.Cookies, "SELECT group_concat(host_key, ' ') FROM (SELECT host_key FROM cookies ORDER BY host_key)"),
              ".keep.example mail.keep.example");
}

TEST(CookieKeepList, HostsAreKeptWithTheirSubdomainsOnly)
{
    const TCookieKeepList list({L"Example.com", L".shop.example", L"com", L"*.ads.example", L"", L"site.example/path",
                                L"user@site.example"});
    struct TCase {
        const wchar_t* Host;
        bool Kept;
    } cases[] = {
        {L"example.com", true},       {L".example.com", true},     {L"WWW.EXAMPLE.COM", true},
        {L"badexample.com", false},   {L"example.com.evil", false}, {L"shop.example", true},
        {L".deep.shop.example", true}, {L"other.com", false},       {L"ads.example", false},
        {L"site.example", false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(list.KeepsHost(c.Host), c.Kept) << testing::PrintToString(c.Host);
    EXPECT_EQ(list.Ignored(), (TWideStrings{L"com", L"*.ads.example", L""}));
    EXPECT_TRUE(list.KeepsInternetExplorerCookie(L"site.example/path"));
    EXPECT_TRUE(list.KeepsInternetExplorerCookie(L"www.example.com/"));
    EXPECT_FALSE(list.KeepsInternetExplorerCookie(L"site.example/"));
}

TEST_F(PrivacyChromium, ADatabaseHeldByAnotherProcessIsInUseAndUnchanged)
{
    const TChromiumProfile p = MakeProfile(Root.MakeFolder(L"LocalAppData\\Google\\Chrome\\User Data\\Default"));
    RunScan(ChromeSelection({kHistory, kCookies}));
    ASSERT_EQ(LinesWith(L"Cookies: 4 cookies").size(), 1u);
    // The browser takes its cookie database after the scan, with exclusive locking.
    DatabaseHolder holder(p.Cookies);
    ASSERT_TRUE(holder.Holding());
    EXPECT_TRUE(DatabaseHeld(p.Cookies));
    EXPECT_FALSE(DatabaseHeld(p.History));
    const std::string before = FileBytes(p.Cookies);
    RunRepair();
    EXPECT_EQ(FileBytes(p.Cookies), before);
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::InUse), 1);
    ASSERT_EQ(Scanner->LastRepair.Left().size(), 1u);
    EXPECT_EQ(Scanner->LastRepair.Left()[0].Text, p.Cookies + L"   Cookies: 4 cookies");
    EXPECT_EQ(TableRows(p.History, "visits"), 0) << "the databases that are free are cleaned";

    // Scanned while held: listed with the note, never opened for writing.
    RunScan(ChromeSelection({kCookies}));
    EXPECT_EQ(LinesWith(L"Cookies (in use: cleaned once Google Chrome is closed)").size(), 1u);
    EXPECT_EQ(FileBytes(p.Cookies), before);
}

TEST_F(PrivacyChromium, WhileTheBrowserRunsItsDatabasesAndSessionsWaitAndItsCacheIsCleaned)
{
    const TChromiumProfile p = MakeProfile(Root.MakeFolder(L"LocalAppData\\Google\\Chrome\\User Data\\Default"));
    const auto before = Snapshot(AllFiles(p));
    StandInProcess chrome(Root / L"Outside\\chrome.exe");
    ASSERT_TRUE(chrome.Running());
    RunScan(ChromeSelection({kHistory, kDownloads, kCookies, kCache, kSessions, kFormData, kPasswords}));
    for (const wchar_t* name : {L"History", L"Download history", L"Cookies", L"Form data", L"Saved passwords"})
        EXPECT_FALSE(LinesWith(std::wstring(name) + L" (in use: cleaned once Google Chrome is closed)").empty())
            << testing::PrintToString(name);
    RunRepair();
    ExpectUnchanged(before);
    for (const std::wstring& file : p.SessionFiles)
        EXPECT_TRUE(FileExists(file)) << testing::PrintToString(file);
    for (const std::wstring& file : p.CacheFiles)
        EXPECT_FALSE(FileExists(file)) << testing::PrintToString(file);
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Removed), static_cast<int>(p.CacheFiles.size()));
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::InUse), Scanner->LastRepair.Total() - static_cast<int>(p.CacheFiles.size()));
}

TEST_F(PrivacyChromium, ADamagedDatabaseFailsWithSqlitesMessageAndStaysAsItWas)
{
    const TChromiumProfile p = MakeProfile(Root.MakeFolder(L"LocalAppData\\Google\\Chrome\\User Data\\Default"));
    // Not a database at all, and a database whose table pages were overwritten after the scan.
    WriteFile(p.WebData, std::string(4096, 'x'));
    RunScan(ChromeSelection({kHistory, kFormData}));
    EXPECT_EQ(LinesWith(L"Form data (cannot be read and stays as it is: file is not a database)").size(), 1u);
    {
        std::string bytes = FileBytes(p.History);
        ASSERT_GT(bytes.size(), 8192u);
        for (size_t i = 4096; i < bytes.size(); i += 97)
            bytes[i] = static_cast<char>(0xA5);
        WriteTextFile(p.History, bytes);
    }
    const auto before = Snapshot({p.History, p.WebData});
    RunRepair();
    ExpectUnchanged(before);
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Failed), 2);
    for (const TRepairReport::TItem& left : Scanner->LastRepair.Left())
        EXPECT_TRUE(left.Text.find(L"not a database") != std::wstring::npos ||
                    left.Text.find(L"malformed") != std::wstring::npos || left.Text.find(L"quick_check") != std::wstring::npos)
            << testing::PrintToString(left.Text);
}

TEST_F(PrivacyChromium, ProfilesComeFromLocalStateElseDefaultAndProfileFolders)
{
    for (const wchar_t* name : {L"Default", L"Profile 1", L"Profile 7", L"Work", L"Other"})
        MakeProfile(Root.MakeFolder(std::wstring(L"LocalAppData\\Google\\Chrome\\User Data\\") + name));
    const std::wstring state = UserData() + L"\\Local State";
    EXPECT_EQ(AsSet(ChromiumProfileNames(UserData())), (std::set<std::wstring>{L"Default", L"Profile 1", L"Profile 7"}));
    WriteFile(state, ChromiumLocalStateJson({"Work", "Profile 7", "..", "..\\..\\Outside", "C:\\Windows", "x."}));
    EXPECT_EQ(AsSet(ChromiumProfileNames(UserData())), (std::set<std::wstring>{L"Work", L"Profile 7"}));
    const std::string fallbacks[] = {
        "", "not json", "{\"profile\":[1,2]}", "{\"profile\":{\"info_cache\":\"Default\"}}", "{\"profile\":{\"info_cache\":{}}}",
        "[]", std::string(100000, '[') + std::string(100000, ']'),
    };
    for (const std::string& text : fallbacks) {
        SCOPED_TRACE(text.substr(0, 40));
        WriteFile(state, text);
        EXPECT_EQ(AsSet(ChromiumProfileNames(UserData())), (std::set<std::wstring>{L"Default", L"Profile 1", L"Profile 7"}));
    }
    DeleteFileW(state.c_str());
    EXPECT_EQ(RunScan(ChromeSelection({kFormData})), 3);
}

TEST_F(PrivacyChromium, AProfileThatIsALinkOrLeadsElsewhereListsNothing)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "links are made with the Unix tools";
    const TChromiumProfile outside = MakeProfile(Root.MakeFolder(L"Outside\\Profile"));
    Root.MakeFolder(L"LocalAppData\\Google\\Chrome\\User Data");
    ASSERT_TRUE(MakeUnixSymlink(outside.Folder, UserData() + L"\\Default"));
    const auto before = Snapshot(AllFiles(outside));
    EXPECT_EQ(RunScan(ChromeSelection({kHistory, kDownloads, kCookies, kCache, kSessions, kFormData, kPasswords})), 0);
    RunRepair();
    ExpectUnchanged(before);
    for (const std::wstring& file : outside.CacheFiles)
        EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(RemoveUnixLink(UserData() + L"\\Default"));
}

TEST_F(PrivacyChromium, ACacheFolderSwappedForALinkAfterTheScanLosesNothing)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "links are made with the Unix tools";
    const TChromiumProfile p = MakeProfile(Root.MakeFolder(L"LocalAppData\\Google\\Chrome\\User Data\\Default"));
    RunScan(ChromeSelection({kCache}));
    ASSERT_EQ(Scanner->Findings.FoundCount(), static_cast<int32_t>(p.CacheFiles.size()));
    // Files of the same names in another folder of the profile, inside the browser's own folder.
    const std::wstring cacheData = p.Folder + L"\\Cache\\Cache_Data";
    const std::wstring kept = Root.MakeFolder(L"LocalAppData\\Google\\Chrome\\User Data\\Default\\Kept");
    std::vector<std::wstring> keptFiles;
    for (const wchar_t* name : {L"f_000001", L"index"}) {
        keptFiles.push_back(kept + L"\\" + name);
        WriteFile(keptFiles.back(), "precious");
    }
    ASSERT_TRUE(RemoveUnixTree(cacheData));
    ASSERT_TRUE(MakeUnixSymlink(kept, cacheData));
    RunRepair();
    for (const std::wstring& file : keptFiles)
        EXPECT_EQ(FileBytes(file), "precious") << testing::PrintToString(file);
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Refused), 2);
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Removed), static_cast<int>(p.CacheFiles.size()) - 2);
    EXPECT_TRUE(RemoveUnixLink(cacheData));
}

TEST_F(PrivacyChromium, SavedPasswordsAreOffByDefaultAndGoOnlyWhenTicked)
{
    const std::wstring defaults = DefaultPrivacySelection();
    ASSERT_EQ(defaults.size(), kPrivacyCategoryCount);
    EXPECT_EQ(defaults.substr(0, 32), L"10100011010111111111111111111111");
    for (int browser = 0; browser < 6; ++browser)
        for (int category = kHistory; category <= kPasswords; ++category)
            EXPECT_EQ(defaults[static_cast<size_t>(ChromiumPosition(browser, category) - 1)], category == kPasswords ? L'0' : L'1');
    for (const TPrivacyCategory& category : kPrivacyCategories)
        if (std::wstring(category.Key).ends_with(L".passwords"))
            EXPECT_NE(std::wstring(category.Caption).find(L"lost"), std::wstring::npos);

    const TChromiumProfile p = MakeProfile(Root.MakeFolder(L"LocalAppData\\Google\\Chrome\\User Data\\Default"));
    const std::string logins = FileBytes(p.LoginData);
    RunScan(defaults);
    RunRepair();
    EXPECT_EQ(FileBytes(p.LoginData), logins);
    RunScan(ChromeSelection({kPasswords}));
    EXPECT_EQ(LinesWith(L"Saved passwords: 1 passwords").size(), 1u);
    RunRepair();
    EXPECT_EQ(TableRows(p.LoginData, "logins"), 0);
}

TEST_F(PrivacyChromium, TheDatabaseIsCompactedOnlyWhenTwiceItsSizeIsFree)
{
    const TChromiumProfile p = MakeProfile(Root.MakeFolder(L"LocalAppData\\Google\\Chrome\\User Data\\Default"));
    std::vector<TChromiumPage> many;
    for (int i = 0; i < 2000; ++i)
        many.push_back({"https://many.example/" + std::to_string(i), std::string(200, 't'), 2, false});
    ASSERT_TRUE(AddChromiumPages(p.History, L"", many));
    for (const bool room : {false, true}) {
        SCOPED_TRACE(room);
        ASSERT_TRUE(AddChromiumPages(p.History, L"", many));
        const size_t size = FileBytes(p.History).size();
        Scanner->Platform.FreeBytes = [&](const std::wstring&) { return room ? 2 * size : 2 * size - 1; };
        RunScan(ChromeSelection({kHistory}));
        RunRepair();
        EXPECT_EQ(TableRows(p.History, "visits"), 0);
        EXPECT_EQ(FileBytes(p.History).size() < size / 2, room);
    }
}

TEST_F(PrivacyChromium, EveryBrowserIsLookedForInItsOwnPlace)
{
    MakeProfile(Root.MakeFolder(L"LocalAppData\\Microsoft\\Edge\\User Data\\Default"));
    // Opera: the roaming folder is the profile; its cache lies in the local twin.
    const TChromiumProfile opera = MakeProfile(Root.MakeFolder(L"AppData\\Opera Software\\Opera Stable"));
    const std::wstring operaCache = LocalAppData + L"\\Opera Software\\Opera Stable\\Cache\\Cache_Data\\f_000009";
    WriteFile(operaCache, "cached");
    RunScan(AllPositions({ChromiumPosition(kEdge, kFormData), ChromiumPosition(kOpera, kFormData),
                          ChromiumPosition(kOpera, kCache)}));
    EXPECT_EQ(LinesWith(L"Form data: 2 entries").size(), 2u);
    EXPECT_EQ(LinesWith(opera.WebData).size(), 1u);
    EXPECT_EQ(LinesWith(operaCache).size(), 1u);
    EXPECT_EQ(LinesWith(opera.CacheFiles[0]).size(), 1u);
}

TEST(JsonFile, DepthAndDamageAreJudgedBeforeParsing)
{
    EXPECT_TRUE(JsonDepthWithin("[[[]]]", 3));
    EXPECT_FALSE(JsonDepthWithin("[[[[]]]]", 3));
    EXPECT_TRUE(JsonDepthWithin("[\"[[[[[[\", \"\\\"[[[[\"]", 1));
    EXPECT_EQ(ParseJson(std::string(100000, '[') + std::string(100000, ']')).Status, TJsonStatus::Damaged);
    EXPECT_EQ(ParseJson("{\"a\": [1, 2,").Status, TJsonStatus::Damaged);
    EXPECT_EQ(ParseJson("{\"a\": \"\xff\xfe\"}").Status, TJsonStatus::Damaged);
    EXPECT_EQ(ParseJson("{\"a\": [1, {\"b\": null}]}").Status, TJsonStatus::Read);
    EXPECT_EQ(ReadJsonFile(L"C:\\no-such-folder\\Local State").Status, TJsonStatus::Missing);
}

} // namespace
