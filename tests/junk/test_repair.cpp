// Links in the junk folders, and the removal through the real Ravenwick.dll.
#include "JunkFixture.h"

#include "common/AppFrame.h"
#include "support/UnixLinks.h"

#include <oleauto.h>

#include <gtest/gtest.h>

#include <chrono>
#include <map>

namespace {

std::string ReadAll(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    char buffer[256];
    DWORD read = 0;
    ReadFile(file, buffer, sizeof buffer, &read, nullptr);
    CloseHandle(file);
    return std::string(buffer, read);
}

} // namespace

class JunkLinkTest : public JunkTest {
protected:
    void SetUp() override
    {
        JunkTest::SetUp();
        if (!RunningUnderWine()) GTEST_SKIP() << "links are made through Wine";
        // Old documents outside the junk folders, reached through links from inside them.
        Documents = Root.MakeFolder(L"Outside\\Documents");
        Letter = Root.MakeFile(L"Outside\\Documents\\letter.txt", 6, 30);
        Secret = Root.MakeFile(L"Outside\\secret.txt", 6, 30);
        for (const std::wstring& folder : {Cache, Temp}) {
            ASSERT_TRUE(MakeUnixSymlink(Documents, folder + L"\\docs")) << "folder link in " << folder.size();
            ASSERT_TRUE(MakeUnixSymlink(Secret, folder + L"\\secret.htm")) << "file link in " << folder.size();
        }
    }
    void TearDown() override
    {
        // The links go before the scratch folders, as links and never through their targets.
        for (const std::wstring& folder : {Cache, Temp}) {
            RemoveUnixLink(folder + L"\\docs");
            RemoveUnixLink(folder + L"\\secret.htm");
        }
        JunkTest::TearDown();
    }
    void ExpectTargetsIntact()
    {
        EXPECT_EQ(ReadAll(Letter), "xxxxxx");
        EXPECT_EQ(ReadAll(Secret), "xxxxxx");
        for (const std::wstring& folder : {Cache, Temp}) {
            EXPECT_TRUE(PathExists(folder + L"\\docs"));
            EXPECT_TRUE(PathExists(folder + L"\\secret.htm"));
        }
    }
    std::wstring Documents, Letter, Secret;
};

