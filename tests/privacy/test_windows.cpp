// The traces Windows keeps: the Recent folder, the recent-documents key with one level of subkeys, and
// the Run box history; a repair removes exactly the listed values and leaves the keys.
#include "PrivacyFixture.h"

#include "common/Kelvor_Routine.h"
#include "common/Registry.h"

#include <set>

namespace {

const wchar_t kRecentDocs[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
const wchar_t kRunMru[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const std::wstring kCurrentUser = L"HKEY_CURRENT_USER\\";

using PrivacyWindows = PrivacyTest;

TEST_F(PrivacyWindows, RecentDocumentsListEveryValueOfTheKeyAndItsSubkeys)
{
    const std::wstring txt = std::wstring(kRecentDocs) + L"\\.txt";
    // Three values of the key itself, of any type, and a subkey of two; a value two levels down is not
    // a recent document.
    SetRegValue(kRecentDocs, L"0", REG_BINARY, {0x6c, 0x00, 0x65, 0x00, 0x00, 0x00});
    SetRegValue(kRecentDocs, L"MRUListEx", REG_BINARY, {0x00, 0x00, 0x00, 0x00, 0xff, 0xff, 0xff, 0xff});
    SetRegValue(kRecentDocs, L"ViewStream", REG_DWORD, {1, 0, 0, 0});
    SetRegValue(txt, L"0", REG_BINARY, {0x61, 0x00, 0x00, 0x00});
    SetRegValue(txt, L"MRUListEx", REG_BINARY, {0x00, 0x00, 0x00, 0x00});
    SetRegValue(txt + L"\\Deeper", L"kept", REG_SZ, TextBytes(L"x"));
    SetRegValue(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", L"kept", REG_SZ, TextBytes(L"x"));

    EXPECT_EQ(RunScan(Selection({14})), 5);
    const std::wstring prefix = kCurrentUser + kRecentDocs;
    EXPECT_EQ(AsSet(ListedLines()),
              (std::set<std::wstring>{prefix + L"\\0", prefix + L"\\MRUListEx", prefix + L"\\ViewStream",
                                      prefix + L"\\.txt\\0", prefix + L"\\.txt\\MRUListEx"}));
    EXPECT_EQ(AsSet(ItemPaths()),
              (std::set<std::wstring>{prefix + L"/0", prefix + L"/MRUListEx", prefix + L"/ViewStream",
                                      prefix + L"\\.txt/0", prefix + L"\\.txt/MRUListEx"}));

    RunRepair();
    EXPECT_TRUE(Scanner->LastRepair.AllDone());
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Removed), 5);
    // Only the values go: the keys stay, with what was not listed.
    TRegKey key, subKey;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, kRecentDocs));
    ASSERT_EQ(ERROR_SUCCESS, subKey.Open(HKEY_CURRENT_USER, txt));
    EXPECT_EQ(key.ValueNames(), std::vector<std::wstring>{});
    EXPECT_EQ(subKey.ValueNames(), std::vector<std::wstring>{});
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, txt + L"\\Deeper", L"kept"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", L"kept"));
}

TEST_F(PrivacyWindows, TheRecentFolderIsListedOneLevelDeepAndItsFoldersStay)
{
    const std::wstring letter = Root.MakeFile(L"Recent\\letter.txt.lnk", 420);
    const std::wstring photos = Root.MakeFile(L"Recent\\Holiday photos.lnk", 380);
    const std::wstring older = Root.MakeFolder(L"Recent\\Older");
    const std::wstring deeper = Root.MakeFile(L"Recent\\Older\\notes.lnk", 300);
    SetRegValue(kRecentDocs, L"0", REG_BINARY, {0x6c, 0x00, 0x00, 0x00});

    EXPECT_EQ(RunScan(Selection({14})), 4);
    EXPECT_EQ(AsSet(ListedLines()),
              (std::set<std::wstring>{letter + L"   420 bytes", photos + L"   380 bytes", older + L"   0 bytes",
                                      kCurrentUser + kRecentDocs + L"\\0"}));
    // The folder's entries come first, then the key's values, each named on the status line.
    EXPECT_EQ(ListedLines().back(), kCurrentUser + kRecentDocs + L"\\0");
    EXPECT_EQ(StatusTexts, (std::vector<std::wstring>{L"", Scanner->ScanPrefix + Recent.substr(0, 60),
                                                      Scanner->ScanPrefix + L"0"}));

    RunRepair();
    EXPECT_FALSE(FileExists(letter));
    EXPECT_FALSE(FileExists(photos));
    EXPECT_TRUE(FileExists(deeper));
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Refused), 1) << "a folder is listed but not removed";
}

TEST_F(PrivacyWindows, TheRunHistoryListsPlainStringsOnly)
{
    const TTypedValue values[] = {
        {L"a", REG_SZ, TextBytes(L"notepad\\1"), true},
        {L"MRUList", REG_SZ, TextBytes(L"ba"), true}, // whatever its name
        {L"b", REG_EXPAND_SZ, TextBytes(L"%windir%\\regedit.exe\\1"), false},
        {L"c", REG_BINARY, {0x63, 0x00, 0x00, 0x00}, false},
        {L"d", REG_DWORD, {1, 0, 0, 0}, false},
        {L"e", REG_MULTI_SZ, TextBytes(L"cmd\\1"), false},
    };
    std::set<std::wstring> listed;
    for (const TTypedValue& value : values) {
        SetRegValue(kRunMru, value.Name, value.Type, value.Data);
        if (value.Listed)
            listed.insert(kCurrentUser + kRunMru + L"\\" + value.Name);
    }
    EXPECT_EQ(RunScan(Selection({15})), 2);
    EXPECT_EQ(AsSet(ListedLines()), listed);
    EXPECT_EQ(StatusTexts, (std::vector<std::wstring>{L"", Scanner->ScanPrefix + L"StartMenu"}));

    RunRepair();
    EXPECT_TRUE(Scanner->LastRepair.AllDone());
    for (const TTypedValue& value : values)
        EXPECT_EQ(RegValueExists(HKEY_CURRENT_USER, kRunMru, value.Name), !value.Listed)
            << testing::PrintToString(value.Name);
}

TEST_F(PrivacyWindows, AStopDuringTheRecentDocumentsEndsTheListing)
{
    for (const wchar_t* name : {L"0", L"1", L"2", L"3"})
        SetRegValue(kRecentDocs, name, REG_BINARY, {0x00, 0x00});
    SetRegValue(std::wstring(kRecentDocs) + L"\\.doc", L"0", REG_BINARY, {0x00, 0x00});
    // "Stop Scan" arrives while the second value is shown.
    int shown = 0;
    OnStatus = [&](const std::wstring&) {
        if (++shown == 3)
            Scanner->Stopped = 1;
    };
    EXPECT_EQ(RunScan(Selection({14, 15})), 1);
    EXPECT_EQ(ListedLines().size(), 1u);
}

} // namespace
