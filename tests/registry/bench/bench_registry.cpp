// Times the registry fixer's default scan and its deep value scan (message pumping and list filling
// included) against a bare walk of the same keys that reads every value and makes the same
// file-existence and drive-type calls, all in one run, and reports the peak working set.
//
// Plants, below scratch registry roots, 50,000 keys' worth of 5 values each where the default checks
// look (COM classes with their server keys, uninstall entries, application paths, shared DLL values,
// per-user extension keys) and a tree below the user's root for the deep scan, with text values
// naming existing and missing files; removes all of it afterwards.
// Usage: bench_registry [keys] [gone]   (defaults 50000 and 10: one path in ten is gone)
#include "common/IniFile.h"
#include "registry/RegistryScan.h"
#include "registry/RegistryTexts.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"
#include "support/ShellFolders.h"
#include "ui/Create.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/ProgressBar.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cwctype>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

const std::wstring kVersion = L"Software\\Microsoft\\Windows\\CurrentVersion\\";
// Enough for every shared DLL value that names an existing file to name one of its own.
constexpr int kExistingFiles = 10000;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

size_t PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

// Writes a text value into an open key.
void Text(HKEY key, const std::wstring& name, const std::wstring& data)
{
    RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

HKEY Create(HKEY root, const std::wstring& path)
{
    HKEY key = nullptr;
    RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

// Paths: one in Gone names a file or folder that is gone, the others ones that exist. None holds a
// hyphen, so that the deep scan judges them all.
struct TPaths {
    std::wstring Files;
    int Gone = 10;
    bool Missing(int i) const { return i % Gone == Gone - 1; }
    std::wstring File(int i) const
    {
        return Missing(i) ? L"C:\\BrisfoldBenchGone\\g" + std::to_wstring(i) + L".dll"
                          : Files + L"\\f" + std::to_wstring(i % kExistingFiles) + L".dll";
    }
    std::wstring Folder(int i) const { return Missing(i) ? L"C:\\BrisfoldBenchGone\\d" + std::to_wstring(i) : Files; }
};

struct TLayout {
    int Classes, Uninstall, AppPaths, SharedValues, Extensions, DeepKeys;
};

void Plant(const TLayout& layout, const TPaths& paths)
{
    for (int i = 0; i < layout.Classes; ++i) {
        wchar_t guid[64];
        std::swprintf(guid, 64, L"CLSID\\{B0000000-0000-4000-8000-%012d}\\InprocServer32", i);
        const HKEY key = Create(HKEY_CLASSES_ROOT, guid);
        Text(key, L"", paths.File(i));
        Text(key, L"ThreadingModel", L"Both");
        for (const wchar_t* name : {L"Extra1", L"Extra2", L"Extra3"})
            Text(key, name, L"value " + std::to_wstring(i));
        RegCloseKey(key);
    }
    for (int i = 0; i < layout.Uninstall; ++i) {
        const HKEY key = Create(HKEY_LOCAL_MACHINE, kVersion + L"Uninstall\\App" + std::to_wstring(i));
        Text(key, L"DisplayName", L"Application " + std::to_wstring(i));
        Text(key, L"DisplayIcon", paths.File(i) + L",0");
        Text(key, L"UninstallString", L"\"" + paths.File(i + 1) + L"\" /remove");
        Text(key, L"InstallLocation", paths.Folder(i));
        Text(key, L"Publisher", L"Bench Software");
        RegCloseKey(key);
    }
    for (int i = 0; i < layout.AppPaths; ++i) {
        const HKEY key = Create(HKEY_LOCAL_MACHINE, kVersion + L"App Paths\\prog" + std::to_wstring(i) + L".exe");
        Text(key, L"", paths.File(i));
        Text(key, L"Path", paths.Folder(i));
        for (const wchar_t* name : {L"UseUrl", L"SaveUrl", L"DropTarget"})
            Text(key, name, L"1");
        RegCloseKey(key);
    }
    const HKEY shared = Create(HKEY_LOCAL_MACHINE, kVersion + L"SharedDlls");
    for (int i = 0; i < layout.SharedValues; ++i) {
        const DWORD count = 1 + i % 3;
        RegSetValueExW(shared, paths.File(i).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    }
    RegCloseKey(shared);
    for (int i = 0; i < layout.Extensions; ++i) {
        const HKEY key = Create(HKEY_CURRENT_USER, kVersion + L"Explorer\\FileExts\\.e" + std::to_wstring(i) +
                                                       L"\\OpenWithList");
        for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"MRUList"})
            Text(key, name, L"prog" + std::to_wstring(i) + L".exe");
        RegCloseKey(key);
    }
    for (int i = 0; i < layout.DeepKeys; ++i) {
        const HKEY key = Create(HKEY_CURRENT_USER, L"Software\\BenchVendor\\Group" + std::to_wstring(i / 100) +
                                                       L"\\Item" + std::to_wstring(i));
        Text(key, L"Path", paths.File(i));
        Text(key, L"Folder", paths.Folder(i));
        Text(key, L"Name", L"Item " + std::to_wstring(i));
        Text(key, L"Count", std::to_wstring(i));
        Text(key, L"Note", L"benchmark entry");
        RegCloseKey(key);
    }
}

// The bare walk: every key below key, every value read with its data; every text (value or name)
// that starts with a drive root gets the drive-type question (once per drive, as the scan asks it)
// and, on a fixed drive, a file-existence test.
struct TDriveTypes;
struct TWalkCount {
    long long Keys = 0, Values = 0, PathTests = 0;
    TDriveTypes* Drives = nullptr;
};

// The drive type of each drive asked once per walk, as a scan asks it once per check.
struct TDriveTypes {
    UINT Type[26] = {};
    bool Asked[26] = {};
    UINT Of(const std::wstring& root)
    {
        const int drive = std::towupper(root[0]) - L'A';
        if (drive < 0 || drive >= 26)
            return GetDriveTypeW(root.c_str());
        if (!Asked[drive]) {
            Type[drive] = GetDriveTypeW(root.c_str());
            Asked[drive] = true;
        }
        return Type[drive];
    }
};

void TestPath(const std::wstring& text, TWalkCount& count)
{
    if (text.size() < 3 || text[1] != L':' || text[2] != L'\\')
        return;
    std::wstring path;
    for (wchar_t c : text)
        if (c != L'"')
            path += c;
    path = path.substr(0, path.find(L','));
    if (count.Drives->Of(path.substr(0, 3)) == DRIVE_FIXED)
        GetFileAttributesW(path.c_str());
    ++count.PathTests;
}

void BareWalk(HKEY key, TWalkCount& count)
{
    ++count.Keys;
    DWORD longestName = 0, longestData = 0, longestKey = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &longestKey, nullptr, nullptr, &longestName,
                     &longestData, nullptr, nullptr);
    std::wstring name(longestName + 1, L'\0');
    std::vector<BYTE> data(longestData + 2);
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size()), type = 0;
        if (RegEnumValueW(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize) != ERROR_SUCCESS)
            break;
        ++count.Values;
        TestPath(std::wstring(name.c_str(), nameSize), count);
        if (type == REG_SZ || type == REG_EXPAND_SZ)
            TestPath(std::wstring(reinterpret_cast<const wchar_t*>(data.data()), dataSize / 2).c_str(), count);
    }
    std::wstring subName(longestKey + 1, L'\0');
    for (DWORD i = 0;; ++i) {
        DWORD size = static_cast<DWORD>(subName.size());
        if (RegEnumKeyExW(key, i, subName.data(), &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key, subName.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS)
            continue;
        BareWalk(sub, count);
        RegCloseKey(sub);
    }
}