TEST_F(JunkLinkTest, LinksAreNeitherFollowedNorListed)
{
    WriteSettings({{L"Recycle", L"0"}});
    // The walk sees the links as a folder link and a plain-looking old file.
    ASSERT_NE(GetFileAttributesW((Temp + L"\\docs").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    const std::wstring page = Root.MakeFile(L"Cache\\a.htm", 10);
    const std::wstring old = Root.MakeFile(L"Temp\\old.tmp", 10, 10);

    auto thread = RunScan();
    EXPECT_EQ(ListedUnder(Cache), std::set<std::wstring>{page});
    EXPECT_EQ(ListedUnder(Temp), std::set<std::wstring>{old});
    EXPECT_TRUE(ListedUnder(Outside).empty());
    ExpectTargetsIntact();
}

TEST_F(JunkLinkTest, RemovalLeavesLinksAndTheirTargets)
{
    WriteSettings({{L"Recycle", L"0"}, {L"RemoveDay", L"3650"}});
    const std::wstring page = Root.MakeFile(L"Cache\\a.htm", 10);
    const std::wstring old = Root.MakeFile(L"Temp\\old.tmp", 10, 4000);
    auto thread = RunScan();
    ASSERT_EQ(ListedUnder(Temp), std::set<std::wstring>{old});

    RepairAndWait(*thread);
    EXPECT_FALSE(PathExists(page));
    EXPECT_FALSE(PathExists(old));
    ExpectTargetsIntact();
}

TEST_F(JunkTest, RepairRemovesListedFilesOnly)
{
    WriteSettings({{L"Recycle", L"0"}});
    const std::vector<std::wstring> junk = {
        Root.MakeFile(L"Cache\\Content.IE5\\X1\\a.htm", 100),
        Root.MakeFile(L"Cache\\Content.IE5\\X2\\b.gif", 100),
        Root.MakeFile(L"Temp\\old.tmp", 100, 4),
        Root.MakeFile(L"Temp\\sub\\older.log", 100, 50),
        Root.MakeFile(L"Temp\\upper\\INDEX.DAT", 100, 4),
        Root.MakeFile(L"WindowsFolder\\temp\\setup.log", 100, 4),
        Root.MakeFile(L"Temp\\readonly.tmp", 100, 4),
    };
    // A read-only file is no file in use: the gate clears its attribute.
    ASSERT_TRUE(SetFileAttributesW(junk.back().c_str(), FILE_ATTRIBUTE_READONLY));
    const std::wstring held = Root.MakeFile(L"Temp\\held.tmp", 100, 4);
    const std::vector<std::wstring> kept = {
        Root.MakeFile(L"Cache\\index.dat", 100),
        Root.MakeFile(L"Cache\\desktop.ini", 100),
        Root.MakeFile(L"Cache\\favicon.ico", 100),
        Root.MakeFile(L"Temp\\new.tmp", 100, 1),
        Root.MakeFile(L"Temp\\lower\\index.dat", 100, 4),
        Root.MakeFile(L"Outside\\old.tmp", 100, 4),
        Root.MakeFile(L"AppData\\old.tmp", 100, 4),
        Root.MakeFile(L"WindowsFolder\\system.ini", 100, 4),
        Root.MakeFile(L"Drive\\RECYCLER\\Dc1.txt", 100),
    };
    // In use: opened without sharing, so it cannot be deleted.
    HANDLE open = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);

    auto thread = RunScan();
    std::set<std::wstring> expected(junk.begin(), junk.end());
    expected.insert(held);
    const std::vector<std::wstring> listed = Listed();
    EXPECT_EQ(std::set<std::wstring>(listed.begin(), listed.end()), expected);
    ASSERT_EQ(thread->JunkCount, 8);

    ASSERT_NO_FATAL_FAILURE(ExpectRemovalConfinedToRoot(*thread));
    thread->Pause = SystemPause();
    const auto start = std::chrono::steady_clock::now();
    thread->Repair(Label);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(thread->RemovalStarted);
    EXPECT_EQ(Label.Caption(), L"Removing junk...");
    EXPECT_EQ(Bar.Position(), 100);
    EXPECT_EQ(Bar.Max(), 100);
    // 100 steps sharing the second of pacing: 10 ms each.
    EXPECT_GE(elapsed, std::chrono::milliseconds(1000 - 16));

    ASSERT_NE(thread->RemovalThread(), nullptr);
    EXPECT_TRUE(thread->CompleteRepairReport(60000));

    for (const std::wstring& file : junk) EXPECT_FALSE(PathExists(file)) << testing::PrintToString(file);
    EXPECT_TRUE(PathExists(held));
    // The library's result tells what it did with each file.
    EXPECT_EQ(thread->LastRepair.Count(TOutcome::Removed), 7);
    ASSERT_EQ(thread->LastRepair.Left().size(), 1u);
    EXPECT_EQ(thread->LastRepair.Left()[0].Text, held);
    EXPECT_EQ(thread->LastRepair.Left()[0].Outcome, TOutcome::InUse);
    CloseHandle(open);
    for (const std::wstring& file : kept) EXPECT_TRUE(PathExists(file)) << testing::PrintToString(file);
}

TEST_F(JunkTest, RemovalFollowsTheSettingsItIsGiven)
{
    // Only the cache is switched on: old temporary files stay.
    WriteSettings({{L"TempFile", L"0"}, {L"Recycle", L"0"}});
    const std::wstring page = Root.MakeFile(L"Cache\\a.htm", 100);
    const std::wstring old = Root.MakeFile(L"Temp\\old.tmp", 100, 4000);
    auto thread = RunScan();
    RepairAndWait(*thread);
    EXPECT_FALSE(PathExists(page));
    EXPECT_TRUE(PathExists(old));
}

TEST(JunkLibrary, ExportsTheTwoCallsAndSurvivesBadInput)
{
    HMODULE library = LoadLibraryW((TAppFrame().ExeFolder + L"Ravenwick.dll").c_str());
    ASSERT_NE(library, nullptr) << GetLastError();
    using CreateDllCall = void(WINAPI*)(BSTR*, const wchar_t*);
    auto createDll = reinterpret_cast<CreateDllCall>(GetProcAddress(library, "CreateDll"));
    auto repair = reinterpret_cast<LPTHREAD_START_ROUTINE>(GetProcAddress(library, "RepairTFile"));
    ASSERT_NE(createDll, nullptr);
    ASSERT_NE(repair, nullptr);
    // The tests' call that points the library at stand-ins is not in the shipped library.
    EXPECT_EQ(GetProcAddress(library, "UseStandIns"), nullptr);
    // A null settings path: nothing is known, so nothing is removed and nothing escapes.
    BSTR text = nullptr;
    createDll(&text, nullptr);
    SysFreeString(text);
    EXPECT_EQ(repair(nullptr), 0u);
}

TEST_F(JunkTest, RepairWithoutAUsableLibraryRemovesNothing)
{
    WriteSettings({{L"Recycle", L"0"}});
    const std::wstring page = Root.MakeFile(L"Cache\\a.htm", 100);
    const std::wstring old = Root.MakeFile(L"Temp\\old.tmp", 100, 10);
    const std::wstring folder = TAppFrame().ExeFolder;
    struct Case {
        const wchar_t* Library;
        bool Exists;
    };
    const Case cases[] = {
        {L"NoSuchRemovalLibrary.dll", false},
        {L"RavenwickWithoutRepairTFile.dll", true},
        {L"RavenwickWithoutCreateDll.dll", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.Library)));
        const std::wstring library = folder + c.Library;
        ASSERT_EQ(PathExists(library), c.Exists);
        SetEnvironmentVariableW(L"BRISFOLD_PARTIAL_REMOVAL_CALLED", nullptr);
        auto thread = RunScan();
        const std::vector<std::wstring> memo = Memo.Lines();
        const int64_t total = thread->TotalBytes;
        ASSERT_EQ(thread->JunkCount, 2);

        thread->LibraryPath = library;
        EXPECT_FALSE(thread->Repair(Label));
        EXPECT_FALSE(thread->RemovalStarted);
        EXPECT_EQ(thread->RemovalThread(), nullptr);
        EXPECT_TRUE(thread->CompleteRepairReport(0));
        // Every listed file is reported as not removed, and is still there.
        EXPECT_TRUE(thread->LastRepair.Ran);
        EXPECT_EQ(thread->LastRepair.Count(TOutcome::Failed), 2);
        EXPECT_EQ(thread->LastRepair.Count(TOutcome::Removed), 0);
        EXPECT_FALSE(thread->LastRepair.AllDone());
        EXPECT_TRUE(PathExists(page));
        EXPECT_TRUE(PathExists(old));
        // The findings stay as the scan left them.
        EXPECT_EQ(thread->JunkCount, 2);
        EXPECT_EQ(thread->TotalBytes, total);
        EXPECT_EQ(Memo.Lines(), memo);
        // Half a library is not called at all.
        wchar_t called[64] = {};
        EXPECT_EQ(GetEnvironmentVariableW(L"BRISFOLD_PARTIAL_REMOVAL_CALLED", called, 64), 0u) << called;
    }
}

