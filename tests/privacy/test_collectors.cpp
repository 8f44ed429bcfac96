// The collectors that every category shares, and what the repair does with each kind of item they list.
#include "PrivacyFixture.h"

#include "common/Kelvor_Routine.h"
#include "common/UrlCache.h"
#include "privacy/PrivacyCollectors.h"
#include "support/UnixLinks.h"

#include <set>

namespace {

class PrivacyCollectors : public PrivacyTest {
protected:
    void SetUp() override
    {
        PrivacyTest::SetUp();
        Guard = std::make_unique<TFolderGuard>(Scanner->ProtectedFolders());
        Collect = std::make_unique<TPrivacyCollector>(Scanner->Findings, Scanner->Stopped, *Guard,
                                                      UrlCacheContainerFolders());
    }
    std::set<std::wstring> Lines() const
    {
        std::set<std::wstring> lines;
        for (const TPrivacyItem& item : Scanner->Findings.Items())
            lines.insert(item.Line);
        return lines;
    }
    std::unique_ptr<TFolderGuard> Guard;
    std::unique_ptr<TPrivacyCollector> Collect;
};

TEST_F(PrivacyCollectors, OneLevelListingShowsSubFoldersAndTheRepairKeepsThem)
{
    const std::wstring folder = Root.MakeFolder(L"AppData\\Player\\History");
    const std::wstring clip = Root.MakeFile(L"AppData\\Player\\History\\clip.lst", 20);
    const std::wstring deeper = Root.MakeFile(L"AppData\\Player\\History\\Old\\clip.lst", 20);
    Collect->ListFolder(folder);
    EXPECT_EQ(Lines(), (std::set<std::wstring>{clip + L"   20 bytes", folder + L"\\Old   0 bytes"}));
    RunRepair();
    EXPECT_FALSE(FileExists(clip));
    EXPECT_TRUE(FileExists(deeper));
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Removed), 1);
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Refused), 1) << "a folder is listed but not removed";
}

TEST_F(PrivacyCollectors, AFolderNamedByNothingListsNothing)
{
    // Not "\" with the current drive's root below it.
    Collect->ListFolderTree(L"");
    Collect->ListFolder(L"");
    Collect->ListFile(L"");
    EXPECT_EQ(Scanner->Findings.FoundCount(), 0);
}

TEST_F(PrivacyCollectors, SingleFilesOnlyWhenTheyArePlainFiles)
{
    const std::wstring file = Root.MakeFile(L"AppData\\Real\\ctd.dat", 3);
    const std::wstring folder = Root.MakeFolder(L"AppData\\Real\\cookies.txt");
    Collect->ListFile(file);
    Collect->ListFile(folder);
    Collect->ListFile(Root / L"AppData\\Real\\missing.dat");
    if (RunningUnderWine()) {
        const std::wstring target = Root.MakeFile(L"Outside\\kept.txt", 6);
        ASSERT_TRUE(MakeUnixSymlink(target, Root / L"AppData\\Real\\realplayer.ste"));
        Collect->ListFile(Root / L"AppData\\Real\\realplayer.ste");
    }
    EXPECT_EQ(Lines(), std::set<std::wstring>{file + L"   3 bytes"});
    if (RunningUnderWine())
        RemoveUnixLink(Root / L"AppData\\Real\\realplayer.ste");
}

TEST_F(PrivacyCollectors, NothingBehindALinkedApplicationFolderIsDeleted)
{
    // %APPDATA%\\Macromedia made a link to a folder that holds Flash Player files of its own.
    if (!RunningUnderWine())
        GTEST_SKIP() << "links are made through Wine";
    const std::wstring precious = Root.MakeFile(L"Outside\\Macromedia\\Flash Player\\#SharedObjects\\settings.sol", 9);
    const std::wstring link = AppData + L"\\Macromedia";
    ASSERT_TRUE(MakeUnixSymlink(Root / L"Outside\\Macromedia", link));
    RunScan(Selection({21}));
    RunRepair();
    EXPECT_TRUE(FileExists(precious));
    EXPECT_TRUE(Scanner->LastRepair.AllDone()) << "nothing listed that the repair would refuse";
    RemoveUnixLink(link);
}

