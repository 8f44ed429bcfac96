// Times the spyware scan of generated definitions against a bare program that probes the same keys
// and paths in the same order with the plain calls (a key opened in both registry views, a value
// asked for, a path's attributes read), all in one run, and reports the peak working set.
//
// Definition i names a whole key below the user's root, a value of a key below the machine's Software
// (looked at in the native view and in the 32-bit twin), a file and a folder below Program Files (each
// looked at below Program Files and Program Files (x86)). As the scanner does, files and folders are
// probed only for a definition with a registry hit. Every Hit-th definition's user key is present, so
// that its paths are probed; every Present-th one also has its twin value, file and folder present.
// The registry roots are scratch keys; the planted folders are removed afterwards.
// Usage: bench_spyware [definitions] [hit] [present]   (defaults 10000, 20 and 1000)
#include "ArchiveWriter.h"
#include "common/Paths.h"
#include "spyware/SpywareScan.h"
#include "support/PeakWorkingSet.h"
#include "support/ScannerControls.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

double Seconds(TClock::duration d) { return std::chrono::duration<double>(d).count(); }

struct TPlan {
    int Definitions = 10000;
    int Hit = 20;
    int Present = 1000;
    std::wstring Folder; // the folder name below both Program Files folders

    std::wstring UserKey(int i) const { return L"Software\\BenchPest" + std::to_wstring(i); }
    std::wstring MachineKey(int i) const { return L"Software\\BenchPest" + std::to_wstring(i); }
    std::wstring Sub(int i) const { return Folder + L"\\Pest" + std::to_wstring(i); }
    std::wstring FileName(int i) const { return L"pest" + std::to_wstring(i) + L".exe"; }
    bool HasHit(int i) const { return i % Hit == 0; }
    bool IsPresent(int i) const { return i % Present == 0; }
};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string Definition(const TPlan& plan, int i)
{
    const std::string n = std::to_string(i);
    return "[Info]\r\nVersion=1\r\nName=BenchPest" + n + "\r\n\r\n[Main]\r\nCategory=Adware\r\nDescription=Pest " + n +
           "\r\nRisk=3\r\n\r\n[Reg]\r\nHKEY_CURRENT_USER\\" + Narrow(plan.UserKey(i)) + "=\r\nHKEY_LOCAL_MACHINE\\" +
           Narrow(plan.MachineKey(i)) + "|Run=\r\n\r\n[File]\r\n%program_files%\\" + Narrow(plan.Sub(i)) + "\\" +
           Narrow(plan.FileName(i)) + "=\r\n\r\n[Folder]\r\n%program_files%\\" + Narrow(plan.Sub(i)) + "=\r\n";
}

