// Times the privacy sweeper's cleaning of a browser history against the same statements run once by a
// minimal program over the same SQLite library, in one run, on two copies of one database.
//   bench_browsers chrome [pages] [visits-per-page] [bookmark-every]   (defaults 100000 5 20)
//   bench_browsers firefox [places] [visits-per-place] [bookmark-every]  (defaults 100000 5 20)
// Chrome: a History of 100,000 pages and 500,000 visits, one page in 20 bookmarked. Firefox: a
// places.sqlite of 100,000 places, 500,000 visits and 5,000 bookmarks. Both sides run
// "PRAGMA quick_check", the deletions in one transaction, and VACUUM.
#include "BrowserData.h"
#include "common/SystemFolders.h"
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

// The sweeper's statements for a Firefox history, written out once (places.sqlite alone: the benchmark
// has no favicons.sqlite).
bool BaselineFirefox(const std::wstring& places)
{
    TSqliteDatabase db;
    if (db.Open(places) != SQLITE_OK)
        return false;
    bool ok = Exec(db, "BEGIN IMMEDIATE");
    {
        TSqliteStatement check(db, "PRAGMA quick_check");
        ok = ok && check.Step() == SQLITE_ROW && check.ColumnText(0) == "ok";
    }
    for (const char* table : {"moz_historyvisits", "moz_places_metadata", "moz_places_metadata_search_queries",
                              "moz_previews_tombstones"})
        ok = ok && Exec(db, std::string("DELETE FROM ") + table);
    ok = ok && Exec(db, "DELETE FROM moz_places WHERE 1 AND id NOT IN (SELECT fk FROM moz_bookmarks WHERE fk NOT NULL) "
                        "AND id NOT IN (SELECT place_id FROM moz_keywords WHERE place_id NOT NULL) AND foreign_count = 0");
    ok = ok && Exec(db, "DELETE FROM moz_annos WHERE place_id NOT IN (SELECT id FROM moz_places)");
    ok = ok && Exec(db, "DELETE FROM moz_inputhistory WHERE place_id NOT IN (SELECT id FROM moz_places)");
    ok = ok && Exec(db, "DELETE FROM moz_origins WHERE id NOT IN (SELECT origin_id FROM moz_places WHERE origin_id NOT NULL)");
    for (const char* set : {"visit_count=0", "last_visit_date=NULL", "typed=0", "frecency=-1", "recalc_frecency=1"})
        ok = ok && Exec(db, std::string("UPDATE moz_places SET ") + set);
    ok = ok && Exec(db, "COMMIT") && Exec(db, "VACUUM");
    return ok;
}

struct TBenchScene {
    ScratchRegistry Registry;
    ScratchFolder Root{L"bench"};
    std::wstring Local = Root.MakeFolder(L"Local");
    std::wstring AppData = Root.MakeFolder(L"AppData");

    TBenchScene()
    {
        SetUserShellFolder(L"Local AppData", Local);
        SetUserShellFolder(L"AppData", AppData);
    }
};

// The sweeper's scan and repair of one position; false when the repair left anything.
struct TSweeperRun {
    double Scan = 0, Repair = 0;
    int Found = 0;
    bool AllDone = false;
};

TSweeperRun RunSweeper(int position)
{
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
    scanner.Pause = [](DWORD) {};
    std::wstring selection(kPrivacyCategoryCount, L'0');
    selection[static_cast<size_t>(position - 1)] = L'1';
    TSweeperRun run;
    run.Scan = Time([&] { run.Found = scanner.Scan(status, progress, selection, memo); });
    run.Repair = Time([&] { scanner.Repair(status, progress); });
    run.AllDone = scanner.LastRepair.AllDone();
    DestroyWindow(host);
    return run;
}

double MiB(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return static_cast<double>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) / (1024 * 1024);
}

void Report(double baseline, bool baselineOk, int64_t baselineLeft, const TSweeperRun& run, bool sweeperOk, int64_t left)
{
    std::printf("baseline (minimal program, same statements): %.2f s%s, %lld pages left\n", baseline,
                baselineOk ? "" : " (FAILED)", static_cast<long long>(baselineLeft));
    std::printf("sweeper repair:                              %.2f s%s, %lld pages left (ratio %.2f, target 1.5)\n",
                run.Repair, sweeperOk ? "" : " (FAILED)", static_cast<long long>(left), run.Repair / baseline);
    std::printf("sweeper scan (counting what it removes):     %.2f s, %d items\n", run.Scan, run.Found);
    std::printf("peak working set: %.1f MiB\n", static_cast<double>(PeakWorkingSet()) / (1024 * 1024));
}