TWalkCount BareWalkOf(const std::vector<std::pair<HKEY, std::wstring>>& trees)
{
    TDriveTypes drives;
    TWalkCount count;
    count.Drives = &drives;
    for (const auto& [root, path] : trees) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        BareWalk(key, count);
        RegCloseKey(key);
    }
    return count;
}

double Time(const std::function<void()>& run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    return Seconds(std::chrono::steady_clock::now() - start);
}

// The best of three rounds of each, the two taking turns so that a busy moment of the machine does
// not fall on one of them only.
std::pair<double, double> BestOfTurns(const std::function<void()>& first, const std::function<void()>& second)
{
    double bestFirst = 1e9, bestSecond = 1e9;
    for (int round = 0; round < 3; ++round) {
        bestFirst = std::min(bestFirst, Time(first));
        bestSecond = std::min(bestSecond, Time(second));
    }
    return {bestFirst, bestSecond};
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const int keys = argc > 1 ? std::max(100, _wtoi(argv[1])) : 50000;
    // 50,000 keys' worth of five values: a fifth each for classes, uninstall entries, application
    // paths and the deep tree, four twenty-fifths for extension keys and one for shared DLL values
    // (five values counting as one key).
    const TLayout layout{keys / 5, keys / 5, keys / 5, keys / 25 * 5, keys * 4 / 25, keys / 5};

    ScratchFolder folder(L"bench");
    TPaths paths{folder.MakeFolder(L"files"), argc > 2 ? std::max(2, _wtoi(argv[2])) : 10};
    for (int i = 0; i < kExistingFiles; ++i)
        folder.MakeFile(L"files\\f" + std::to_wstring(i) + L".dll", 16);
    ScratchRegistry registry;
    SetUserShellFolder(L"AppData", folder.MakeFolder(L"AppData"));
    const auto plantStart = std::chrono::steady_clock::now();
    Plant(layout, paths);
    std::printf("one path in %d gone; planted in %.1f s: %d classes, %d uninstall entries, %d application paths, %d shared DLL values, "
                "%d extension keys, %d deep keys (5 values each)\n",
                paths.Gone, Seconds(std::chrono::steady_clock::now() - plantStart), layout.Classes, layout.Uninstall,
                layout.AppPaths, layout.SharedValues, layout.Extensions, layout.DeepKeys);

    InitControls();
    const HWND host = CreateHostWindow();
    TLabel status;
    TProgressBar progress;
    TListView list;
    status.Create({.Parent = host, .Width = 300, .Height = 16});
    progress.Create({.Parent = host, .Top = 20, .Width = 300, .Height = 17});
    list.Create({.Parent = host, .Top = 40, .Width = 600, .Height = 300});
    for (const wchar_t* column : {L"Item", L"Key", L"Value", L"Data"})
        list.AddColumn(column, 100);
    TWideStrings texts;
    for (int i = 0; i <= RegText::Last; ++i)
        texts.push_back(L"Line " + std::to_wstring(i));
    TScanRegistry scanner(texts);
    scanner.FirstImageIndex = 4;
    scanner.SecondImageIndex = 5;
    scanner.ScanPrefix = L"Scanning ";

    const std::wstring ini = MainIniPath();
    const auto setDeep = [&](const wchar_t* deep, const wchar_t* others) {
        for (const wchar_t* key : {L"Active", L"App", L"Filetypes", L"Fonts", L"Help", L"History", L"Shared",
                                   L"Shortcut", L"Software", L"Sounds", L"Startmenu", L"Startup", L"Mui",
                                   L"Fileextend", L"Classes", L"System"})
            WritePrivateProfileStringW(L"RegistryOpt", key, others, ini.c_str());
        WritePrivateProfileStringW(L"RegistryOpt", L"Openscan", deep, ini.c_str());
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
    };
    const size_t peakBefore = PeakWorkingSet();

    // The default scan: every category at its default (the deep scan off).
    setDeep(L"0", L"1");
    int32_t defaultFound = 0;
    TWalkCount defaultWalk;
    const auto [defaultScan, defaultBare] = BestOfTurns(
        [&] { defaultFound = scanner.Scan(status, progress, list); },
        [&] {
            defaultWalk = BareWalkOf({{HKEY_CLASSES_ROOT, L""},
                                      {HKEY_LOCAL_MACHINE, kVersion + L"App Paths"},
                                      {HKEY_LOCAL_MACHINE, kVersion + L"Uninstall"},
                                      {HKEY_LOCAL_MACHINE, kVersion + L"SharedDlls"},
                                      {HKEY_CURRENT_USER, kVersion + L"Explorer\\FileExts"}});
        });

    // The deep value scan alone.
    setDeep(L"1", L"0");
    int32_t deepFound = 0;
    TWalkCount deepWalk;
    const auto [deepScan, deepBare] =
        BestOfTurns([&] { deepFound = scanner.Scan(status, progress, list); },
                    [&] { deepWalk = BareWalkOf({{HKEY_CURRENT_USER, L""}, {HKEY_USERS, L""}}); });
    // What the list of the deep scan's rows costs alone (the control, not the scanner).
    const double fill = Time([&] {
        list.Clear();
        SendMessageW(list.Handle(), WM_SETREDRAW, FALSE, 0);
        scanner.Recorder.FillList(list, {});
        SendMessageW(list.Handle(), WM_SETREDRAW, TRUE, 0);
    });
    const size_t peakAfter = PeakWorkingSet();
    DestroyWindow(host);

    std::printf("default scan:   %.3f s (best of 3), %d findings listed\n", defaultScan, defaultFound);
    std::printf("  bare walk:    %.3f s (best of 3), %lld keys, %lld values, %lld path tests\n", defaultBare,
                defaultWalk.Keys, defaultWalk.Values, defaultWalk.PathTests);
    std::printf("  ratio:        %.2f (target 1.5)\n", defaultScan / defaultBare);
    std::printf("deep scan:      %.3f s (best of 3), %d findings listed\n", deepScan, deepFound);
    std::printf("  bare walk:    %.3f s (best of 3), %lld keys, %lld values, %lld path tests\n", deepBare,
                deepWalk.Keys, deepWalk.Values, deepWalk.PathTests);
    std::printf("  ratio:        %.2f (target 1.5)\n", deepScan / deepBare);
    std::printf("  of which the list's %d rows alone: %.3f s\n", deepFound, fill);
    std::printf("peak working set: %.1f MiB before the scans, %.1f MiB after\n", peakBefore / 1048576.0,
                peakAfter / 1048576.0);
    return 0;
}
