// The scan driver: the selection, the pauses and progress, the report and its count, the status line.
#include "PrivacyFixture.h"

#include "common/FormatText.h"
#include "common/Kelvor_Routine.h"
#include "privacy/PrivacyCategories.h"
#include "privacy/PrivacyPlatform.h"

#include <windows.h>

#include <set>

namespace {

const wchar_t kTypedUrls[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
const wchar_t kIntelliForms[] = L"Software\\Microsoft\\Internet Explorer\\IntelliForms";
const wchar_t kProtectedStorage[] = L"Software\\Microsoft\\Protected Storage System Provider";
const std::wstring kRule(90, L'-');

class PrivacyScan : public PrivacyTest {
protected:
    // One trace for each of positions 1, 3, 4 and 5; returns their display lines in that order.
    std::vector<std::wstring> PlantTraces()
    {
        SetRegString(HKEY_CURRENT_USER, kTypedUrls, L"url1", L"http://example.test/");
        const std::wstring visit = Root.MakeFile(L"UserHistory\\History.IE5\\visit.dat", 10);
        SetRegString(HKEY_CURRENT_USER, kProtectedStorage, L"stored", L"x");
        SetRegString(HKEY_CURRENT_USER, kIntelliForms, L"form", L"y");
        return {L"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs\\url1",
                visit + L"   10 bytes",
                L"HKEY_CURRENT_USER\\Software\\Microsoft\\Protected Storage System Provider\\stored",
                L"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\IntelliForms\\form"};
    }
};

TEST_F(PrivacyScan, NothingSelectedGivesOnlyTheSixReportLines)
{
    PlantTraces();
    EXPECT_EQ(RunScan(std::wstring(32, L'0')), 0);
    // The shipped language lines: the count goes in as text, the size as the shared formatter renders it.
    EXPECT_EQ(Memo.Lines(), (std::vector<std::wstring>{L"Privacy traces found on your computer", L"Items found: 0", kRule,
                                                       L"Space used: 0 bytes",
                                                       L"Every item listed below will be erased by Repair.", kRule}));
    EXPECT_EQ(Pauses, std::vector<DWORD>{}) << "an unticked position is not paced";
    EXPECT_EQ(Progress.Position(), 100);
    EXPECT_EQ(Scanner->Findings.FoundCount(), 0);
}

TEST_F(PrivacyScan, SelectionRunsOnlyThePositionsItTicks)
{
    const std::vector<std::wstring> lines = PlantTraces();
    const std::wstring& typed = lines[0];
    const std::wstring& visit = lines[1];
    const std::wstring& stored = lines[2];
    const std::wstring& form = lines[3];
    struct TCase {
        std::wstring Selection;
        std::set<std::wstring> Listed;
        size_t Paced; // the ticked positions: one pause each
    } cases[] = {
        {L"1", {typed}, 1},
        {L"001", {visit}, 1},
        {L"1x1", {typed, visit}, 2}, // only "1" ticks a position
        {L"00011", {stored, form}, 2},
        {L"", {}, 0},
        {L"11111", {typed, visit, stored, form}, 5},
        {Selection({1, 3, 4, 5}), {typed, visit, stored, form}, 4},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Selection));
        EXPECT_EQ(RunScan(c.Selection), static_cast<int32_t>(c.Listed.size()));
        EXPECT_EQ(AsSet(ListedLines()), c.Listed);
        EXPECT_EQ(Memo.Line(1), L"Items found: " + std::to_wstring(c.Listed.size()));
        EXPECT_EQ(Pauses, std::vector<DWORD>(c.Paced, 100));
    }
}

TEST_F(PrivacyScan, TwoScansInARowGiveTheSameReport)
{
    PlantTraces();
    TestCacheEntry cookie(CookieUrl("shop"), COOKIE_CACHE_ENTRY);
    const std::wstring selection = Selection({1, 2, 3, 4, 5});
    const int32_t first = RunScan(selection);
    const std::vector<std::wstring> report = Memo.Lines();
    const size_t cookies = Scanner->Findings.CacheUrls().size();
    EXPECT_EQ(first, 5);
    EXPECT_EQ(RunScan(selection), first);
    EXPECT_EQ(Memo.Lines(), report);
    EXPECT_EQ(Scanner->Findings.CacheUrls().size(), cookies);
    EXPECT_EQ(cookies, 1u);
}

