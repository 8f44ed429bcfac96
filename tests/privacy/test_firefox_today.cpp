// Today's Firefox: every profile of profiles.ini (relative, absolute, the Store build's), what each
// category removes and what always survives (bookmarks with their places, titles and icons; key4.db;
// the saved logins unless ticked), kept cookie hosts, and a running Firefox (process or held lock).
#include "BrowserFixture.h"

#include "BrowserData.h"
#include "common/CodePage.h"
#include "common/Handles.h"
#include "common/Kelvor_Routine.h"
#include "privacy/FirefoxProfiles.h"
#include "privacy/PrivacyCategories.h"
#include "support/ShellFolders.h"
#include "support/UnixLinks.h"

#include <map>

namespace {

enum TFirefoxCategory { kHistory, kCookies, kFormHistory, kSessions, kCache, kPasswords };
constexpr int kFirstFirefoxPosition = 75;

const std::string kBookmarked = "https://bookmarked.example/start";
const std::string kVisited = "https://visited.example/article";
const std::string kAnnotated = "https://files.example/setup.exe";

struct TFirefoxFiles {
    std::wstring Folder, Local;
    std::wstring Places, Favicons, Cookies, FormHistory, Key4, Logins, LoginsBackup, Prefs, Session;
    std::vector<std::wstring> SessionBackups, CacheFiles;
};

class PrivacyFirefoxToday : public PrivacyBrowserTest {
protected:
    std::wstring Firefox() const { return AppData + L"\\Mozilla\\Firefox"; }

    static std::wstring FirefoxSelection(std::initializer_list<int> categories)
    {
        std::wstring selection = AllPositions({});
        for (int category : categories)
            selection[static_cast<size_t>(kFirstFirefoxPosition + category - 1)] = L'1';
        return selection;
    }

    void WriteIni(const std::wstring& path, const std::string& text) const { WriteFile(path, text); }

    // A profile with something in every category; local is where its cache lies.
    TFirefoxFiles MakeProfile(const std::wstring& folder, const std::wstring& local) const
    {
        TFirefoxFiles f;
        f.Folder = folder;
        f.Local = local;
        f.Places = folder + L"\\places.sqlite";
        f.Favicons = folder + L"\\favicons.sqlite";
        f.Cookies = folder + L"\\cookies.sqlite";
        f.FormHistory = folder + L"\\formhistory.sqlite";
        WriteFile(folder + L"\\times.json", "{\"created\":1700000000000}");
        EXPECT_TRUE(CreateDatabase(f.Places, kFirefoxPlacesSchema));
        EXPECT_TRUE(CreateDatabase(f.Favicons, kFirefoxFaviconsSchema));
        EXPECT_TRUE(AddFirefoxPlaces(f.Places, f.Favicons,
                                     {{kBookmarked, "Start page", 4, true, true, false},
                                      {kVisited, "An article", 2, false, true, false},
                                      {kAnnotated, "setup.exe", 1, false, false, true}}));
        // The bookmarked site's root icon, which its page shows without a mapping of its own.
        EXPECT_TRUE(RunSql(f.Favicons, "INSERT INTO moz_icons(icon_url,fixed_icon_url_hash,width,root) VALUES"
                                       "('https://bookmarked.example/favicon.ico',1,16,1),"
                                       "('https://visited.example/favicon.ico',2,16,1)"));
        EXPECT_TRUE(CreateDatabase(f.Cookies, kFirefoxCookiesSchema));
        for (const char* host : {".tracker.example", "visited.example", ".keep.example", "www.keep.example"})
            EXPECT_TRUE(AddFirefoxCookie(f.Cookies, host, "id"));
        EXPECT_TRUE(CreateDatabase(f.FormHistory, kFirefoxFormHistorySchema));
        EXPECT_TRUE(AddFirefoxFormEntry(f.FormHistory, "searchbar-history", "cheap flights"));
        EXPECT_TRUE(AddFirefoxFormEntry(f.FormHistory, "email", "jo@example.com"));
        f.Key4 = folder + L"\\key4.db";
        WriteFile(f.Key4, std::string("SQLite format 3") + std::string(1, '\0') + std::string(2000, 'k'));
        f.Logins = folder + L"\\logins.json";
        WriteFile(f.Logins, "{\"nextId\":2,\"logins\":[{\"id\":1,\"hostname\":\"https://mail.example\"}]}");
        f.LoginsBackup = folder + L"\\logins-backup.json";
        WriteFile(f.LoginsBackup, "{\"nextId\":2,\"logins\":[]}");
        f.Prefs = folder + L"\\prefs.js";
        WriteFile(f.Prefs, "user_pref(\"browser.startup.page\", 3);\n");
        f.Session = folder + L"\\sessionstore.jsonlz4";
        WriteFile(f.Session, "mozLz40\0session");
        for (const wchar_t* name : {L"recovery.jsonlz4", L"recovery.baklz4", L"previous.jsonlz4"}) {
            f.SessionBackups.push_back(folder + L"\\sessionstore-backups\\" + name);
            WriteFile(f.SessionBackups.back(), "mozLz40\0backup");
        }
        for (const wchar_t* name : {L"cache2\\entries\\0A1B2C3D4E5F", L"cache2\\index", L"thumbnails\\a1b2c3.png"}) {
            f.CacheFiles.push_back(local + L"\\" + name);
            WriteFile(f.CacheFiles.back(), std::string(300, 'c'));
        }
        return f;
    }