int BenchFirefox(int count, int visits, int every)
{
    TBenchScene scene;
    const std::wstring profile = scene.Root.MakeFolder(L"AppData\\Mozilla\\Firefox\\Profiles\\bench.default");
    const std::wstring ini = scene.AppData + L"\\Mozilla\\Firefox\\profiles.ini";
    const std::string text = FirefoxProfilesIni({{"Profiles/bench.default", true}});
    HANDLE file = CreateFileW(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    const std::wstring master = scene.Root.Path() + L"\\places-master.sqlite";
    std::vector<TFirefoxPage> list;
    for (int i = 0; i < count; ++i)
        list.push_back({"https://site" + std::to_string(i % 997) + ".example/page/" + std::to_string(i),
                        "Page number " + std::to_string(i), visits, i % every == 0, false, i % 50 == 1});
    const double plant = Time([&] {
        if (!CreateDatabase(master, kFirefoxPlacesSchema) || !AddFirefoxPlaces(master, L"", list))
            std::fputs("bench: places.sqlite could not be made\n", stderr);
    });
    std::printf("places.sqlite: %d places, %lld visits, %lld bookmarks; made in %.2f s; %.1f MiB\n", count,
                static_cast<long long>(TableRows(master, "moz_historyvisits")),
                static_cast<long long>(TableRows(master, "moz_bookmarks") - 3), plant, MiB(master));

    const std::wstring baselineCopy = scene.Root.Path() + L"\\places-baseline.sqlite";
    CopyFileW(master.c_str(), baselineCopy.c_str(), FALSE);
    bool baselineOk = false;
    const double baseline = Time([&] { baselineOk = BaselineFirefox(baselineCopy); });

    const std::wstring places = profile + L"\\places.sqlite";
    CopyFileW(master.c_str(), places.c_str(), FALSE);
    const TSweeperRun run = RunSweeper(75); // today's Firefox: History
    const bool sweeperOk = run.AllDone && TableRows(places, "moz_historyvisits") == 0;
    const int64_t left = TableRows(places, "moz_places"), baselineLeft = TableRows(baselineCopy, "moz_places");
    Report(baseline, baselineOk, baselineLeft, run, sweeperOk, left);
    return baselineOk && sweeperOk && left == baselineLeft ? 0 : 1;
}

int BenchChromium(int pages, int visits, int every)
{
    TBenchScene scene;
    const std::wstring profile = scene.Root.MakeFolder(L"Local\\Google\\Chrome\\User Data\\Default");
    const std::wstring master = scene.Root.Path() + L"\\History-master";
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
    std::printf("History: %d pages, %lld visits, %zu bookmarked; made in %.2f s; %.1f MiB\n", pages,
                static_cast<long long>(TableRows(master, "visits")), kept.size(), plant, MiB(master));

    // The baseline on one copy, the sweeper on another.
    const std::wstring baselineCopy = scene.Root.Path() + L"\\History-baseline";
    CopyFileW(master.c_str(), baselineCopy.c_str(), FALSE);
    bool baselineOk = false;
    const double baseline = Time([&] { baselineOk = BaselineChromium(baselineCopy, kept); });
    const std::wstring history = profile + L"\\History";
    CopyFileW(master.c_str(), history.c_str(), FALSE);
    const TSweeperRun run = RunSweeper(33); // Chrome: History
    const bool sweeperOk = run.AllDone && TableRows(history, "visits") == 0;
    const int64_t left = TableRows(history, "urls"), baselineLeft = TableRows(baselineCopy, "urls");
    Report(baseline, baselineOk, baselineLeft, run, sweeperOk, left);
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
    if (which == L"firefox")
        return BenchFirefox(pages, visits, every);
    std::fputs("usage: bench_browsers chrome|firefox [pages] [visits-per-page] [bookmark-every]\n", stderr);
    return 2;
}
