// The junk-file scanner thread on real folders, real controls and a real worker thread.
#include "JunkFixture.h"

#include "common/CodePage.h"
#include "common/FileFind.h"
#include "common/Kelvor_Routine.h"
#include "common/SystemFolders.h"
#include "junk/JunkWalk.h"
#include "support/ShellFolders.h"
#include "ui/Application.h"
#include "ui/MessagePump.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kDashes(56, L'-');
constexpr uint64_t kMiB = 1024 * 1024;
constexpr uint64_t kGiB = 1024 * kMiB;

std::set<std::wstring> Paths(const std::wstring& folder, std::initializer_list<const wchar_t*> names)
{
    std::set<std::wstring> paths;
    for (const wchar_t* name : names) paths.insert(folder + L"\\" + name);
    return paths;
}

} // namespace

TEST_F(JunkTest, CacheNameRulesAndMemoLayout)
{
    WriteSettings({{L"TempFile", L"0"}, {L"Recycle", L"0"}});
    auto probe = std::make_unique<TempThread>(Label, Bar, Memo, Texts());
    const std::wstring cookie = L"x" + probe->UserTag + L"www.example[1].txt";
    probe.reset();
    for (const wchar_t* name : {L"index.dat", L"favicon.ico", L"desktop.ini"}) Root.MakeFile(L"Cache\\" + std::wstring(name), 100);
    Root.MakeFile(L"Cache\\" + cookie, 100);
    const std::wstring page = Root.MakeFile(L"Cache\\Content.IE5\\ABCD1234\\a.htm", 1536);

    auto thread = RunScan();
    EXPECT_EQ(thread->Finished.load(), 1);
    EXPECT_EQ(thread->CachePath, Cache);
    const std::vector<std::wstring> expected = {L"Junk files:", kDashes, L"1 junk files", L"Total size: 1.50 KB", L"", page};
    EXPECT_EQ(Memo.Lines(), expected);
    EXPECT_EQ(thread->JunkCount, 1);
    EXPECT_EQ(thread->CacheBytes, 1536);
    EXPECT_EQ(thread->TempBytes, 0);
    EXPECT_EQ(thread->TotalBytes, 1536);
    EXPECT_EQ(thread->SizeText, L"1.50 KB");
    EXPECT_EQ(thread->CurrentFile, page);
    EXPECT_EQ(Bar.Max(), 100);
    EXPECT_EQ(Bar.Position(), 100);
}

