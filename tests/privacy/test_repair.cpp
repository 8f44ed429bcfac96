// The clean-up: exactly the listed items go; files in use wait for the restart (MoveFileEx, or wininit.ini
// on the 9x family) and are marked by the next scan; a stop still clears the cookies; Firefox's files
// stay while it runs.
#include "PrivacyFixture.h"

#include "common/CodePage.h"
#include "common/Handles.h"
#include "common/Kelvor_Routine.h"
#include "common/Registry.h"
#include "common/SafeDelete.h"
#include "common/SystemFolders.h"
#include "privacy/PrivacyCollectors.h"
#include "privacy/Processes.h"
#include "privacy/RestartDeletion.h"

#include <fstream>
#include <iterator>
#include <set>

namespace {

const wchar_t kTypedUrls[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
const wchar_t kIntelliForms[] = L"Software\\Microsoft\\Internet Explorer\\IntelliForms";

std::string ReadAll(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Held open the way a program that uses the file holds it: without delete sharing.
THandle Lock(const std::wstring& path)
{
    THandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(file.Valid()) << "locking, error " << GetLastError();
    return file;
}

std::wstring ShortPath(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    EXPECT_GT(length, 0u) << "error " << GetLastError();
    return buffer;
}

using PrivacyRepair = PrivacyTest;

TEST_F(PrivacyRepair, RemovesExactlyWhatTheScanListed)
{
    SetRegString(HKEY_CURRENT_USER, kTypedUrls, L"url1", L"http://example.test/");
    TRegKey typed;
    ASSERT_EQ(ERROR_SUCCESS, typed.Create(HKEY_CURRENT_USER, kTypedUrls, KEY_ALL_ACCESS));
    ASSERT_EQ(ERROR_SUCCESS, typed.WriteString(L"url2", L"%HOMEDRIVE%\\page.htm", REG_EXPAND_SZ));
    SetRegString(HKEY_CURRENT_USER, kIntelliForms, L"form", L"y");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Main", L"Start Page", L"about:blank");
    const std::wstring visit = Root.MakeFile(L"UserHistory\\History.IE5\\visit.dat", 100);
    const std::wstring deep = Root.MakeFile(L"UserHistory\\History.IE5\\MSHist01\\index.dat", 200);
    const std::wstring elsewhere = Root.MakeFile(L"Outside\\letter.txt", 10);
    TestCacheEntry cookie(CookieUrl("shop"), COOKIE_CACHE_ENTRY);

    ASSERT_EQ(RunScan(Selection({1, 2, 3, 4, 5})), 5);
    RunRepair();

    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kTypedUrls, L"url1"));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kIntelliForms, L"form"));
    EXPECT_FALSE(FileExists(visit));
    EXPECT_FALSE(FileExists(deep));
    EXPECT_FALSE(cookie.Exists());
    // What was not listed is still there.
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, kTypedUrls, L"url2"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Main", L"Start Page"));
    EXPECT_TRUE(FolderExists(History + L"\\History.IE5\\MSHist01"));
    EXPECT_TRUE(FileExists(elsewhere));

    const TRepairReport& report = Scanner->LastRepair;
    EXPECT_TRUE(report.Ran);
    EXPECT_EQ(report.Count(TOutcome::Removed), 5);
    EXPECT_EQ(report.Total(), 5);
    EXPECT_TRUE(report.AllDone());
    EXPECT_EQ(Progress.Position(), 100);
    const std::set<std::wstring> status(StatusTexts.begin(), StatusTexts.end());
    EXPECT_TRUE(status.count(Scanner->RepairPrefix + L"TypedURLs/url1")) << testing::PrintToString(StatusTexts);
    EXPECT_TRUE(status.count(Scanner->RepairPrefix + L"visit.dat")) << testing::PrintToString(StatusTexts);
    // The scan's results stay as they were.
    EXPECT_EQ(Scanner->Findings.FoundCount(), 5);
}