    TFirefoxFiles MakeRelativeProfile(const std::string& relative = "Profiles/k3x9w2ad.default-release")
    {
        std::wstring below(relative.begin(), relative.end());
        std::replace(below.begin(), below.end(), L'/', L'\\');
        WriteIni(Firefox() + L"\\profiles.ini", FirefoxProfilesIni({{relative, true}}));
        return MakeProfile(Firefox() + L"\\" + below, LocalAppData + L"\\Mozilla\\Firefox\\" + below);
    }

    std::map<std::wstring, std::string> Snapshot(const TFirefoxFiles& f) const
    {
        return PrivacyBrowserTest::Snapshot({f.Places, f.Favicons, f.Cookies, f.FormHistory, f.Key4, f.Logins,
                                             f.LoginsBackup, f.Prefs, f.Session});
    }
};

TEST_F(PrivacyFirefoxToday, ABookmarkedPageKeepsItsBookmarkTitleAndIconWhileAllVisitsGo)
{
    const TFirefoxFiles f = MakeRelativeProfile();
    RunScan(FirefoxSelection({kHistory, kFormHistory, kSessions, kCache}));
    EXPECT_EQ(LinesWith(L"History: 2 pages, 7 visits"), std::vector<std::wstring>{f.Places + L"   History: 2 pages, 7 visits"});
    EXPECT_EQ(LinesWith(L"Form history: 2 entries").size(), 1u);
    EXPECT_EQ(LinesWith(f.Session).size(), 1u);
    for (const std::wstring& file : f.CacheFiles)
        EXPECT_EQ(LinesWith(file).size(), 1u) << testing::PrintToString(file);
    const std::string key4 = FileBytes(f.Key4), logins = FileBytes(f.Logins);

    RunRepair();
    EXPECT_TRUE(Scanner->LastRepair.AllDone()) << testing::PrintToString(Scanner->LastRepair.Left().front().Text);
    // The WAL databases were checkpointed and closed: no -wal or -shm is left where there was none.
    for (const std::wstring& db : {f.Places, f.Favicons, f.FormHistory})
        for (const wchar_t* suffix : {L"-wal", L"-shm", L"-journal"})
            EXPECT_FALSE(PathExists(db + suffix)) << testing::PrintToString(db + suffix);
    // The bookmark, its place and title stay; the visits and what they counted go.
    EXPECT_EQ(QueryText(f.Places, "SELECT url||'|'||title||'|'||visit_count||'|'||ifnull(last_visit_date,'none') FROM moz_places"),
              kBookmarked + "|Start page|0|none");
    EXPECT_EQ(QueryText(f.Places, "SELECT count(*) FROM moz_bookmarks WHERE fk=(SELECT id FROM moz_places)"), "1");
    EXPECT_EQ(QueryText(f.Places, "SELECT title FROM moz_bookmarks WHERE type=1"), "Start page");
    EXPECT_EQ(TableRows(f.Places, "moz_bookmarks"), 4);
    for (const char* table : {"moz_historyvisits", "moz_places_metadata", "moz_annos"})
        EXPECT_EQ(TableRows(f.Places, table), 0) << table;
    EXPECT_EQ(QueryText(f.Places, "SELECT group_concat(host) FROM moz_origins"), "bookmarked.example");
    EXPECT_EQ(QueryText(f.Places, "SELECT count(*) FROM moz_inputhistory WHERE place_id NOT IN (SELECT id FROM moz_places)"), "0");
    // Its icon stays, with its site's root icon; the other pages' icons go.
    EXPECT_EQ(QueryText(f.Favicons, "SELECT group_concat(page_url) FROM moz_pages_w_icons"), kBookmarked);
    EXPECT_EQ(QueryText(f.Favicons, "SELECT group_concat(icon_url, ' ') FROM (SELECT icon_url FROM moz_icons ORDER BY icon_url)"),
              "https://bookmarked.example/favicon.ico https://bookmarked.example/starticon.png");
    EXPECT_EQ(TableRows(f.Favicons, "moz_icons_to_pages"), 1);
    EXPECT_EQ(TableRows(f.FormHistory, "moz_formhistory"), 0);
    EXPECT_FALSE(FileExists(f.Session));
    for (const std::wstring& file : f.SessionBackups)
        EXPECT_FALSE(FileExists(file));
    for (const std::wstring& file : f.CacheFiles)
        EXPECT_FALSE(FileExists(file));
    EXPECT_TRUE(FolderExists(f.Local + L"\\cache2\\entries"));
    EXPECT_EQ(FileBytes(f.Key4), key4);
    EXPECT_EQ(FileBytes(f.Logins), logins);
}

TEST_F(PrivacyFirefoxToday, KeptCookieHostsSurviveAndSavedLoginsGoOnlyWhenTicked)
{
    const TFirefoxFiles f = MakeRelativeProfile();
    WriteIgnoreIni("[Cookie]\r\nkeep.example=\r\n");
    const std::string key4 = FileBytes(f.Key4);
    const std::wstring withoutPasswords = FirefoxSelection({kHistory, kCookies, kFormHistory, kSessions, kCache});
    EXPECT_EQ(DefaultPrivacySelection().substr(kFirstFirefoxPosition - 1), L"111110");
    RunScan(withoutPasswords);
    EXPECT_EQ(LinesWith(L"Cookies: 2 cookies (2 kept)").size(), 1u);
    const std::string logins = FileBytes(f.Logins), backup = FileBytes(f.LoginsBackup);
    RunRepair();
    EXPECT_EQ(QueryText(f.Cookies, "SELECT group_concat(host, ' ') FROM (SELECT host FROM moz_cookies ORDER BY host)"),
              ".keep.example www.keep.example");
    EXPECT_EQ(FileBytes(f.Logins), logins);
    EXPECT_EQ(FileBytes(f.LoginsBackup), backup);
    EXPECT_EQ(FileBytes(f.Key4), key4);

    // Ticked: the saved logins go (also from logins.db, where a version keeps them), key4.db stays.
    const std::wstring loginsDb = f.Folder + L"\\logins.db";
    ASSERT_TRUE(CreateDatabase(loginsDb, kFirefoxLoginsDbSchema));
    ASSERT_TRUE(RunSql(loginsDb, "INSERT INTO moz_logins(origin,guid) VALUES('https://mail.example','{1}')"));
    RunScan(FirefoxSelection({kPasswords}));
    EXPECT_EQ(LinesWith(L"Saved passwords: 1 passwords").size(), 1u);
    RunRepair();
    EXPECT_FALSE(FileExists(f.Logins));
    EXPECT_FALSE(FileExists(f.LoginsBackup));
    EXPECT_EQ(TableRows(loginsDb, "moz_logins"), 0);
    EXPECT_EQ(TableRows(loginsDb, "moz_meta"), 1);
    EXPECT_EQ(FileBytes(f.Key4), key4);
}

TEST_F(PrivacyFirefoxToday, AHeldProfileLockOrARunningFirefoxLeavesEverythingUnchanged)
{
    const TFirefoxFiles f = MakeRelativeProfile();
    const auto before = Snapshot(f);
    const std::wstring all = FirefoxSelection({kHistory, kCookies, kFormHistory, kSessions, kCache, kPasswords});
    {
        // Firefox holds its profile's lock without sharing it.
        WriteFile(f.Folder + L"\\parent.lock", "");
        const THandle lock(CreateFileW((f.Folder + L"\\parent.lock").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock);
        RunScan(all);
        for (const wchar_t* what : {L"History", L"Cookies", L"Form history"})
            EXPECT_EQ(LinesWith(std::wstring(what) + L" (in use: cleaned once Mozilla Firefox is closed)").size(), 1u)
                << testing::PrintToString(what);
        RunRepair();
        ExpectUnchanged(before);
        for (const std::wstring& file : f.SessionBackups)
            EXPECT_TRUE(FileExists(file));
        EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Removed), static_cast<int>(f.CacheFiles.size()))
            << "only the cache goes; left: " << Scanner->LastRepair.Left().size() << ", listed: "
            << testing::PrintToString(ListedLines());
    }
    {
        StandInProcess firefox(Root / L"Outside\\firefox.exe");
        ASSERT_TRUE(firefox.Running());
        RunScan(all);
        RunRepair();
        ExpectUnchanged(before);
        EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Removed), 0);
    }
}