// The removal's progress takes a pause per step, all of them together at most a second (the files are
// removed by the library's thread meanwhile).
TEST_F(JunkTest, RepairPacingStaysWithinASecond)
{
    WriteSettings({});
    const std::wstring page = Root.MakeFile(L"Cache\\a.htm", 100);
    auto thread = RunScan();
    ASSERT_EQ(thread->JunkCount, 1);
    std::vector<DWORD> pauses;
    thread->Pause = [&pauses](DWORD milliseconds) { pauses.push_back(milliseconds); };
    RepairAndWait(*thread);
    EXPECT_EQ(pauses, std::vector<DWORD>(100, kPacingBudgetMs / 100));
    EXPECT_EQ(Bar.Position(), 100);
    EXPECT_FALSE(PathExists(page));
}

TEST_F(JunkTest, RepairReportTellsRemovedFromLeft)
{
    WriteSettings({});
    const std::wstring page = Root.MakeFile(L"Cache\\a.htm", 100);
    const std::wstring held = Root.MakeFile(L"Temp\\held.tmp", 100, 40);
    const std::wstring left = Root.MakeFile(L"Temp\\left.tmp", 100, 10);
    const std::wstring binned = Root.MakeFile(Bin + L"\\$R1.txt", 300);
    auto thread = RunScan();
    ASSERT_EQ(thread->JunkCount, 3);
    ASSERT_EQ(thread->RecycleBytes, 300);

    // The library follows the settings it reads at removal: with the age raised since the scan, the
    // listed ten-day file is junk no more and is not reached; the forty-day file is held open without
    // sharing; and the bin stays full (the shell leaves it, and its one file is held open too).
    WriteSettings({{L"RemoveDay", L"20"}});
    FakeBinEmpties = false;
    THandle open(CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(open) << GetLastError();
    THandle openBinned(CreateFileW(binned.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(openBinned) << GetLastError();
    RepairAndWait(*thread);

    EXPECT_FALSE(PathExists(page));
    std::map<std::wstring, TOutcome> leftItems;
    for (const TRepairReport::TItem& item : thread->LastRepair.Left()) leftItems[item.Text] = item.Outcome;
    const std::map<std::wstring, TOutcome> expected = {
        {held, TOutcome::InUse}, {left, TOutcome::NotReached}, {L"Recycle bin " + BinFolder, TOutcome::Failed}};
    EXPECT_EQ(leftItems, expected);
    EXPECT_EQ(thread->LastRepair.Count(TOutcome::Removed), 1);
    EXPECT_EQ(thread->LastRepair.Total(), 4);
    EXPECT_FALSE(thread->LastRepair.AllDone());
}

TEST_F(JunkTest, WhatTheShellLeavesInTheUsersOwnBinIsRemovedToo)
{
    // Wine's shell empties the Unix trash, not the bin folder that was measured: the removal empties
    // the current user's folder itself, and nobody else's.
    WriteSettings({{L"IE Cache", L"0"}, {L"TempFile", L"0"}});
    FakeBinEmpties = false;
    const std::wstring user = Root.MakeFolder(Bin);
    const std::wstring settings = Root.MakeFile(Bin + L"\\desktop.ini", 129);
    const std::vector<std::wstring> items = {
        Root.MakeFile(Bin + L"\\$RAB12CD.doc", 4000),
        Root.MakeFile(Bin + L"\\$IAB12CD.doc", 544),
        Root.MakeFile(Bin + L"\\$RXY98ZW\\inner\\note.txt", 10),
        Root.MakeFile(Bin + L"\\$RXY98ZW\\desktop.ini", 10),
    };
    const std::vector<std::wstring> others = {
        Root.MakeFile(L"Drive\\$Recycle.Bin\\S-1-5-21-1111-2222-3333-1001\\$RZZ11.doc", 7000),
        Root.MakeFile(L"Drive\\$Recycle.Bin\\S-1-5-21-1111-2222-3333-1001\\$IZZ11.doc", 544),
    };
    auto thread = RunScan();
    EXPECT_EQ(thread->RecycleBytes, 4000 + 544 + 10 + 10 + 129) << "only the user's own bin";
    RepairAndWait(*thread);
    for (const std::wstring& item : items) EXPECT_FALSE(PathExists(item)) << testing::PrintToString(item);
    EXPECT_FALSE(PathExists(user + L"\\$RXY98ZW"));
    for (const std::wstring& other : others) EXPECT_TRUE(PathExists(other)) << testing::PrintToString(other);
    // An emptied bin keeps its folder and its folder settings.
    EXPECT_TRUE(PathExists(settings));
    EXPECT_TRUE(PathExists(user));
    ASSERT_EQ(thread->LastRepair.Count(TOutcome::Removed), 1);
    EXPECT_TRUE(thread->LastRepair.AllDone());
}

TEST_F(JunkTest, WhatAnotherListKeepsIsNotHandedToTheRemoval)
{
    WriteSettings({});
    const std::wstring page = Root.MakeFile(L"Cache\\a.htm", 100);
    const std::wstring kept = Root.MakeFile(L"Temp\\kept.tmp", 100, 40);
    const std::wstring inside = Root.MakeFile(L"Temp\\pest\\inside.tmp", 100, 40);
    const std::wstring binned = Root.MakeFile(Bin + L"\\$R1.txt", 300);
    auto thread = RunScan();
    ASSERT_EQ(thread->JunkCount, 3);
    ASSERT_EQ(thread->RecycleBytes, 300);

    // Other lists keep one listed file, a folder that holds another, and a file in the bin.
    TKeptEntries keep;
    keep.Add(FilePlace(kept), L"Privacy Sweep");
    keep.Add(FilePlace(Temp + L"\\pest"), L"Spyware Removal");
    keep.Add(FilePlace(binned), L"Spyware Removal");
    ASSERT_NO_FATAL_FAILURE(ExpectRemovalConfinedToRoot(*thread));
    ASSERT_TRUE(thread->Repair(Label, keep));
    ASSERT_NE(thread->RemovalThread(), nullptr);
    EXPECT_TRUE(thread->CompleteRepairReport(60000));

    EXPECT_FALSE(PathExists(page));
    EXPECT_TRUE(PathExists(kept));
    EXPECT_TRUE(PathExists(inside));
    EXPECT_TRUE(PathExists(binned));
    std::map<std::wstring, std::wstring> keptItems;
    for (const TRepairReport::TItem& item : thread->LastRepair.Kept()) keptItems[item.Text] = item.List;
    const std::map<std::wstring, std::wstring> expected = {
        {kept, L"Privacy Sweep"}, {inside, L"Spyware Removal"}, {L"Recycle bin " + BinFolder, L"Spyware Removal"}};
    EXPECT_EQ(keptItems, expected);
    EXPECT_EQ(thread->LastRepair.Count(TOutcome::Removed), 1);
    EXPECT_TRUE(thread->LastRepair.AllDone());
}

TEST_F(JunkTest, FoldersNamedLikeOldBinsAreTheUsersOwn)
{
    // "Recycled" and "RECYCLER" are ordinary folders since Windows 7: neither measured nor emptied,
    // while the real bin beside them is, and the report names it.
    WriteSettings({{L"IE Cache", L"0"}, {L"TempFile", L"0"}});
    const std::vector<std::wstring> kept = {
        Root.MakeFile(L"Drive\\Recycled\\thesis.doc", 9000),
        Root.MakeFile(L"Drive\\recycler\\photos\\beach.jpg", 9000),
    };
    const std::wstring binned = Root.MakeFile(Bin + L"\\$R1.txt", 300);
    auto thread = RunScan();
    EXPECT_EQ(thread->RecycleBytes, 300);
    EXPECT_EQ(thread->RecycleFolder, BinFolder);
    RepairAndWait(*thread);
    EXPECT_FALSE(PathExists(binned));
    for (const std::wstring& file : kept) EXPECT_TRUE(PathExists(file)) << testing::PrintToString(file);
    ASSERT_EQ(thread->LastRepair.Total(), 1);
    EXPECT_EQ(thread->LastRepair.Count(TOutcome::Removed), 1);
    EXPECT_FALSE(RecycleBinHoldsItems(Drive));
}
