// Times the junk scanner thread (start to Finished, memo filled) against a bare walk of the same
// temporary-folder tree with the same listing call, and reports the peak working set.
// Usage: bench_junk <tree folder>   (the tree's files must be older than two days)
#include "common/ExpectedPath.h"
#include "common/FileFind.h"
#include "common/IniFile.h"
#include "junk/JunkWalk.h"
#include "junk/TempFileThread.h"
#include "support/PeakWorkingSet.h"
#include "ui/Create.h"
#include "ui/Label.h"
#include "ui/LineList.h"
#include "ui/MessagePump.h"
#include "ui/ProgressBar.h"

#include <windows.h>
#include <shlobj.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct TWalkCount {
    int64_t Files = 0;
    int64_t Bytes = 0;
};

// With probe set, each file also gets the link test the junk walks give every file they list.
void BareWalk(const std::wstring& folder, const std::wstring& expected, TWalkCount& count, bool probe = false)
{
    WIN32_FIND_DATAW data;
    const TFindHandle find = FindFirstEntry(folder + L"\\*", data);
    if (!find) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            BareWalk(folder + L"\\" + name, ExpectedChild(expected, data.cFileName), count, probe);
        } else {
            if (probe && !IsPlainEntry(folder + L"\\" + name, ExpectedChild(expected, data.cFileName),
                                       data.dwFileAttributes))
                continue;
            ++count.Files;
            count.Bytes += (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        }
    } while (FindNextFileW(find.Get(), &data));
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_junk <tree folder>\n");
        return 2;
    }
    const std::wstring tree = argv[1];
    SetEnvironmentVariableW(L"TMP", tree.c_str());
    SetEnvironmentVariableW(L"TEMP", tree.c_str());

    // Only the temporary walk, over the tree; the settings file is put back as it was afterwards.
    const std::wstring ini = MainIniPath();
    std::wstring saved;
    const bool hadIni = GetFileAttributesW(ini.c_str()) != INVALID_FILE_ATTRIBUTES;
    const std::wstring backup = ini + L".bench";
    if (hadIni) CopyFileW(ini.c_str(), backup.c_str(), FALSE);
    std::wstring settingsFolder = SettingsFolderPath();
    settingsFolder.pop_back();
    SHCreateDirectoryExW(nullptr, settingsFolder.c_str(), nullptr);
    WritePrivateProfileStringW(L"Junk File Removal", L"IE Cache", L"0", ini.c_str());
    WritePrivateProfileStringW(L"Junk File Removal", L"TempFile", L"1", ini.c_str());
    WritePrivateProfileStringW(L"Junk File Removal", L"Recycle", L"0", ini.c_str());
    WritePrivateProfileStringW(L"Junk File Removal", L"RemoveDay", L"2", ini.c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());

    HWND host = CreateHostWindow();
    TLabel label;
    TProgressBar bar;
    TLineList memo;
    label.Create({.Parent = host, .Width = 289, .Height = 16});
    bar.Create({.Parent = host, .Top = 20, .Width = 289, .Height = 17});
    memo.Create({.Parent = host, .Top = 40, .Width = 400, .Height = 300, .Style = WS_VSCROLL});
    const TWideStrings texts = {L"Junk files:", L"%d junk files", L"Total size: %s", L"Removing junk..."};

    double bareBest = 1e9, probeBest = 1e9, scanBest = 1e9, flushBest = 1e9;
    TWalkCount count;
    int junkCount = 0, memoLines = 0;
    std::wstring sizeText;
    const size_t peakBefore = PeakWorkingSet();
    for (int round = 0; round < 3; ++round) {
        count = {};
        auto start = std::chrono::steady_clock::now();
        BareWalk(tree, ResolvedPath(tree), count);
        bareBest = std::min(bareBest, Seconds(std::chrono::steady_clock::now() - start));

        TWalkCount probed;
        start = std::chrono::steady_clock::now();
        BareWalk(tree, ResolvedPath(tree), probed, true);
        probeBest = std::min(probeBest, Seconds(std::chrono::steady_clock::now() - start));

        start = std::chrono::steady_clock::now();
        {
            TempThread thread(label, bar, memo, texts);
            thread.ScanPrefix = L"Scanning";
            thread.Start();
            // Only the worker's calls are run while waiting; the memo's posted text update stays
            // queued and is timed on its own below.
            while (thread.Finished.load() == 0) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
                MSG msg;
                PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            }
            scanBest = std::min(scanBest, Seconds(std::chrono::steady_clock::now() - start));
            junkCount = thread.JunkCount;
            sizeText = thread.SizeText;
        }
        memoLines = memo.Count();
        // The memo's control gets its text when the message loop next runs; timed on its own.
        start = std::chrono::steady_clock::now();
        memo.Flush();
        flushBest = std::min(flushBest, Seconds(std::chrono::steady_clock::now() - start));
    }
    const size_t peakAfter = PeakWorkingSet();

    if (hadIni) {
        CopyFileW(backup.c_str(), ini.c_str(), FALSE);
        DeleteFileW(backup.c_str());
    } else {
        DeleteFileW(ini.c_str());
    }
    DestroyWindow(host);

    std::printf("files in tree:            %lld (%lld bytes)\n", static_cast<long long>(count.Files),
                static_cast<long long>(count.Bytes));
    std::printf("bare walk (FindFirstEntry): %.3f s (best of 3)\n", bareBest);
    std::printf("TempThread scan to Finished: %.3f s (best of 3), %d junk files, %ls, memo %d lines\n", scanBest,
                junkCount, sizeText.c_str(), memoLines);
    std::printf("ratio scan / bare walk:   %.2f\n", scanBest / bareBest);
    std::printf("bare walk + per-file link test: %.3f s; ratio scan / that: %.2f\n", probeBest, scanBest / probeBest);
    std::printf("page list handed its rows afterwards (on the next message loop pass): %.3f s\n",
                flushBest);
    std::printf("peak working set:         %.1f MiB before the runs, %.1f MiB after\n", peakBefore / 1048576.0,
                peakAfter / 1048576.0);
    return 0;
}