TEST_F(PrivacyFirefoxToday, EveryProfileIsFoundAndOnlyProfilesThatStayInsideOrAreRealAreUsed)
{
    const std::wstring firefox = Firefox();
    const TFirefoxFiles relative = MakeProfile(firefox + L"\\Profiles\\a.default", LocalAppData + L"\\Mozilla\\Firefox\\Profiles\\a.default");
    const TFirefoxFiles second = MakeProfile(firefox + L"\\Profiles\\b.work", LocalAppData + L"\\Mozilla\\Firefox\\Profiles\\b.work");
    const TFirefoxFiles absolute = MakeProfile(Root.MakeFolder(L"Outside\\Custom Profile"), Root / L"Outside\\Custom Profile");
    // A folder that is no profile, and one inside the user's documents.
    Root.MakeFolder(L"Outside\\Not A Profile");
    const std::wstring documents = Root.MakeFolder(L"Documents");
    SetUserShellFolder(L"Personal", documents);
    MakeProfile(documents + L"\\Firefox Profile", documents + L"\\Firefox Profile");
    const TFirefoxFiles outside = MakeProfile(Root.MakeFolder(L"Outside\\Stolen"), Root / L"Outside\\Stolen");
    std::string ini = FirefoxProfilesIni({{"Profiles/b.work", true},
                                          {"Profiles/a.default", true},
                                          {"../../../Outside/Stolen", true},
                                          {"Profiles/../../../../Outside/Stolen", true},
                                          {WideToUtf8(absolute.Folder), false},
                                          {WideToUtf8(Root / L"Outside\\Not A Profile"), false},
                                          {WideToUtf8(documents + L"\\Firefox Profile"), false},
                                          {WideToUtf8(Root / L"Outside\\Custom Profile\\..\\Stolen"), false},
                                          {"Profiles/a.default:stream", true}});
    // A section without a path, and a section that comes twice.
    ini += "[Profile20]\r\nName=nopath\r\nIsRelative=1\r\n[Profile21]\r\nIsRelative=1\r\nPath=Profiles/b.work\r\n"
           "[Profile21]\r\nIsRelative=1\r\nPath=../../../Outside/Stolen\r\n";
    WriteIni(firefox + L"\\profiles.ini", ini);
    WriteIni(firefox + L"\\installs.ini", FirefoxInstallsIni("Profiles/a.default"));

    const std::vector<TFirefoxProfile> profiles = FirefoxProfiles(FirefoxPlaces(AppData, LocalAppData)[0]);
    std::vector<std::wstring> folders;
    for (const TFirefoxProfile& p : profiles)
        folders.push_back(p.Folder);
    const std::wstring inDocuments = documents + L"\\Firefox Profile";
    EXPECT_EQ(folders, (std::vector<std::wstring>{relative.Folder, second.Folder, absolute.Folder, inDocuments}))
        << "the installation's default first, then the file's order";
    EXPECT_TRUE(profiles.at(0).Default);
    EXPECT_EQ(profiles.at(2).Root, absolute.Folder) << "an absolute profile is its own root";

    // The profile in the documents is refused by the folder guard when it is scanned, and the report
    // says so.
    RunScan(FirefoxSelection({kHistory}));
    EXPECT_EQ(LinesWith(L"History: 2 pages").size(), 3u);
    EXPECT_TRUE(LinesWith(outside.Folder).empty());
    EXPECT_EQ(LinesWith(inDocuments), std::vector<std::wstring>{L"Skipped " + inDocuments +
                                                              L": it lies inside the protected folder " + documents + L"."});

    // A damaged file lists nothing at all.
    for (const std::string& damaged : {std::string("[Profile0]\r\nIsRelative=1\r\nPath=Profiles/a.default\r\n\0\0", 52),
                                       std::string("[Profile0]\r\nIsRelative=1\r\nPath=Profiles/a.default\xff\xfe\r\n")}) {
        WriteIni(firefox + L"\\profiles.ini", damaged);
        EXPECT_TRUE(FirefoxProfiles(FirefoxPlaces(AppData, LocalAppData)[0]).empty());
    }
}

