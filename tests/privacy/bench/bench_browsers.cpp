// Times the privacy sweeper's cleaning of a browser history against the same statements run once by a
// minimal program over the same SQLite library, in one run, on two copies of one database.
//   bench_browsers chrome [pages] [visits-per-page] [bookmark-every]   (defaults 100000 5 20)
// Chrome: a History of 100,000 pages and 500,000 visits, one page in 20 bookmarked. Both sides run
// "PRAGMA quick_check", the deletions in one transaction, and VACUUM.
#include "BrowserData.h"
#include "common/Kelvor_Routine.h"
#include "common/MultiLan.h"
#include "common/Sqlite.h"
#include "privacy/ChromiumProfiles.h"
#include "privacy/PrivacyCategories.h"
#include "privacy/PrivacyScanner.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"
#include "support/ShellFolders.h"
#include "ui/Create.h"
#include "ui/Label.h"
#include "ui/Memo.h"
#include "ui/ProgressBar.h"

#include <windows.h>
#include <psapi.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

double Time(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return Seconds(std::chrono::steady_clock::now() - start);
}

size_t PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

bool Exec(TSqliteDatabase& db, const std::string& sql)
{
    if (db.Execute(sql.c_str()) == SQLITE_OK)
        return true;
    std::fprintf(stderr, "bench: %s: %s\n", sql.c_str(), sqlite3_errmsg(db.Get()));
    return false;
}

// The minimal program: the sweeper's statements for a Chromium history, written out once.
bool BaselineChromium(const std::wstring& history, const std::vector<std::string>& kept)
{
    TSqliteDatabase db;
    if (db.Open(history) != SQLITE_OK)
        return false;
    bool ok = Exec(db, "BEGIN IMMEDIATE");
    {
        TSqliteStatement check(db, "PRAGMA quick_check");
        ok = ok && check.Step() == SQLITE_ROW && check.ColumnText(0) == "ok";
    }
    for (const char* table : {"visits", "visit_source", "keyword_search_terms", "segment_usage", "segments"})
        ok = ok && Exec(db, std::string("DELETE FROM ") + table);
    ok = ok && Exec(db, "CREATE TEMP TABLE kept_urls(url TEXT PRIMARY KEY)");
    {
        TSqliteStatement insert(db, "INSERT OR IGNORE INTO temp.kept_urls(url) VALUES (?1)");
        for (const std::string& url : kept) {
            insert.Reset();
            ok = ok && insert.Bind(1, std::string_view(url)).Run() == SQLITE_DONE;
        }
    }
    ok = ok && Exec(db, "DELETE FROM urls WHERE url NOT IN (SELECT url FROM temp.kept_urls)");
    for (const char* column : {"visit_count", "typed_count", "last_visit_time"})
        ok = ok && Exec(db, std::string("UPDATE urls SET ") + column + "=0");
    ok = ok && Exec(db, "COMMIT") && Exec(db, "VACUUM");
    return ok;
}