TEST_F(PrivacyCollectors, KeysAndValuesAreFoundAndRemovedByTheirOwnParts)
{
    // Real hives hold key names with "/"; the repair must not split the path there.
    SetRegString(HKEY_CURRENT_USER, L"Software/Sourcetree", L"installed", L"1");
    SetRegString(HKEY_CURRENT_USER, L"Software/Sourcetree", L"kept", L"1");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Tool\\Recent File List", L"File1", L"C:\\a.txt");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Tool\\Recent File List\\Deeper", L"File2", L"C:\\b.txt");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Tool\\Settings", L"name", L"x");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Tool\\Settings", L"other", L"x");
    struct TCase {
        bool Key;
        const wchar_t* Entry;
        const wchar_t* Line; // nullptr: nothing listed
    } cases[] = {
        {true, L"\\Software\\Tool\\Recent File List", L"HKEY_CURRENT_USER\\Software\\Tool\\Recent File List"},
        {true, L"\\Software\\Tool\\Absent", nullptr},
        {true, L"\\", nullptr}, // the root alone is never a trace
        {true, L"", nullptr},
        {false, L"\\Software/Sourcetree|installed", L"HKEY_CURRENT_USER\\Software/Sourcetree\\installed"},
        {false, L"\\Software\\Tool\\Settings|  name ", L"HKEY_CURRENT_USER\\Software\\Tool\\Settings\\name"},
        {false, L"\\Software\\Tool\\Settings|missing", nullptr},
        {false, L"\\Software\\Tool\\Absent|name", nullptr},
        {false, L"\\Software\\Tool\\Settings", nullptr}, // no "|": names no value
    };
    std::set<std::wstring> expected;
    for (const TCase& c : cases) {
        if (c.Key)
            Collect->CheckKey(c.Entry);
        else
            Collect->CheckValue(c.Entry);
        if (c.Line)
            expected.insert(c.Line);
    }
    EXPECT_EQ(Lines(), expected);
    EXPECT_EQ(Scanner->Findings.Items()[1].Path, L"HKEY_CURRENT_USER\\Software/Sourcetree/installed");

    RunRepair();
    EXPECT_TRUE(Scanner->LastRepair.AllDone());
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Removed), 3);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\Tool\\Recent File List")) << "with its subkeys";
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, L"Software/Sourcetree", L"installed"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software/Sourcetree", L"kept"));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Tool\\Settings", L"name"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Tool\\Settings", L"other"));
}

TEST_F(PrivacyCollectors, AKeyHoldingARegistryLinkIsRefusedWhole)
{
    SetRegString(HKEY_CURRENT_USER, L"Software\\Elsewhere", L"precious", L"1");
    CreateRegKey(HKEY_CURRENT_USER, L"Software\\Tool\\MRU");
    Registry.MakeCurrentUserLink(L"Software\\Tool\\MRU\\Link", L"Software\\Elsewhere");
    Collect->CheckKey(L"\\Software\\Tool\\MRU");
    ASSERT_EQ(Scanner->Findings.FoundCount(), 1);
    RunRepair();
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Refused), 1);
    EXPECT_FALSE(Scanner->LastRepair.AllDone());
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Elsewhere", L"precious"));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\Tool\\MRU"));
}

TEST_F(PrivacyCollectors, NothingIsDeletedThroughARegistryLink)
{
    struct TCase {
        const char* Name;
        const wchar_t* Link;   // made a link to Target
        const wchar_t* Target; // holds the value "precious" in Inner
        const wchar_t* Inner;  // below the target
        bool Key;
        const wchar_t* Entry; // what the collector is given
    } cases[] = {
        {"a key that is a link", L"Software\\AppA\\ArcHistory", L"Software\\TargetA", L"", true,
         L"\\Software\\AppA\\ArcHistory"},
        {"a key below a link", L"Software\\AppB", L"Software\\TargetB", L"\\ArcHistory", true,
         L"\\Software\\AppB\\ArcHistory"},
        {"a value below a link", L"Software\\AppC", L"Software\\TargetC", L"\\General", false,
         L"\\Software\\AppC\\General|precious"},
        {"a value of a key that is a link", L"Software\\AppD\\General", L"Software\\TargetD", L"", false,
         L"\\Software\\AppD\\General|precious"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::wstring inner = std::wstring(c.Target) + c.Inner;
        SetRegString(HKEY_CURRENT_USER, inner, L"precious", L"1");
        const std::wstring link = c.Link;
        CreateRegKey(HKEY_CURRENT_USER, link.substr(0, link.find_last_of(L'\\')));
        Registry.MakeCurrentUserLink(link, c.Target);
        Scanner->Findings.Clear();
        if (c.Key)
            Collect->CheckKey(c.Entry);
        else
            Collect->CheckValue(c.Entry);
        // It is found through the link, as the application would find it, but never deleted through it.
        ASSERT_EQ(Scanner->Findings.FoundCount(), 1);
        RunRepair();
        EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Refused), 1);
        EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, inner, L"precious"));
    }
}

} // namespace