TEST_F(PrivacyRepair, ALockedFileWaitsForTheRestartAndTheNextScanMarksIt)
{
    const std::wstring index = Root.MakeFile(L"UserHistory\\History.IE5\\index.dat", 64);
    const std::wstring free = Root.MakeFile(L"UserHistory\\History.IE5\\free.dat", 64);
    THandle lock = Lock(index);
    ASSERT_EQ(RunScan(Selection({3})), 2);
    RunRepair();
    EXPECT_FALSE(FileExists(free));
    EXPECT_TRUE(FileExists(index));
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Scheduled), 1);
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Removed), 1);
    EXPECT_TRUE(Scanner->LastRepair.AllDone()) << "scheduled counts as done";
    EXPECT_EQ(Scanner->PendingDeletes, TWideStrings{index});
    EXPECT_EQ(Scanner->PendingCount, 1);
    EXPECT_TRUE(Renames.AsksToDelete(index)) << testing::PrintToString(Renames.Entries());

    // The next scan shows it behind the pending prefix and does not count it again.
    const std::wstring fresh = Root.MakeFile(L"UserHistory\\History.IE5\\fresh.dat", 64);
    EXPECT_EQ(RunScan(Selection({3})), 1);
    EXPECT_EQ(std::set<std::wstring>(Memo.Lines().begin() + 6, Memo.Lines().end()),
              (std::set<std::wstring>{L"[pending restart] " + index + L"   64 bytes", fresh + L"   64 bytes"}));
    EXPECT_EQ(Memo.Line(1), L"Items found: 1");

    // Gone at the restart: only what is listed again is taken off the count, so it never drops below 0.
    lock.Reset();
    ASSERT_EQ(DeleteFileSafe(index), TOutcome::Removed);
    EXPECT_EQ(RunScan(Selection({3})), 1);
    EXPECT_EQ(RunScan(std::wstring(32, L'0')), 0);
    EXPECT_EQ(Memo.Line(1), L"Items found: 0");
    EXPECT_EQ(Scanner->PendingCount, 1) << "only a repair resets the pending list";
}

TEST_F(PrivacyRepair, OnWindows9xTheNewestRestartDeletionComesFirstInWininit)
{
    const std::wstring realWininit = WindowsFolder() + L"\\wininit.ini";
    const bool realExisted = FileExists(realWininit);
    const std::string realContent = ReadAll(realWininit);
    PlatformId = VER_PLATFORM_WIN32_WINDOWS;
    struct TCase {
        const char* Before; // nullptr: no wininit.ini yet
        const char* Head;   // what stays before the new lines
        const char* Tail;   // what stays after them
    } cases[] = {
        {nullptr, "[rename]\r\n", ""},
        {"[boot]\r\nshell=x\r\n[Rename]\r\nNUL=C:\\OLD.TXT\r\n[other]\r\ny=2", "[boot]\r\nshell=x\r\n[Rename]\r\n",
         "NUL=C:\\OLD.TXT\r\n[other]\r\ny=2\r\n"},
        {"[boot]\r\nshell=x\r\n", "[boot]\r\nshell=x\r\n[rename]\r\n", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Before ? c.Before : "(none)");
        const std::wstring wininit = WindowsDir + L"\\wininit.ini";
        DeleteFileW(wininit.c_str());
        if (c.Before)
            WriteTextFile(wininit, c.Before);
        const std::wstring first = Root.MakeFile(L"UserHistory\\first in use.dat", 8);
        const std::wstring second = Root.MakeFile(L"UserHistory\\second in use.dat", 8);
        THandle lockFirst = Lock(first), lockSecond = Lock(second);
        RunScan(Selection({3}));
        ASSERT_EQ(Scanner->Findings.FoundCount(), 2);
        const std::vector<std::wstring> order = ItemPaths();
        RunRepair();
        EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Scheduled), 2);
        const std::string expected = std::string(c.Head) + "NUL=" + WideToAnsi(ShortPath(order[1])) + "\r\nNUL=" +
                                     WideToAnsi(ShortPath(order[0])) + "\r\n" + c.Tail;
        EXPECT_EQ(ReadAll(wininit), expected);
        EXPECT_EQ(FilesIn(WindowsDir), std::vector<std::wstring>{L"wininit.ini"}) << "no temporary file is left";
        EXPECT_FALSE(Renames.AsksToDelete(first));
        lockFirst.Reset();
        lockSecond.Reset();
        EXPECT_EQ(DeleteFileSafe(first), TOutcome::Removed);
        EXPECT_EQ(DeleteFileSafe(second), TOutcome::Removed);
    }
    EXPECT_EQ(FileExists(realWininit), realExisted);
    EXPECT_EQ(ReadAll(realWininit), realContent);
}

TEST_F(PrivacyRepair, AFileThatCannotBeScheduledIsReportedInUse)
{
    const std::wstring wininit = WindowsDir + L"\\wininit.ini";
    const std::string kept = "[rename]\r\nNUL=C:\\OLD.TXT\r\n";
    struct TCase {
        const char* Name;
        DWORD Platform;
        std::wstring Windows;
        bool HoldWininit;
    } cases[] = {
        {"Win32s has no restart deletion", VER_PLATFORM_WIN32s, WindowsDir, false},
        {"wininit.ini held open by another program", VER_PLATFORM_WIN32_WINDOWS, WindowsDir, true},
        {"no Windows folder", VER_PLATFORM_WIN32_WINDOWS, Root / L"NoSuchWindows", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteTextFile(wininit, kept);
        PlatformId = c.Platform;
        const std::wstring windows = c.Windows;
        Scanner->Platform.WindowsFolder = [windows] { return windows; };
        THandle holder;
        if (c.HoldWininit)
            holder = Lock(wininit);
        const std::wstring busy = Root.MakeFile(L"UserHistory\\busy.dat", 8);
        THandle lock = Lock(busy);
        ASSERT_EQ(RunScan(Selection({3})), 1) << testing::PrintToString(Memo.Lines());
        RunRepair();
        EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::InUse), 1);
        EXPECT_FALSE(Scanner->LastRepair.AllDone());
        ASSERT_EQ(Scanner->LastRepair.Left().size(), 1u);
        EXPECT_EQ(Scanner->LastRepair.Left()[0].Text, busy);
        EXPECT_TRUE(Scanner->PendingDeletes.empty());
        EXPECT_EQ(Scanner->PendingCount, 0);
        holder.Reset();
        EXPECT_EQ(ReadAll(wininit), kept) << "the file is kept whole";
        EXPECT_EQ(FilesIn(WindowsDir), std::vector<std::wstring>{L"wininit.ini"});
        lock.Reset();
        EXPECT_EQ(DeleteFileSafe(busy), TOutcome::Removed);
    }
    PlatformId = VER_PLATFORM_WIN32s;
    SetLastError(0);
    EXPECT_FALSE(DeleteFileOnReboot(Root / L"UserHistory\\any.dat", Scanner->Platform));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

