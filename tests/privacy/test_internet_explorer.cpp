// Internet Explorer's traces: typed addresses, the form and password stores, cookies from the real URL
// cache, and the history folder with links inside it.
#include "PrivacyFixture.h"

#include "common/CodePage.h"
#include "common/Kelvor_Routine.h"
#include "common/Registry.h"
#include "support/UnixLinks.h"

#include <fstream>
#include <iterator>
#include <set>

namespace {

const wchar_t kTypedUrls[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
const std::wstring kCurrentUser = L"HKEY_CURRENT_USER\\";

std::string ReadAll(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using PrivacyInternetExplorer = PrivacyTest;

TEST_F(PrivacyInternetExplorer, TypedAddressesArePlainStringValuesOnly)
{
    const std::vector<BYTE> address = TextBytes(L"http://example.test/");
    const TTypedValue values[] = {
        {L"url1", REG_SZ, address, true},
        {L"url2", REG_EXPAND_SZ, address, false},
        {L"url3", REG_BINARY, address, false},
        {L"url4", REG_DWORD, {1, 0, 0, 0}, false},
        {L"url5", REG_MULTI_SZ, address, false},
        {L"http://a.test/b", REG_SZ, address, true}, // a value name may hold "/"
        // String data as real hives hold it: empty, or of odd size.
        {L"url6", REG_SZ, {}, true},
        {L"url7", REG_SZ, {'h', 0, 't'}, true},
    };
    std::vector<std::wstring> lines, paths;
    for (const TTypedValue& v : values) {
        SetRegValue(kTypedUrls, v.Name, v.Type, v.Data);
        if (v.Listed) {
            lines.push_back(kCurrentUser + kTypedUrls + L"\\" + v.Name);
            paths.push_back(kCurrentUser + kTypedUrls + L"/" + v.Name);
        }
    }
    EXPECT_EQ(RunScan(Selection({1})), 4);
    EXPECT_EQ(AsSet(ListedLines()), AsSet(lines));
    EXPECT_EQ(AsSet(ItemPaths()), AsSet(paths));

    RunRepair();
    for (const TTypedValue& v : values)
        EXPECT_EQ(RegValueExists(HKEY_CURRENT_USER, kTypedUrls, v.Name), !v.Listed) << testing::PrintToString(v.Name);
    EXPECT_TRUE(Scanner->LastRepair.AllDone());
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Removed), 4);
}

TEST_F(PrivacyInternetExplorer, FormStoresAreListedOneLevelDeep)
{
    struct TStore {
        int Position;
        std::wstring Key;
    } stores[] = {
        {4, L"Software\\Microsoft\\Protected Storage System Provider"},
        {5, L"Software\\Microsoft\\Internet Explorer\\IntelliForms"},
    };
    for (const TStore& store : stores) {
        SCOPED_TRACE(store.Position);
        SetRegValue(store.Key, L"V", REG_BINARY, {1, 2, 3});
        SetRegValue(store.Key + L"\\S", L"W", REG_DWORD, {1, 0, 0, 0});
        SetRegValue(store.Key + L"\\Storage/2", L"Y", REG_SZ, TextBytes(L"y")); // a key name holding "/"
        SetRegValue(store.Key + L"\\S\\T", L"X", REG_SZ, TextBytes(L"too deep"));
        const std::wstring prefix = kCurrentUser + store.Key;
        EXPECT_EQ(RunScan(Selection({store.Position})), 3);
        EXPECT_EQ(AsSet(ItemPaths()), (std::set<std::wstring>{prefix + L"/V", prefix + L"\\S/W", prefix + L"\\Storage/2/Y"}));
        EXPECT_EQ(AsSet(ListedLines()), (std::set<std::wstring>{prefix + L"\\V", prefix + L"\\S\\W", prefix + L"\\Storage/2\\Y"}));

        RunRepair();
        EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, store.Key, L"V"));
        EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, store.Key + L"\\S", L"W"));
        EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, store.Key + L"\\Storage/2", L"Y"));
        // Values go, their keys stay; what lies deeper is not touched.
        EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, store.Key + L"\\Storage/2"));
        EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, store.Key + L"\\S\\T", L"X"));
        EXPECT_TRUE(Scanner->LastRepair.AllDone());
    }
}

