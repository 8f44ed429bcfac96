// Today's browsers' folders pass the same folder guard as every other walk: a user data folder or a
// cache folder that the local application data (in any form) puts inside the documents lists
// nothing, the report says why, and a repair leaves everything there as it was. Where the documents
// hold the application data, the browsers' own folders there are still walked.
#include "BrowserFixture.h"

#include "BrowserData.h"
#include "common/Kelvor_Routine.h"
#include "support/ShellFolders.h"

namespace {

enum TChromiumCategory { kChromeHistory = 0, kChromeCache = 3, kChromeSessions = 4 };
constexpr int kChrome = 0;
constexpr int kFirefoxCachePosition = 75 + 4;

class PrivacyBrowserGuard : public PrivacyBrowserTest {
protected:
    void SetUp() override
    {
        PrivacyBrowserTest::SetUp();
        Documents = Root.MakeFolder(L"Documents");
        SetUserShellFolder(L"Personal", Documents);
        WriteFile(AppData + L"\\Mozilla\\Firefox\\profiles.ini", FirefoxProfilesIni({{"Profiles/a.default", true}}));
        WriteFile(AppData + L"\\Mozilla\\Firefox\\Profiles\\a.default\\times.json", "{}");
    }

    // A Chrome profile with visited pages, a cache file and a session file, and a Firefox cache in the
    // local twin of the roaming profile, all below that local application data folder.
    std::vector<std::wstring> PlantBelow(const std::wstring& local) const
    {
        const std::wstring profile = local + L"\\Google\\Chrome\\User Data\\Default";
        WriteFile(local + L"\\Google\\Chrome\\User Data\\Local State", ChromiumLocalStateJson({"Default"}));
        WriteFile(profile + L"\\Cache\\Cache_Data\\f_000001", std::string(100, 'c'));
        WriteFile(profile + L"\\Current Session", std::string(50, 's'));
        EXPECT_TRUE(CreateDatabase(profile + L"\\History", kChromiumHistorySchema));
        EXPECT_TRUE(AddChromiumPages(profile + L"\\History", L"", {{"https://visited.example/", "Visited", 2, false}}));
        const std::wstring cache2 = local + L"\\Mozilla\\Firefox\\Profiles\\a.default\\cache2";
        WriteFile(cache2 + L"\\entries\\0A1B2C", std::string(70, 'f'));
        return {profile + L"\\Cache\\Cache_Data\\f_000001", profile + L"\\Current Session", profile + L"\\History",
                cache2 + L"\\entries\\0A1B2C"};
    }

    static std::wstring Selection()
    {
        std::wstring selection = AllPositions({kFirefoxCachePosition});
        for (int category : {kChromeHistory, kChromeCache, kChromeSessions})
            selection[static_cast<size_t>(ChromiumPosition(kChrome, category) - 1)] = L'1';
        return selection;
    }

    std::wstring Documents;
};

// Set to the documents themselves (a documents folder is no application-data folder), in any form.
TEST_F(PrivacyBrowserGuard, TheirFoldersInTheDocumentsListNothing)
{
    const std::vector<std::wstring> files = PlantBelow(Documents);
    const auto before = Snapshot(files);
    const std::wstring inside = L": it lies inside the protected folder " + Documents + L".";
    for (const std::wstring& form : {Documents, L"\\??\\" + Documents, L"\\\\?\\" + Documents}) {
        SCOPED_TRACE(testing::PrintToString(form));
        SetUserShellFolder(L"Local AppData", form);
        MakeScanner();
        EXPECT_EQ(RunScan(Selection()), 0);
        EXPECT_EQ(ListedLines(), (std::vector<std::wstring>{
                                     L"Skipped " + form + L"\\Google\\Chrome\\User Data" + inside,
                                     L"Skipped " + form + L"\\Mozilla\\Firefox\\Profiles\\a.default\\cache2" + inside,
                                 }));
        RunRepair();
        ExpectUnchanged(before);
    }
}

// The documents set to the folder that holds both application-data folders seal it, but the browsers'
// folders there are walked on purpose.
TEST_F(PrivacyBrowserGuard, DocumentsHoldingTheApplicationDataLeaveTheBrowsersFoldersWalkable)
{
    SetUserShellFolder(L"Personal", Root.Path());
    const std::vector<std::wstring> files = PlantBelow(LocalAppData);
    MakeScanner();
    EXPECT_EQ(RunScan(Selection()), 4) << testing::PrintToString(ListedLines());
    for (const std::wstring& file : files)
        EXPECT_EQ(LinesWith(file).size(), 1u) << testing::PrintToString(file);
    EXPECT_TRUE(Scanner->Findings.Refusals().empty());
}

} // namespace