void WriteDefinitions(const TPlan& plan, const std::wstring& path)
{
    std::vector<TArchiveInput> inputs;
    inputs.push_back({"", "Main.db", "[Main]\r\nVersion=20080115\r\nFirstDefinition=2\r\n", false});
    inputs.push_back({"", "TrackingCookie.db", "", false});
    for (int i = 0; i < plan.Definitions; ++i)
        inputs.push_back({"", "Threat" + std::to_string(i) + ".def", Definition(plan, i), false});
    const std::string bytes = WriteArchive(inputs, true);
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void Plant(const TPlan& plan, const std::wstring& native, const std::wstring& x86)
{
    for (int i = 0; i < plan.Definitions; i += plan.Hit) {
        CreateRegKey(HKEY_CURRENT_USER, plan.UserKey(i));
        if (!plan.IsPresent(i))
            continue;
        SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\BenchPest" + std::to_wstring(i), L"Run", L"pest.exe");
        for (const std::wstring& programs : {native, x86}) {
            const std::wstring folder = programs + L"\\" + plan.Sub(i);
            CreateDirectoryW((programs + L"\\" + plan.Folder).c_str(), nullptr);
            CreateDirectoryW(folder.c_str(), nullptr);
            WriteTextFile(folder + L"\\" + plan.FileName(i), "MZ pest");
        }
    }
}

bool KeyOpens(HKEY root, const std::wstring& path, REGSAM view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool ValueExists(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    const bool found = RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

struct TBareCount {
    int Keys = 0, Paths = 0, Found = 0;
};

// The same places in the same order as the scanner, with nothing but the probes.
TBareCount BareProbes(const TPlan& plan, const std::wstring& native, const std::wstring& x86)
{
    TBareCount count;
    for (int i = 0; i < plan.Definitions; ++i) {
        int hits = 0;
        // Each key in both views, as the scanner must ask: which keys 32-bit programs keep apart is
        // the system's to tell. A twin that opens the same key is not counted twice.
        const bool user = KeyOpens(HKEY_CURRENT_USER, plan.UserKey(i), KEY_WOW64_64KEY);
        const bool user32 = KeyOpens(HKEY_CURRENT_USER, plan.UserKey(i), KEY_WOW64_32KEY);
        hits += user || user32;
        hits += ValueExists(HKEY_LOCAL_MACHINE, plan.MachineKey(i), L"Run", KEY_WOW64_64KEY);
        hits += ValueExists(HKEY_LOCAL_MACHINE, plan.MachineKey(i), L"Run", KEY_WOW64_32KEY);
        count.Keys += 4;
        if (hits == 0)
            continue;
        count.Found += hits;
        const std::wstring sub = L"\\" + plan.Sub(i);
        for (const std::wstring& path : {native + sub + L"\\" + plan.FileName(i), x86 + sub + L"\\" + plan.FileName(i),
                                         native + sub, x86 + sub}) {
            count.Found += GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
            ++count.Paths;
        }
    }
    return count;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    TPlan plan;
    if (argc > 1) plan.Definitions = _wtoi(argv[1]);
    if (argc > 2) plan.Hit = std::max(1, _wtoi(argv[2]));
    if (argc > 3) plan.Present = std::max(1, _wtoi(argv[3]));
    plan.Folder = L"BrisfoldBench-" + std::to_wstring(GetCurrentProcessId());

    // As the scanner expands %program_files%: below the system drive, and the shell's 32-bit twin.
    const std::wstring native = SystemDriveRoot() + L"Program Files";
    const std::wstring x86 = ProgramFilesFolder32();
    ScratchRegistry registry;
    ScratchFolder scratch(L"bench-spyware");
    const std::wstring archive = scratch / L"Def.dbd";
    WriteDefinitions(plan, archive);
    Plant(plan, native, x86);

    TLabel status;
    TProgressBar progress;
    TListView list;
    const HWND host = CreateScannerControls(status, progress, list,
                                            {{L"Item Name", 100}, {L"Description", 100}, {L"Risk Level", 60}, {L"Entry", 200}});
    progress.SetMin(0);
    progress.SetMax(100);

    auto start = TClock::now();
    TSpyScan scanner(archive, {});
    scanner.Pause = nullptr;
    const double load = Seconds(TClock::now() - start);

    printf("%d definitions (every %d-th with a registry hit, every %d-th with its files present)\n",
           plan.Definitions, plan.Hit, plan.Present);
    printf("definitions loaded in %.2f s\n", load);
    for (int run = 1; run <= 3; ++run) {
        start = TClock::now();
        const TBareCount bare = BareProbes(plan, native, x86);
        const double bareSeconds = Seconds(TClock::now() - start);
        start = TClock::now();
        const int32_t found = scanner.Scan(status, progress, list);
        const double scan = Seconds(TClock::now() - start);
        printf("run %d: bare probes %.2f s (%d key probes, %d path probes, %d present)   scan %.2f s (%d rows)   "
               "ratio %.2fx\n",
               run, bareSeconds, bare.Keys, bare.Paths, bare.Found, scan, found, bareSeconds > 0 ? scan / bareSeconds : 0.0);
    }
    printf("peak working set %.1f MiB\n", static_cast<double>(PeakWorkingSet()) / (1024.0 * 1024.0));

    DestroyWindow(host);
    RemoveTree(native + L"\\" + plan.Folder);
    RemoveTree(x86 + L"\\" + plan.Folder);
    return 0;
}