TEST_F(PrivacyInternetExplorer, CookiesComeFromTheUrlCacheAndIgnoredOnesStay)
{
    TestCacheEntry cookie(CookieUrl("shop"), COOKIE_CACHE_ENTRY, "12345");
    TestCacheEntry ignored(CookieUrl("ignored"), COOKIE_CACHE_ENTRY);
    TestCacheEntry page("http://page." + Tag + ".test/index.htm", NORMAL_CACHE_ENTRY);
    // The ignore list names a cookie by its site and path: the URL after its "@".
    WriteIgnoreIni("[Cookie]\r\nignored." + Tag + ".test/=1\r\n");

    EXPECT_EQ(RunScan(Selection({2})), 1);
    EXPECT_EQ(ListedLines(), std::vector<std::wstring>{AnsiToWide(cookie.LocalFile()) + L"   5 bytes"});
    EXPECT_EQ(Scanner->Findings.CacheUrls(), TAnsiStrings{cookie.Url()});
    EXPECT_EQ(Scanner->Findings.TotalBytes(), 5);

    RunRepair();
    EXPECT_FALSE(cookie.Exists());
    EXPECT_FALSE(FileExists(AnsiToWide(cookie.LocalFile())));
    EXPECT_TRUE(ignored.Exists());
    EXPECT_TRUE(page.Exists());
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Removed), 1);
    EXPECT_TRUE(Scanner->LastRepair.AllDone());
}

// The cache is asked in its 8-bit form and the entry deleted with the very bytes it returned: the
// wide call does not find such an entry again.
TEST_F(PrivacyInternetExplorer, CookieWithAnAccentedSiteIsRemoved)
{
    TestCacheEntry cookie(CookieUrl("caf\xE9"), COOKIE_CACHE_ENTRY);
    EXPECT_EQ(RunScan(Selection({2})), 1);
    EXPECT_EQ(Scanner->Findings.CacheUrls(), TAnsiStrings{cookie.Url()});
    RunRepair();
    EXPECT_FALSE(cookie.Exists());
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Removed), 1);
}

// The visited pages are the entries of the cache's history containers: listed and removed through the
// cache, never through the containers' own files.
TEST_F(PrivacyInternetExplorer, VisitedPagesComeFromTheUrlCache)
{
    TestCacheEntry visited("Visited: tester@http://site." + Tag + ".test/page.htm", URLHISTORY_CACHE_ENTRY, "page");
    TestCacheEntry cookie(CookieUrl("site"), COOKIE_CACHE_ENTRY);
    const std::wstring visit = Root.MakeFile(L"UserHistory\\visit.dat", 6);

    EXPECT_EQ(RunScan(Selection({3})), 2);
    EXPECT_EQ(Scanner->Findings.CacheUrls(), TAnsiStrings{visited.Url()});
    EXPECT_EQ(AsSet(ItemPaths()), (std::set<std::wstring>{visit, AnsiToWide(visited.LocalFile())}));

    RunRepair();
    EXPECT_FALSE(visited.Exists());
    EXPECT_FALSE(FileExists(visit));
    EXPECT_TRUE(cookie.Exists()) << "a cookie is no visited page";
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Removed), 2);
    EXPECT_TRUE(Scanner->LastRepair.AllDone());
}

TEST_F(PrivacyInternetExplorer, LinksInTheHistoryFolderAreNeitherListedNorFollowed)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "links are made through Wine";
    const std::wstring documents = Root.MakeFolder(L"Outside\\Documents");
    const std::wstring letter = Root.MakeFile(L"Outside\\Documents\\letter.txt", 6);
    const std::wstring secret = Root.MakeFile(L"Outside\\secret.txt", 6);
    const std::wstring visit = Root.MakeFile(L"UserHistory\\visit.dat", 6);
    ASSERT_TRUE(MakeUnixSymlink(documents, History + L"\\docs"));
    ASSERT_TRUE(MakeUnixSymlink(secret, History + L"\\secret.htm"));

    EXPECT_EQ(RunScan(Selection({3})), 1);
    EXPECT_EQ(ListedLines(), std::vector<std::wstring>{visit + L"   6 bytes"});
    RunRepair();
    EXPECT_FALSE(FileExists(visit));
    EXPECT_EQ(ReadAll(letter), "xxxxxx");
    EXPECT_EQ(ReadAll(secret), "xxxxxx");
    EXPECT_TRUE(FileExists(History + L"\\secret.htm"));
    EXPECT_TRUE(FolderExists(History + L"\\docs"));
    RemoveUnixLink(History + L"\\docs");
    RemoveUnixLink(History + L"\\secret.htm");
}

} // namespace