TEST_F(PrivacyFirefoxToday, AProfileThatIsALinkListsNothing)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "links are made with the Unix tools";
    const TFirefoxFiles outside = MakeProfile(Root.MakeFolder(L"Outside\\Linked"), Root / L"Outside\\Linked");
    Root.MakeFolder(L"AppData\\Mozilla\\Firefox\\Profiles");
    ASSERT_TRUE(MakeUnixSymlink(outside.Folder, Firefox() + L"\\Profiles\\linked.default"));
    ASSERT_TRUE(MakeUnixSymlink(outside.Folder, Root.MakeFolder(L"Outside\\Links") + L"\\absolute"));
    WriteIni(Firefox() + L"\\profiles.ini",
             FirefoxProfilesIni({{"Profiles/linked.default", true}, {WideToUtf8(Root / L"Outside\\Links\\absolute"), false}}));
    const auto before = Snapshot(outside);
    EXPECT_EQ(RunScan(FirefoxSelection({kHistory, kCookies, kFormHistory, kSessions, kCache, kPasswords})), 0);
    RunRepair();
    ExpectUnchanged(before);
    EXPECT_TRUE(RemoveUnixLink(Firefox() + L"\\Profiles\\linked.default"));
    EXPECT_TRUE(RemoveUnixLink(Root / L"Outside\\Links\\absolute"));
}

TEST_F(PrivacyFirefoxToday, TheStoreBuildKeepsTheSameLayoutBelowItsPackage)
{
    const std::wstring store = LocalAppData + L"\\Packages\\Mozilla.Firefox_n80bbvh6b1yt2\\LocalCache";
    WriteIni(store + L"\\Roaming\\Mozilla\\Firefox\\profiles.ini", FirefoxProfilesIni({{"Profiles/s.default-release", true}}));
    const TFirefoxFiles f = MakeProfile(store + L"\\Roaming\\Mozilla\\Firefox\\Profiles\\s.default-release",
                                        store + L"\\Local\\Mozilla\\Firefox\\Profiles\\s.default-release");
    RunScan(FirefoxSelection({kHistory, kCache}));
    EXPECT_EQ(LinesWith(f.Places + L"   History: 2 pages, 7 visits").size(), 1u);
    RunRepair();
    EXPECT_EQ(TableRows(f.Places, "moz_historyvisits"), 0);
    for (const std::wstring& file : f.CacheFiles)
        EXPECT_FALSE(FileExists(file)) << testing::PrintToString(file);
}

} // namespace
