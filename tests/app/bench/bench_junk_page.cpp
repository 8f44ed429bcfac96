// Times the details window's junk page with 100,000 lines, from creating the window until it is
// painted on the screen, beside the same window showing the same lines in a memo (the former page) in
// the same run; prints the peak working set. Usage: bench_junk_page [line count]
#include "app/Unit2.h"
#include "support/PeakWorkingSet.h"
#include "ui/Memo.h"
#include "ui/MessagePump.h"

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

double Seconds(TClock::duration d) { return std::chrono::duration<double>(d).count(); }

int Paints = 0;

LRESULT CALLBACK CountPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_PAINT)
        ++Paints;
    return DefSubclassProc(window, message, wParam, lParam);
}

const std::vector<std::wstring> kHeading = {L"Junk files:", std::wstring(56, L'-'), L"", L"100000 junk files",
                                            L"Total size: 205.08 MB"};

std::shared_ptr<std::vector<std::wstring>> JunkLines(int count)
{
    auto lines = std::make_shared<std::vector<std::wstring>>();
    lines->reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        lines->push_back(L"C:\\users\\bench\\Temp\\folder" + std::to_wstring(i % 100) + L"\\cache_entry_" +
                         std::to_wstring(i) + L".tmp");
    return lines;
}

struct TShown {
    double Seconds = 0;
    int Paints = 0;
    int Rows = 0;
};

// Creates the window, fills its junk page (the list, or a memo in its place), shows that page and
// waits until it is painted.
TShown ShowPage(const std::shared_ptr<std::vector<std::wstring>>& lines, bool memo)
{
    TDetailsHost host;
    host.Settings = [] { return static_cast<const TSettings*>(nullptr); };
    TShown shown;
    const auto start = TClock::now();
    TW_Details details(host);
    details.Create();
    TMemo former;
    HWND painted = details.TempMemo.Handle();
    if (memo) {
        // The page as it was: one read-only memo filling it, handed the whole text at once.
        const HWND page = details.TntTabSheet6->Handle();
        ShowWindow(details.TempMemo.Handle(), SW_HIDE);
        ShowWindow(details.TempMemo.Heading.Handle(), SW_HIDE);
        former.Create({.Parent = page, .Width = 862, .Height = 466 - 41,
                       .Style = ES_READONLY | WS_VSCROLL | WS_BORDER, .FontName = L"Courier New", .FontHeight = 12});
        for (const std::wstring& line : kHeading)
            former.Add(line);
        for (const std::wstring& line : *lines)
            former.Add(line);
        former.ScrollToEnd();
        painted = former.Handle();
    } else {
        for (const std::wstring& line : kHeading)
            details.TempMemo.Add(line);
        details.TempMemo.ShareTail(lines);
        details.TempMemo.ScrollToEnd();
    }
    Paints = 0;
    SetWindowSubclass(painted, CountPaints, 1, 0);
    details.TntPageControl1.SetActivePageIndex(3);
    ShowWindow(details.Handle(), SW_SHOW);
    UpdateWindow(details.Handle());
    // Whatever was posted (the memo's text, the list's row count) and the paints it causes.
    ProcessMessages();
    UpdateWindow(details.Handle());
    GdiFlush();
    shown.Seconds = Seconds(TClock::now() - start);
    shown.Paints = Paints;
    shown.Rows = memo ? static_cast<int>(SendMessageW(painted, EM_GETLINECOUNT, 0, 0))
                      : ListView_GetItemCount(painted) + details.TempMemo.HeadLines();
    RemoveWindowSubclass(painted, CountPaints, 1);
    return shown;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const int count = argc > 1 ? static_cast<int>(std::wcstol(argv[1], nullptr, 10)) : 100000;
    const auto lines = JunkLines(count);
    const size_t peakBefore = PeakWorkingSet();
    TShown best[2] = {{1e9}, {1e9}};
    for (int round = 0; round < 3; ++round) {
        for (int memo = 0; memo < 2; ++memo) {
            const TShown shown = ShowPage(lines, memo != 0);
            if (shown.Seconds < best[memo].Seconds)
                best[memo] = shown;
        }
    }
    std::printf("junk page, %d lines, window created, filled and painted (best of 3):\n", count);
    std::printf("  virtual list (now):    %.3f s (%d paints, %d lines)\n", best[0].Seconds, best[0].Paints, best[0].Rows);
    std::printf("  memo (former page):    %.3f s (%d paints, %d lines)\n", best[1].Seconds, best[1].Paints, best[1].Rows);
    std::printf("  ratio memo / list:     %.1fx\n", best[1].Seconds / best[0].Seconds);
    std::printf("peak working set:        %.1f MiB before, %.1f MiB after\n", peakBefore / 1048576.0,
                PeakWorkingSet() / 1048576.0);
    return 0;
}