int BenchChromium(int pages, int visits, int every)
{
    ScratchRegistry registry;
    ScratchFolder root(L"bench");
    const std::wstring local = root.MakeFolder(L"Local");
    const std::wstring appData = root.MakeFolder(L"AppData");
    SetUserShellFolder(L"Local AppData", local);
    SetUserShellFolder(L"AppData", appData);
    const std::wstring profile = root.MakeFolder(L"Local\\Google\\Chrome\\User Data\\Default");
    const std::wstring master = root.Path() + L"\\History-master";

    std::vector<TChromiumPage> list;
    std::vector<std::pair<std::string, std::string>> bookmarks;
    std::vector<std::string> kept;
    for (int i = 0; i < pages; ++i) {
        list.push_back({"https://site" + std::to_string(i % 997) + ".example/page/" + std::to_string(i),
                        "Page number " + std::to_string(i), visits, false});
        if (i % every == 0) {
            bookmarks.emplace_back(list.back().Url, list.back().Title);
            kept.push_back(list.back().Url);
        }
    }
    const double plant = Time([&] {
        if (!CreateDatabase(master, kChromiumHistorySchema) || !AddChromiumPages(master, L"", list))
            std::fputs("bench: the history could not be made\n", stderr);
    });
    const std::string bookmarksJson = ChromiumBookmarksJson(bookmarks);
    HANDLE file = CreateFileW((profile + L"\\Bookmarks").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bookmarksJson.data(), static_cast<DWORD>(bookmarksJson.size()), &written, nullptr);
    CloseHandle(file);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(master.c_str(), GetFileExInfoStandard, &data);
    std::printf("History: %d pages, %lld visits, %zu bookmarked; made in %.2f s; %.1f MiB\n", pages,
                static_cast<long long>(TableRows(master, "visits")), kept.size(), plant,
                static_cast<double>(data.nFileSizeLow) / (1024 * 1024));

    // The baseline on one copy.
    const std::wstring baselineCopy = root.Path() + L"\\History-baseline";
    CopyFileW(master.c_str(), baselineCopy.c_str(), FALSE);
    bool baselineOk = false;
    const double baseline = Time([&] { baselineOk = BaselineChromium(baselineCopy, kept); });

    // The sweeper on another: its scan (counting), then its repair.
    const std::wstring history = profile + L"\\History";
    CopyFileW(master.c_str(), history.c_str(), FALSE);
    InitControls();
    const HWND host = CreateHostWindow();
    TLabel status;
    TProgressBar progress;
    TMemo memo;
    status.Create({.Parent = host, .Width = 400, .Height = 16});
    progress.Create({.Parent = host, .Top = 20, .Width = 400, .Height = 16});
    memo.Create({.Parent = host, .Top = 40, .Width = 400, .Height = 200, .Style = ES_READONLY});
    const std::wstring program = ProgramFileName();
    TPrivacyScanner scanner(TMultiLan(L"C:\\no-such-folder\\Main.ini", program.substr(0, program.find_last_of(L'\\') + 1))
                                .GetSection(L"M_PrivacyScan"));
    scanner.Platform.Pause = [](DWORD) {};
    std::wstring selection(kPrivacyCategoryCount, L'0');
    selection[32] = L'1'; // Chrome: History
    int found = 0;
    const double scan = Time([&] { found = scanner.Scan(status, progress, selection, memo); });
    const double repair = Time([&] { scanner.Repair(status, progress); });
    const bool sweeperOk = scanner.LastRepair.AllDone() && TableRows(history, "visits") == 0;
    const int64_t left = TableRows(history, "urls"), baselineLeft = TableRows(baselineCopy, "urls");
    DestroyWindow(host);

    std::printf("baseline (minimal program, same statements): %.2f s%s, %lld pages left\n", baseline,
                baselineOk ? "" : " (FAILED)", static_cast<long long>(baselineLeft));
    std::printf("sweeper repair:                              %.2f s%s, %lld pages left (ratio %.2f, target 1.5)\n", repair,
                sweeperOk ? "" : " (FAILED)", static_cast<long long>(left), repair / baseline);
    std::printf("sweeper scan (counting what it removes):     %.2f s, %d items\n", scan, found);
    std::printf("peak working set: %.1f MiB\n", static_cast<double>(PeakWorkingSet()) / (1024 * 1024));
    return baselineOk && sweeperOk && left == baselineLeft ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring which = argc > 1 ? argv[1] : L"chrome";
    const int pages = argc > 2 ? _wtoi(argv[2]) : 100000;
    const int visits = argc > 3 ? _wtoi(argv[3]) : 5;
    const int every = argc > 4 ? _wtoi(argv[4]) : 20;
    if (which == L"chrome")
        return BenchChromium(pages, visits, every);
    std::fputs("usage: bench_browsers chrome [pages] [visits-per-page] [bookmark-every]\n", stderr);
    return 2;
}
