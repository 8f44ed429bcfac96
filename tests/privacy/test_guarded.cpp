// The folders the privacy categories walk pass the junk walks' folder guard: the history and recent
// folders set to the documents, in any form, list nothing there, the report says why, and a repair
// leaves the documents alone. The URL cache's own files in its container folders are no traces.
#include "PrivacyFixture.h"

#include "common/CodePage.h"
#include "common/Kelvor_Routine.h"
#include "common/Paths.h"
#include "common/UrlCache.h"
#include "support/ShellFolders.h"
#include "support/UnixLinks.h"

namespace {

class PrivacyGuard : public PrivacyTest {
protected:
    void SetUp() override
    {
        PrivacyTest::SetUp();
        Documents = Root.MakeFolder(L"Documents");
        SetUserShellFolder(L"Personal", Documents);
        Kept = {Root.MakeFile(L"Documents\\letter.txt", 10), Root.MakeFile(L"Documents\\Letters\\old.doc", 20)};
    }

    void ExpectDocumentsIntact() const
    {
        for (const std::wstring& file : Kept)
            EXPECT_TRUE(FileExists(file)) << testing::PrintToString(file);
    }

    std::wstring Documents;
    std::vector<std::wstring> Kept;
};

TEST_F(PrivacyGuard, HistoryAndRecentSetToTheDocumentsListNothingThere)
{
    const std::wstring nt = L"\\??\\" + Documents;
    const std::wstring letters = Documents + L"\\Letters";
    const std::wstring device = L"\\\\?\\" + letters;
    const std::wstring holds = L": it holds the protected folder " + Documents + L".";
    const std::wstring inside = L": it lies inside the protected folder " + Documents + L".";
    const struct {
        const wchar_t* ShellFolder;
        int Position;
        std::wstring Folder;
        std::wstring Line;
    } cases[] = {
        {L"History", 3, Documents, L"Skipped " + Documents + holds},
        {L"History", 3, nt, L"Skipped " + nt + holds},
        {L"History", 3, device, L"Skipped " + device + inside},
        {L"Recent", 14, Documents, L"Skipped " + Documents + holds},
        {L"Recent", 14, nt, L"Skipped " + nt + holds},
        {L"Recent", 14, letters, L"Skipped " + letters + inside},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Folder));
        SetUserShellFolder(c.ShellFolder, c.Folder);
        MakeScanner();
        ASSERT_EQ(Scanner->Folders.GetUserFolder(c.Position == 3 ? kUserHistory : kUserRecent), c.Folder);
        EXPECT_EQ(RunScan(Selection({c.Position})), 0);
        EXPECT_EQ(ListedLines(), std::vector<std::wstring>{c.Line});
        RunRepair();
        ExpectDocumentsIntact();
        SetUserShellFolder(c.ShellFolder, c.Position == 3 ? History : Recent);
    }
}

TEST_F(PrivacyGuard, AFolderThatNamesNoDrivePathIsRefused)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "Wine's device form of Unix paths";
    const std::wstring unixForm = WineUnixDevicePath(Documents);
    SetUserShellFolder(L"History", unixForm);
    MakeScanner();
    ASSERT_TRUE(FileExists(unixForm + L"\\letter.txt")) << "Wine opens the device form";
    EXPECT_EQ(RunScan(Selection({3})), 0);
    EXPECT_EQ(ListedLines(), std::vector<std::wstring>{L"Skipped " + unixForm +
                                                        L": its path cannot be resolved to a plain full folder path."});
    ExpectDocumentsIntact();
}

// A documents folder set to the folder that holds the application data seals it: a browser's profile
// there is still walked, as scanners walk it on purpose, an application's own folder is not.
TEST_F(PrivacyGuard, DocumentsHoldingTheApplicationDataLeaveOnlyTheBrowserProfilesWalkable)
{
    SetUserShellFolder(L"Personal", Root.Path());
    MakeScanner();
    WriteIniFile(Root.MakeFolder(L"AppData\\Mozilla\\Firefox") + L"\\profiles.ini",
                 "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/ab12.default\r\n");
    const std::wstring profile = AppData + L"\\Mozilla\\Firefox\\Profiles\\ab12.default";
    const std::wstring cookies = Root.MakeFile(L"AppData\\Mozilla\\Firefox\\Profiles\\ab12.default\\cookies.txt", 10);
    const std::wstring cached = Root.MakeFile(L"AppData\\Mozilla\\Firefox\\Profiles\\ab12.default\\Cache\\1A2B", 14);
    const std::wstring flash = Root.MakeFolder(L"AppData\\Macromedia\\Flash Player");
    const std::wstring shared = Root.MakeFile(L"AppData\\Macromedia\\Flash Player\\settings.sol", 12);

    EXPECT_EQ(RunScan(Selection({6, 10, 21})), 2);
    EXPECT_EQ(ListedLines(), (std::vector<std::wstring>{
                                 L"Skipped " + flash + L": it lies inside the protected folder " + Root.Path() + L".",
                                 cookies + L"   10 bytes",
                                 cached + L"   14 bytes",
                             }));
    EXPECT_TRUE(FileExists(shared));
}

// The cache's first enumeration creates its containers' index files; they, and the files the cache
// keeps for its entries, belong to the cache, whose entries are listed through the cache calls.
TEST_F(PrivacyGuard, TheUrlCachesOwnFilesAreNoTraces)
{
    TestCacheEntry visited("Visited: tester@http://own." + Tag + ".test/page.htm", URLHISTORY_CACHE_ENTRY, "page");
    {
        TUrlCacheEnum cache;
        TUrlCacheRecord record;
        while (cache.Next(record)) {
        }
    }
    const std::vector<std::wstring> containers = UrlCacheContainerFolders();
    ASSERT_EQ(containers.size(), 3u);
    const std::wstring historyContainer = FolderForDisplay(containers[2]);
    ASSERT_TRUE(FileExists(historyContainer + L"\\index.dat")) << testing::PrintToString(historyContainer);
    // The history folder that holds the container, only scanned: it is the prefix's own.
    SetUserShellFolder(L"History", historyContainer.substr(0, historyContainer.find_last_of(L'\\')));
    MakeScanner();

    RunScan(Selection({3}));
    const std::wstring entryFile = AnsiToWide(visited.LocalFile());
    ASSERT_TRUE(PathIsAtOrBelow(entryFile, historyContainer)) << testing::PrintToString(entryFile);
    std::vector<TPrivacyItemKind> listings;
    for (const TPrivacyItem& item : Scanner->Findings.Items())
        if (item.File == entryFile)
            listings.push_back(item.Kind);
    EXPECT_EQ(listings, std::vector<TPrivacyItemKind>{TPrivacyItemKind::CacheEntry}) << "once, through the cache";
    const auto named = [](const std::wstring& path, const wchar_t* name) {
        const std::wstring last = LastPathComponent(path, path.size());
        return CompareStringOrdinal(last.c_str(), -1, name, -1, TRUE) == CSTR_EQUAL;
    };
    for (const TPrivacyItem& item : Scanner->Findings.Items())
        EXPECT_FALSE(named(item.File, L"index.dat") || named(item.File, L"desktop.ini"))
            << testing::PrintToString(item.File);
    EXPECT_TRUE(Scanner->Findings.Refusals().empty());
}

} // namespace