TEST_F(JunkTest, TemporaryFilesOlderThanRemoveDayAreListed)
{
    struct Case {
        const wchar_t* removeDay; // nullptr: key absent (default 2)
        std::vector<std::pair<const wchar_t*, double>> files;
        std::set<std::wstring> listed;
    };
    const std::vector<Case> cases = {
        {nullptr,
         {{L"one.tmp", 1}, {L"two.tmp", 2.9}, {L"three.tmp", 3.05}, {L"ten.tmp", 10}, {L"noext", 4}},
         {L"three.tmp", L"ten.tmp", L"noext"}},
        {L"5", {{L"five.tmp", 5.95}, {L"six.tmp", 6.05}, {L"sub\\deep\\old.log", 9}}, {L"six.tmp", L"sub\\deep\\old.log"}},
        {L"0", {{L"fresh.tmp", 0.5}, {L"day.tmp", 1.05}}, {L"day.tmp"}},
        // Clamped where it is read: not a file written a moment ago, and nothing kept past a year.
        {L"-1", {{L"now.tmp", 0.01}, {L"day.tmp", 1.05}}, {L"day.tmp"}},
        {L"1000", {{L"year.tmp", 364}, {L"older.tmp", 400}}, {L"older.tmp"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.removeDay ? c.removeDay : L"default");
        RemoveTree(Temp);
        Root.MakeFolder(L"Temp");
        std::map<std::wstring, std::wstring> settings = {{L"IE Cache", L"0"}, {L"Recycle", L"0"}};
        if (c.removeDay) settings[L"RemoveDay"] = c.removeDay;
        WriteSettings(settings);
        for (const auto& [name, age] : c.files) Root.MakeFile(L"Temp\\" + std::wstring(name), 10, age);
        std::set<std::wstring> expected;
        for (const std::wstring& name : c.listed) expected.insert(Temp + L"\\" + name);

        auto thread = RunScan();
        const std::vector<std::wstring> listed = Listed();
        EXPECT_EQ(std::set<std::wstring>(listed.begin(), listed.end()), expected);
        EXPECT_EQ(thread->JunkCount, static_cast<int>(expected.size()));
        EXPECT_EQ(thread->CacheBytes, 0);
    }
}

TEST_F(JunkTest, TemporaryNameRulesRespectCase)
{
    WriteSettings({{L"IE Cache", L"0"}, {L"Recycle", L"0"}});
    auto probe = std::make_unique<TempThread>(Label, Bar, Memo, Texts());
    const std::wstring cookie = probe->UserTag + L"site[2].txt";
    probe.reset();
    // Names differing only in case are one file to the file system: each gets its own folder.
    for (const std::wstring name : {L"lower\\index.dat", L"upper\\INDEX.DAT", L"old.index.dat.bak", L"Index.Dat2"})
        Root.MakeFile(L"Temp\\" + name, 10, 10);
    Root.MakeFile(L"Temp\\" + cookie, 10, 10);

    RunScan();
    EXPECT_EQ(ListedUnder(Temp), Paths(Temp, {L"upper\\INDEX.DAT", L"Index.Dat2"}));
}

TEST_F(JunkTest, AllSwitchesOffGiveAnEmptyReport)
{
    WriteSettings({{L"IE Cache", L"0"}, {L"TempFile", L"0"}, {L"Recycle", L"0"}});
    Root.MakeFile(L"Cache\\a.htm", 100);
    Root.MakeFile(L"Temp\\old.tmp", 100, 10);
    Root.MakeFile(Bin + L"\\$R1.txt", 5000);

    auto thread = RunScan();
    const std::vector<std::wstring> expected = {L"Junk files:", kDashes, L"0 junk files", L"Total size: 0 bytes", L""};
    EXPECT_EQ(Memo.Lines(), expected);
    EXPECT_EQ(thread->TotalBytes, 0);
    EXPECT_EQ(thread->RecycleBytes, 0);
    EXPECT_EQ(thread->SizeText, L"0 bytes");
}

TEST_F(JunkTest, SwitchIsOnOnlyForExactlyOne)
{
    WriteSettings({{L"IE Cache", L"true"}, {L"TempFile", L"2"}, {L"Recycle", L"1"}});
    Root.MakeFile(L"Cache\\a.htm", 100);
    Root.MakeFile(L"Temp\\old.tmp", 100, 10);
    Root.MakeFile(Bin + L"\\$R1.txt", 3000);

    auto thread = RunScan();
    EXPECT_TRUE(Listed().empty());
    EXPECT_EQ(thread->RecycleBytes, 3000);
    EXPECT_EQ(thread->TotalBytes, 3000);
    EXPECT_EQ(thread->SizeText, L"2.93 KB");
}

TEST_F(JunkTest, MissingSettingsFileTurnsEverythingOn)
{
    WriteSettings({});
    const std::wstring page = Root.MakeFile(L"Cache\\a.htm", 100);
    const std::wstring old = Root.MakeFile(L"Temp\\old.tmp", 100, 3.5);
    Root.MakeFile(Bin + L"\\$R1.txt", 2048);

    auto thread = RunScan();
    EXPECT_EQ(ListedUnder(Cache), std::set<std::wstring>{page});
    EXPECT_EQ(ListedUnder(Temp), std::set<std::wstring>{old});
    EXPECT_EQ(thread->RecycleBytes, 2048);
}

TEST_F(JunkTest, StatusLabelAndBarChangeEveryFifthFile)
{
    WriteSettings({{L"TempFile", L"0"}, {L"Recycle", L"0"}});
    for (int i = 0; i < 1200; ++i) Root.MakeFile(L"Cache\\F" + std::to_wstring(i / 100) + L"\\page" + std::to_wstring(i) + L".htm");

    auto thread = RunScan();
    ASSERT_EQ(thread->JunkCount, 1200);
    const std::vector<std::wstring> files = Listed();
    ASSERT_EQ(files.size(), 1200u);
    EXPECT_EQ(std::set<std::wstring>(files.begin(), files.end()).size(), 1200u);
    ASSERT_EQ(StatusTexts.size(), 240u);
    for (size_t k = 0; k < StatusTexts.size(); ++k) {
        const std::wstring& file = files[5 * k + 4];
        ASSERT_GT(file.size(), 31u);
        EXPECT_EQ(StatusTexts[k], L"Scanning " + file.substr(file.size() - 31)) << "change " << k;
    }
    // The bar's maximum creeps up by one per label change, then the summary fills it at 100.
    ASSERT_EQ(BarMaxima.size(), 241u);
    for (size_t k = 0; k < 240; ++k) EXPECT_EQ(BarMaxima[k], 101 + static_cast<int>(k));
    EXPECT_EQ(BarMaxima.back(), 100);
    EXPECT_EQ(Bar.Position(), 100);
    EXPECT_EQ(Memo.Line(2), L"1200 junk files");
}

// The status line follows the scan on a clock, not file by file: within one interval it changes once.
TEST_F(JunkTest, StatusChangesAtMostOncePerInterval)
{
    WriteSettings({{L"TempFile", L"0"}, {L"Recycle", L"0"}});
    for (int i = 0; i < 1200; ++i) Root.MakeFile(L"Cache\\F" + std::to_wstring(i / 100) + L"\\page" + std::to_wstring(i) + L".htm");
    UpdateEveryMs = 60 * 60 * 1000;

    auto thread = RunScan();
    ASSERT_EQ(thread->JunkCount, 1200);
    const std::vector<std::wstring> files = Listed();
    ASSERT_EQ(files.size(), 1200u);
    ASSERT_EQ(StatusTexts.size(), 1u);
    EXPECT_EQ(StatusTexts[0], L"Scanning " + files[4].substr(files[4].size() - 31));
    ASSERT_EQ(BarMaxima.size(), 2u);
    EXPECT_EQ(BarMaxima.front(), 101);
    EXPECT_EQ(BarMaxima.back(), 100);
    EXPECT_EQ(Bar.Position(), 100);
    EXPECT_EQ(Memo.Line(2), L"1200 junk files");
}

TEST_F(JunkTest, ShortPathShowsWholeInStatus)
{
    // A status text for a path shorter than 31 characters shows it whole.
    WriteSettings({{L"TempFile", L"0"}, {L"Recycle", L"0"}});
    ScratchFolder shortRoot(L"s");
    SetUserShellFolder(L"Cache", shortRoot.Path());
    for (int i = 0; i < 5; ++i) shortRoot.MakeFile(L"f" + std::to_wstring(i));
    const std::wstring shortPath = shortRoot.Path() + L"\\f0";
    ASSERT_LT(shortPath.size(), 31u);

    RunScan();
    ASSERT_EQ(StatusTexts.size(), 1u);
    EXPECT_EQ(StatusTexts[0], L"Scanning " + Listed()[4]);
}

TEST_F(JunkTest, StopDuringCacheWalkStillWritesSummary)
{
    WriteSettings({});
    for (int i = 0; i < 40; ++i) Root.MakeFile(L"Cache\\page" + std::to_wstring(i) + L".htm", 10);
    Root.MakeFile(L"Temp\\old.tmp", 10, 10);
    Root.MakeFile(Bin + L"\\$R1.txt", kMiB);
    OnStatus = [](TempThread& thread, const std::wstring&) { thread.Stopped = 1; };

    auto thread = RunScan();
    EXPECT_EQ(thread->Finished.load(), 1);
    EXPECT_EQ(thread->JunkCount, 5);
    EXPECT_EQ(Listed().size(), 5u);
    EXPECT_TRUE(ListedUnder(Temp).empty());
    EXPECT_EQ(thread->RecycleBytes, static_cast<int64_t>(kMiB));
    EXPECT_EQ(thread->TotalBytes, static_cast<int64_t>(kMiB + 50));
    EXPECT_EQ(Memo.Line(2), L"5 junk files");
    EXPECT_EQ(Memo.Line(3), L"Total size: " + thread->SizeText);
    EXPECT_EQ(thread->SizeText, L"1.00 MB");
}

TEST_F(JunkTest, FolderThatCannotBeListedIsPassedOver)
{
    WriteSettings({{L"Recycle", L"0"}});
    const std::wstring a = Root.MakeFile(L"Cache\\a.htm", 10);
    const std::wstring b = Root.MakeFile(L"Cache\\zz\\b.htm", 10);
    Root.MakeFile(L"Cache\\locked\\c.htm", 10);
    const std::wstring old = Root.MakeFile(L"Temp\\old.tmp", 10, 10);
    // A folder held open without sharing cannot be opened for listing.
    HANDLE locked = CreateFileW((Cache + L"\\locked").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE) << GetLastError();
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((Cache + L"\\locked\\*").c_str(), &data);
    const DWORD error = GetLastError();
    if (find != INVALID_HANDLE_VALUE) FindClose(find);

    auto thread = RunScan();
    CloseHandle(locked);
    if (find == INVALID_HANDLE_VALUE) {
        EXPECT_EQ(ListedUnder(Cache), (std::set<std::wstring>{a, b})) << "listing error " << error;
    } else {
        ADD_FAILURE() << "the held folder could still be listed; no unreadable folder to test with";
    }
    EXPECT_EQ(ListedUnder(Temp), std::set<std::wstring>{old});
}

TEST_F(JunkTest, MissingCacheFolderContributesNothing)
{
    WriteSettings({{L"Recycle", L"0"}});
    SetUserShellFolder(L"Cache", Root / L"NoSuchCache");
    const std::wstring old = Root.MakeFile(L"Temp\\old.tmp", 10, 10);
    auto thread = RunScan();
    EXPECT_EQ(thread->CacheBytes, 0);
    EXPECT_EQ(ListedUnder(Temp), std::set<std::wstring>{old});
}

TEST_F(JunkTest, RecycleBinFolderOfTheDrive)
{
    // Only "$Recycle.Bin" holds bins, one folder per user: "Recycled" and "RECYCLER" are ordinary
    // folders, and another user's bin is not this user's.
    const std::wstring own = L"$Recycle.Bin\\" + CurrentUserSid();
    const std::wstring other = L"$Recycle.Bin\\S-1-5-21-1111-2222-3333-1001";
    struct Case {
        const wchar_t* name;
        std::vector<std::pair<std::wstring, uint64_t>> files;
        bool found;
        int64_t size;
    };
    const std::vector<Case> cases = {
        {L"own", {{own + L"\\$R1.txt", 4096}, {own + L"\\$I1.txt", 544}, {own + L"\\$R2\\inner.txt", 24}}, true, 4664},
        {L"own beside another user's", {{own + L"\\$R1.txt", 100}, {other + L"\\$R9.txt", 5000}}, true, 100},
        {L"another user's only", {{other + L"\\$R9.txt", 5000}}, false, 0},
        {L"RECYCLER", {{L"RECYCLER\\S-1\\Dc1.txt", 1000}}, false, 0},
        {L"Recycled", {{L"Recycled\\Dc1.txt", 700}}, false, 0},
        {L"recycler beside the real bin", {{L"recycler\\a.txt", 10}, {L"Recycled\\b.txt", 10}, {own + L"\\$R1.txt", 20}}, true, 20},
        {L"Other", {{L"Other\\a.txt", 10}}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        RemoveTree(Root / L"Drive");
        Root.MakeFolder(L"Drive");
        for (const auto& [name, size] : c.files) Root.MakeFile(L"Drive\\" + name, size);
        EXPECT_EQ(RecycleBinFolder(Drive), c.found ? Drive + own : L"");
        EXPECT_EQ(RecycleBinSize(Drive), c.size);
    }
}

TEST_F(JunkTest, RecycleBinAloneGivesSizeWithoutCount)
{
    WriteSettings({{L"IE Cache", L"0"}, {L"TempFile", L"0"}});
    Root.MakeFile(Bin + L"\\$R1.bin", 5 * kMiB);
    auto thread = RunScan();
    EXPECT_EQ(thread->JunkCount, 0);
    EXPECT_EQ(thread->RecycleBytes, static_cast<int64_t>(5 * kMiB));
    EXPECT_EQ(thread->SizeText, L"5.00 MB");
    EXPECT_EQ(Memo.Line(2), L"0 junk files");
    EXPECT_EQ(Memo.Line(3), L"Total size: 5.00 MB");
    EXPECT_TRUE(Listed().empty());
}

TEST_F(JunkTest, SumsOfTwoGigabytesAndMoreDoNotWrap)
{
    WriteSettings({{L"TempFile", L"0"}});
    Root.MakeFolder(Bin);
    MakeSparseFile(Cache + L"\\huge.bin", 3 * kGiB);
    MakeSparseFile(Cache + L"\\big.bin", 2 * kGiB + kGiB / 2);
    MakeSparseFile(BinFolder + L"\\$R1.iso", 5 * kGiB);
    auto thread = RunScan();
    EXPECT_EQ(thread->JunkCount, 2);
    EXPECT_EQ(thread->CacheBytes, static_cast<int64_t>(5 * kGiB + kGiB / 2));
    EXPECT_EQ(thread->RecycleBytes, static_cast<int64_t>(5 * kGiB));
    EXPECT_EQ(thread->TotalBytes, static_cast<int64_t>(10 * kGiB + kGiB / 2));
    EXPECT_EQ(thread->SizeText, L"10.50 GB");
}

TEST_F(JunkTest, ErrorOnTheWorkerStillSetsFinished)
{
    // Without the language lines the header cannot be written: the scan ends there.
    WriteSettings({});
    Root.MakeFile(L"Cache\\a.htm", 10);
    auto thread = RunScan(TWideStrings{});
    EXPECT_EQ(thread->Finished.load(), 1);
    EXPECT_EQ(thread->SizeText, L"");
    EXPECT_EQ(thread->JunkCount, 0);
    EXPECT_EQ(Memo.Count(), 0);
}

TEST_F(JunkTest, WaitingForTheScanDoesNotSpin)
{
    WriteSettings({{L"TempFile", L"0"}, {L"Recycle", L"0"}});
    for (int i = 0; i < 500; ++i) Root.MakeFile(L"Cache\\page" + std::to_wstring(i) + L".htm", 10);
    // The worker calls the window 102 times (the header, every fifth file, the summary); each call
    // wakes the wait at most once, and so may the quit request and the worker's end. A wait that
    // returns at once passes hundreds of times instead.
    constexpr int kWorkerCalls = 102;
    for (const bool quitAsked : {false, true}) {
        SCOPED_TRACE(quitAsked ? "after the quit request" : "while running");
        // "Stop Scan" closes the window: the quit request is then in the queue, and the pump puts it
        // back each time it sees it.
        if (quitAsked) PostQuitMessage(0);
        auto thread = RunScan();
        const bool terminated = Application().Terminated;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        Application().Terminated = false;

        EXPECT_EQ(terminated, quitAsked);
        EXPECT_EQ(thread->JunkCount, 500);
        EXPECT_EQ(Memo.Line(2), L"500 junk files");
        EXPECT_GT(WaitPasses, 0);
        EXPECT_LE(WaitPasses, quitAsked ? kWorkerCalls + 3 : 3 * kWorkerCalls);
    }
}

TEST_F(JunkTest, CacheFolderOutsideTheCodePageIsWalked)
{
    WriteSettings({{L"TempFile", L"0"}, {L"Recycle", L"0"}});
    const std::wstring name = L"Cache-\u0416\u6F22";
    ASSERT_NE(AnsiToWide(WideToAnsi(name)), name) << "the name fits the system code page";
    const std::wstring folder = Root.MakeFolder(name);
    SetUserShellFolder(L"Cache", folder);
    const std::wstring page = Root.MakeFile(name + L"\\a.htm", 10);

    auto thread = RunScan();
    EXPECT_EQ(thread->CachePath, folder);
    EXPECT_EQ(Listed(), std::vector<std::wstring>{page});
    // The removal library finds the same folder.
    RepairAndWait(*thread);
    EXPECT_FALSE(PathExists(page));
}

namespace {

std::atomic<int> BasicLevelRefusals{0};

// Answers like a system before Windows 7, which knows no basic information level.
HANDLE WINAPI FindFirstOnOlderSystem(LPCWSTR pattern, FINDEX_INFO_LEVELS level, LPVOID data, FINDEX_SEARCH_OPS search,
                                     LPVOID filter, DWORD flags)
{
    if (level == FindExInfoBasic || (flags & FIND_FIRST_EX_LARGE_FETCH)) {
        ++BasicLevelRefusals;
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    return FindFirstFileExW(pattern, level, data, search, filter, flags);
}

struct TFindCallStandIn {
    explicit TFindCallStandIn(TFindFirstCall call) { SetFindFirstCall(call); }
    ~TFindCallStandIn() { SetFindFirstCall(nullptr); }
};

} // namespace

TEST_F(JunkTest, WalksOnSystemsWithoutTheBasicListingLevel)
{
    WriteSettings({{L"Recycle", L"0"}});
    const std::wstring page = Root.MakeFile(L"Cache\\sub\\a.htm", 10);
    const std::wstring old = Root.MakeFile(L"Temp\\old.tmp", 10, 10);
    BasicLevelRefusals = 0;
    const TFindCallStandIn olderSystem(FindFirstOnOlderSystem);

    auto thread = RunScan();
    const std::vector<std::wstring> listed = Listed();
    EXPECT_EQ(std::set<std::wstring>(listed.begin(), listed.end()), (std::set<std::wstring>{page, old}));
    EXPECT_GT(BasicLevelRefusals.load(), 0);
}