TEST_F(PrivacyRepair, AStopLeavesTheRemainingItemsButStillClearsTheCookies)
{
    for (const wchar_t* name : {L"url1", L"url2", L"url3"})
        SetRegString(HKEY_CURRENT_USER, kTypedUrls, name, L"http://example.test/");
    TestCacheEntry cookie(CookieUrl("shop"), COOKIE_CACHE_ENTRY);
    ASSERT_EQ(RunScan(Selection({1, 2})), 4);
    // The stop arrives while the second item is being shown.
    int shown = 0;
    OnStatus = [&](const std::wstring& text) {
        if (text.rfind(Scanner->RepairPrefix, 0) == 0 && ++shown == 2)
            Scanner->Stopped = 1;
    };
    RunRepair();
    int left = 0;
    for (const wchar_t* name : {L"url1", L"url2", L"url3"})
        left += RegValueExists(HKEY_CURRENT_USER, kTypedUrls, name) ? 1 : 0;
    EXPECT_EQ(left, 2);
    EXPECT_FALSE(cookie.Exists());
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Removed), 2);
    EXPECT_EQ(Scanner->LastRepair.Left().size(), 2u) << "what the stop left is reported as not removed";
    EXPECT_EQ(Progress.Position(), 100);
}

TEST_F(PrivacyRepair, FirefoxFilesWaitWhileFirefoxRunsExceptCookiesAndDownloads)
{
    const TFolderGuard guard(Scanner->ProtectedFolders());
    TPrivacyCollector collect(Scanner->Findings, Scanner->Stopped, guard, {});
    const std::wstring profile = Root.MakeFolder(L"AppData\\Mozilla\\Firefox\\Profiles\\ab12.default");
    struct TFile {
        const wchar_t* Name;
        bool RemovedWhileRunning;
    } files[] = {
        {L"history.dat", false}, {L"formhistory.dat", false}, {L"Cache\\1A2B3C", false},
        {L"cookies.txt", true},  {L"downloads.rdf", true},
    };
    for (const TFile& file : files)
        Root.MakeFile(L"AppData\\Mozilla\\Firefox\\Profiles\\ab12.default\\" + std::wstring(file.Name), 4);
    const auto list = [&] {
        Scanner->Findings.Clear();
        for (const TFile& file : files)
            collect.ListFile(profile + L"\\" + file.Name);
    };

    StandInProcess firefox(Root / L"Outside\\firefox.exe");
    ASSERT_TRUE(firefox.Running());
    EXPECT_TRUE(IsProcessRunning(L"FireFox.exe"));

    list();
    RunRepair();
    for (const TFile& file : files)
        EXPECT_EQ(FileExists(profile + L"\\" + file.Name), !file.RemovedWhileRunning) << testing::PrintToString(file.Name);
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::InUse), 3);
    EXPECT_TRUE(Scanner->PendingDeletes.empty()) << "nothing is scheduled for Firefox's own files";

    firefox.End();
    EXPECT_FALSE(IsProcessRunning(L"FireFox.exe"));
    list();
    RunRepair();
    for (const TFile& file : files)
        EXPECT_FALSE(FileExists(profile + L"\\" + file.Name)) << testing::PrintToString(file.Name);
    EXPECT_TRUE(Scanner->LastRepair.AllDone());
}

TEST_F(PrivacyRepair, NothingListedOnlyFinishesTheProgress)
{
    ASSERT_EQ(RunScan(Selection({1, 3})), 0);
    RunRepair();
    EXPECT_TRUE(Scanner->LastRepair.Ran);
    EXPECT_EQ(Scanner->LastRepair.Total(), 0);
    EXPECT_TRUE(Scanner->LastRepair.AllDone());
    EXPECT_EQ(Progress.Position(), 100);
}

} // namespace