TEST_F(PrivacyScan, FileSizesAreShownInBytesKilobytesAndMegabytes)
{
    struct TCase {
        const wchar_t* Name;
        uint64_t Size;
        const wchar_t* Text;
    } cases[] = {
        {L"empty.dat", 0, L"0 bytes"},
        {L"k.dat", 1024, L"1024 bytes"},
        {L"k1.dat", 1025, L"1.00 KB"},
        {L"m.dat", 1048576, L"1024.00 KB"},
        {L"m1.dat", 1048577, L"1.00 M"},
        // Beyond 4 GB: sizes and the total are 64-bit.
        {L"big.dat", 5ull * 1024 * 1024 * 1024 + 1, L"5120.00 M"},
    };
    std::set<std::wstring> expected;
    int64_t total = 0;
    for (const TCase& c : cases) {
        const std::wstring path = c.Size > 2 * 1048576 ? Root.MakeSparseFile(L"UserHistory\\" + std::wstring(c.Name), c.Size)
                                                       : Root.MakeFile(L"UserHistory\\" + std::wstring(c.Name), c.Size);
        expected.insert(path + L"   " + c.Text);
        total += static_cast<int64_t>(c.Size);
    }
    EXPECT_EQ(RunScan(Selection({3})), 6);
    EXPECT_EQ(AsSet(ListedLines()), expected);
    EXPECT_EQ(Scanner->Findings.TotalBytes(), total);
    EXPECT_EQ(Memo.Line(3), L"Space used: " + FormatSizeZero(total));
    EXPECT_NE(Memo.Line(3).find(L"GB"), std::wstring::npos) << testing::PrintToString(Memo.Line(3));
}

TEST_F(PrivacyScan, StatusLineNamesWhatEachPositionLooksAt)
{
    const std::wstring prefix = Scanner->ScanPrefix;
    struct TCase {
        int Position;
        std::wstring Subject;
    } cases[] = {
        {1, L"TypedURLs"},
        {2, L"UserCookies"}, // the last part of the cookies folder
        {3, L"UserHistory"}, // the last part of the history folder
        {4, L"Protected Storage System Provider"},
        {5, L"IntelliForms"},
        {6, L"cookies.txt"}, // the file's name
        {7, L"downloads.rdf"},
        {8, (AppData + L"\\Mozilla\\Firefox\\history.dat").substr(0, 60)}, // the file's full path
        {9, (AppData + L"\\Mozilla\\Firefox\\formhistory.dat").substr(0, 60)},
        {10, AppData.substr(0, 60)},
        {11, L"profile\\cookies4.dat"},
        {12, L"profile\\global.dat"},
        {13, L"profile\\cache4"},
        {14, Recent.substr(0, 60)},
        {15, L"StartMenu"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Position);
        RunScan(Selection({c.Position}));
        EXPECT_EQ(StatusTexts, (std::vector<std::wstring>{L"", prefix + c.Subject}));
    }
}

TEST_F(PrivacyScan, StopEndsTheCategoriesButNotTheReport)
{
    const std::vector<std::wstring> lines = PlantTraces();
    Root.MakeFile(L"UserHistory\\second.dat", 10);
    // "Stop Scan" arrives while the history folder is being looked at.
    OnStatus = [this](const std::wstring& text) {
        if (text == Scanner->ScanPrefix + L"UserHistory")
            Scanner->Stopped = 1;
    };
    EXPECT_EQ(RunScan(Selection({1, 2, 3, 4, 5})), 1);
    EXPECT_EQ(ListedLines(), std::vector<std::wstring>{lines[0]});
    EXPECT_EQ(Pauses, std::vector<DWORD>(3, 100)) << "positions 1 to 3 ran; none after the stop is paced";
    EXPECT_EQ(Memo.Line(1), L"Items found: 1");
}

// Every position ticked: the pauses share one second instead of taking 100 ms each.
TEST_F(PrivacyScan, PacingOfEveryPositionStaysWithinASecond)
{
    PlantTraces();
    EXPECT_GE(RunScan(std::wstring(kClassicPositions, L'1')), 4);
    ASSERT_EQ(Pauses.size(), static_cast<size_t>(kClassicPositions));
    DWORD total = 0;
    for (DWORD pause : Pauses)
        total += pause;
    EXPECT_LE(total, kPacingBudgetMs);
    EXPECT_GE(total, kPacingBudgetMs - kClassicPositions) << "the budget is spent, not dropped";
    EXPECT_EQ(Progress.Position(), 100);
}

// The only test at the real pacing: one ticked position sleeps its 100 ms.
TEST_F(PrivacyScan, RealPacingSleeps)
{
    const std::vector<std::wstring> lines = PlantTraces();
    Scanner->Pause = SystemPause();
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(RunScan(Selection({1})), 1);
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, 100u - 16u) << elapsed << " ms";
    EXPECT_EQ(ListedLines(), std::vector<std::wstring>{lines[0]});
}

} // namespace
