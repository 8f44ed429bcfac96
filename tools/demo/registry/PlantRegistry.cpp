// Plants, on a demo machine (a Wine prefix), one broken registry entry of every kind the registry
// fixer checks beside an intact one of the same kind that it must not list, and removes them again.
//   registry_demo_plant.exe plant
//   registry_demo_plant.exe remove
#include "common/AppFrame.h"
#include "common/Paths.h"
#include "common/Registry.h"
#include "common/SafeDelete.h"
#include "common/SystemFolders.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

enum class TKind {
    Text,   // a text value (Data)
    Number, // a 32-bit number value (Data in decimal)
    Key,    // the key alone, empty
};

struct TEntry {
    HKEY Root;
    const wchar_t* Key;
    const wchar_t* Name; // value name ("" for the default value)
    TKind Kind;
    const wchar_t* Data; // %DEMO% is the demo folder, %SYSTEM% the system folder
};

const HKEY HKCR = HKEY_CLASSES_ROOT;
const HKEY HKLM = HKEY_LOCAL_MACHINE;
const HKEY HKCU = HKEY_CURRENT_USER;

#define VERSION L"Software\\Microsoft\\Windows\\CurrentVersion\\"
#define GUID(n) L"{DE3000" n L"-0000-4000-8000-00000000B001}"

// Keys that are the demo's own: "remove" deletes them whole.
const std::pair<HKEY, const wchar_t*> kPlantedKeys[] = {
    {HKCR, L"CLSID\\" GUID(L"01")}, {HKCR, L"CLSID\\" GUID(L"02")}, {HKCR, L"CLSID\\" GUID(L"03")},
    {HKCR, L"CLSID\\" GUID(L"04")}, {HKCR, L"CLSID\\" GUID(L"10")}, {HKCR, L"CLSID\\" GUID(L"11")},
    {HKCR, L"CLSID\\" GUID(L"12")}, {HKCR, L"CLSID\\" GUID(L"13")}, {HKCR, L"CLSID\\" GUID(L"14")},
    {HKCR, L"TypeLib\\" GUID(L"0A")}, {HKCR, L"TypeLib\\" GUID(L"1A")},
    {HKCR, L"Wow6432Node\\CLSID\\" GUID(L"05")}, {HKCR, L"Wow6432Node\\CLSID\\" GUID(L"15")},
    {HKCR, L"BrisfoldDemoGone.File"}, {HKCR, L"BrisfoldDemo.File"},
    {HKLM, VERSION L"App Paths\\BrisfoldDemoGone.exe"}, {HKLM, VERSION L"App Paths\\BrisfoldDemo.exe"},
    {HKLM, VERSION L"Uninstall\\BrisfoldDemoGone"}, {HKLM, VERSION L"Uninstall\\BrisfoldDemo"},
    {HKCU, L"Software\\Brisfold Demo Empty"}, {HKCU, L"Software\\Brisfold Demo"},
    {HKCU, L"AppEvents\\Schemes\\Apps\\.Default\\BrisfoldDemoGone"},
    {HKCU, L"AppEvents\\Schemes\\Apps\\.Default\\BrisfoldDemo"},
    {HKCU, VERSION L"Explorer\\MenuOrder\\Start Menu\\Programs\\Brisfold Demo Gone"},
    {HKCU, VERSION L"Explorer\\MenuOrder\\Start Menu\\Programs\\Brisfold Demo"},
    {HKCU, VERSION L"Explorer\\FileExts\\.brisfolddemogone"}, {HKCU, VERSION L"Explorer\\FileExts\\.brisfolddemo"},
};

const TEntry kEntries[] = {
    // COM classes and type libraries. Listed: a server DLL that is gone (the default value of a key
    // with a second value), a local server that is gone (the whole subkey), an empty class subkey, an
    // icon in a program that is gone, a 32-bit server that is gone (at its own place below
    // Wow6432Node), a type library whose file is gone and its dead help folder.
    {HKCR, L"CLSID\\" GUID(L"01") L"\\InprocServer32", L"", TKind::Text, L"%DEMO%\\gone.dll"},
    {HKCR, L"CLSID\\" GUID(L"01") L"\\InprocServer32", L"ThreadingModel", TKind::Text, L"Apartment"},
    {HKCR, L"CLSID\\" GUID(L"02") L"\\LocalServer32", L"", TKind::Text, L"%DEMO%\\gone.exe /automation"},
    {HKCR, L"CLSID\\" GUID(L"03") L"\\ProgID", L"", TKind::Text, L""},
    {HKCR, L"CLSID\\" GUID(L"04") L"\\DefaultIcon", L"", TKind::Text, L"%DEMO%\\gone.exe,0"},
    {HKCR, L"CLSID\\" GUID(L"04") L"\\DefaultIcon", L"Size", TKind::Text, L"32"},
    {HKCR, L"Wow6432Node\\CLSID\\" GUID(L"05") L"\\InprocServer32", L"", TKind::Text, L"%DEMO%\\gone32.dll"},
    {HKCR, L"TypeLib\\" GUID(L"0A") L"\\1.0", L"", TKind::Text, L"Brisfold Demo Broken Library"},
    {HKCR, L"TypeLib\\" GUID(L"0A") L"\\1.0\\0\\win32", L"", TKind::Text, L"%DEMO%\\gone.tlb"},
    {HKCR, L"TypeLib\\" GUID(L"0A") L"\\1.0\\HELPDIR", L"", TKind::Text, L"%DEMO%\\Help"},
    // Not listed: a server that exists, a bare file name, a quoted program with arguments that exists,
    // a system icon written with %SystemRoot%, a server on a network share, a 32-bit server named as
    // 32-bit programs see it, a type library that exists with its help folder.
    {HKCR, L"CLSID\\" GUID(L"10") L"\\InprocServer32", L"", TKind::Text, L"%DEMO%\\present.dll"},
    {HKCR, L"CLSID\\" GUID(L"11") L"\\InprocServer32", L"", TKind::Text, L"present.dll"},
    {HKCR, L"CLSID\\" GUID(L"12") L"\\LocalServer32", L"", TKind::Text, L"\"%DEMO%\\present.exe\" /automation"},
    {HKCR, L"CLSID\\" GUID(L"13") L"\\DefaultIcon", L"", TKind::Text, L"%SystemRoot%\\system32\\shell32.dll,3"},
    {HKCR, L"CLSID\\" GUID(L"14") L"\\InprocServer32", L"", TKind::Text, L"\\\\server\\share\\gone.dll"},
    {HKCR, L"Wow6432Node\\CLSID\\" GUID(L"15") L"\\InprocServer32", L"", TKind::Text,
     L"%SYSTEM%\\brisfold-demo32.dll"},
    {HKCR, L"TypeLib\\" GUID(L"1A") L"\\1.0", L"", TKind::Text, L"Brisfold Demo Library"},
    {HKCR, L"TypeLib\\" GUID(L"1A") L"\\1.0\\0\\win32", L"", TKind::Text, L"%DEMO%\\present.tlb"},
    {HKCR, L"TypeLib\\" GUID(L"1A") L"\\1.0\\FLAGS", L"", TKind::Text, L"0"},
    {HKCR, L"TypeLib\\" GUID(L"1A") L"\\1.0\\HELPDIR", L"", TKind::Text, L"%DEMO%"},

    // File types: a verb whose program is gone; one whose program is there.
    {HKCR, L"BrisfoldDemoGone.File\\shell\\open\\command", L"", TKind::Text, L"\"%DEMO%\\gone.exe\" \"%1\""},
    {HKCR, L"BrisfoldDemo.File\\shell\\open\\command", L"", TKind::Text, L"\"%DEMO%\\present.exe\" \"%1\""},
    // Per-user extensions: one with nothing below it; one with its "open with" lists.
    {HKCU, VERSION L"Explorer\\FileExts\\.brisfolddemogone", L"", TKind::Key, L""},
    {HKCU, VERSION L"Explorer\\FileExts\\.brisfolddemo\\OpenWithList", L"a", TKind::Text, L"present.exe"},
    {HKCU, VERSION L"Explorer\\FileExts\\.brisfolddemo\\OpenWithProgids", L"BrisfoldDemo.File", TKind::Text, L""},
    // Application paths.
    {HKLM, VERSION L"App Paths\\BrisfoldDemoGone.exe", L"", TKind::Text, L"%DEMO%\\gone.exe"},
    {HKLM, VERSION L"App Paths\\BrisfoldDemo.exe", L"", TKind::Text, L"%DEMO%\\present.exe"},
    // Fonts named by their full path.
    {HKLM, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", L"Brisfold Demo Gone (TrueType)", TKind::Text,
     L"%DEMO%\\gone.ttf"},
    {HKLM, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", L"Brisfold Demo (TrueType)", TKind::Text,
     L"%DEMO%\\present.ttf"},
    // Help files: the name is the value's, the folder its data.
    {HKLM, L"Software\\Microsoft\\Windows\\Help", L"brisfolddemogone.hlp", TKind::Text, L"%DEMO%"},
    {HKLM, L"Software\\Microsoft\\Windows\\Help", L"present.hlp", TKind::Text, L"%DEMO%"},
    // File-dialog history: every entry of it is listed, so it has no intact counterpart.
    {HKCU, VERSION L"Explorer\\ComDlg32\\LastVisitedMRU", L"BrisfoldDemo", TKind::Text, L"present.exe"},
    // Shared DLLs: one counted 0 (unused, though the file is there); one in use.
    {HKLM, VERSION L"SharedDlls", L"%DEMO%\\present.dll", TKind::Number, L"0"},
    {HKLM, VERSION L"SharedDlls", L"%DEMO%\\shared.dll", TKind::Number, L"2"},
    // Start-menu order entries: of a program folder that is gone; of one that is there.
    {HKCU, VERSION L"Explorer\\MenuOrder\\Start Menu\\Programs\\Brisfold Demo Gone", L"Order", TKind::Number, L"8"},
    {HKCU, VERSION L"Explorer\\MenuOrder\\Start Menu\\Programs\\Brisfold Demo", L"Order", TKind::Number, L"8"},
    // Software keys: an empty one; one with its settings.
    {HKCU, L"Software\\Brisfold Demo Empty", L"", TKind::Key, L""},
    {HKCU, L"Software\\Brisfold Demo", L"Installed", TKind::Text, L"1"},
    // Installer folders: one that is gone; one that is there.
    {HKLM, VERSION L"Installer\\Folders", L"%DEMO%\\Gone\\", TKind::Text, L""},
    {HKLM, VERSION L"Installer\\Folders", L"%DEMO%\\", TKind::Text, L""},
    // Uninstall entries: of a program that is gone (its icon and uninstaller are listed); of one that is there.
    {HKLM, VERSION L"Uninstall\\BrisfoldDemoGone", L"DisplayName", TKind::Text, L"Brisfold Demo (gone)"},
    {HKLM, VERSION L"Uninstall\\BrisfoldDemoGone", L"DisplayIcon", TKind::Text, L"%DEMO%\\gone.exe,0"},
    {HKLM, VERSION L"Uninstall\\BrisfoldDemoGone", L"UninstallString", TKind::Text, L"\"%DEMO%\\gone.exe\" /uninstall"},
    {HKLM, VERSION L"Uninstall\\BrisfoldDemo", L"DisplayName", TKind::Text, L"Brisfold Demo"},
    {HKLM, VERSION L"Uninstall\\BrisfoldDemo", L"DisplayIcon", TKind::Text, L"%DEMO%\\present.exe,0"},
    {HKLM, VERSION L"Uninstall\\BrisfoldDemo", L"UninstallString", TKind::Text, L"\"%DEMO%\\present.exe\" /uninstall"},
    // Sound events: a sound file that is gone; one that is there.
    {HKCU, L"AppEvents\\Schemes\\Apps\\.Default\\BrisfoldDemoGone\\.Current", L"", TKind::Text, L"%DEMO%\\gone.wav"},
    {HKCU, L"AppEvents\\Schemes\\Apps\\.Default\\BrisfoldDemo\\.Current", L"", TKind::Text, L"%DEMO%\\present.wav"},
    // Run entries: a program that is gone, an empty one, and one that is there (with an argument, a
    // command is never judged); the 32-bit Run key, a key of its own, with a program that is gone.
    {HKLM, VERSION L"Run", L"BrisfoldDemoGone", TKind::Text, L"%DEMO%\\gone.exe"},
    {HKLM, VERSION L"Run", L"BrisfoldDemoEmpty", TKind::Text, L""},
    {HKLM, VERSION L"Run", L"BrisfoldDemo", TKind::Text, L"\"%DEMO%\\present.exe\" /background"},
    {HKLM, L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", L"BrisfoldDemoGone32", TKind::Text,
     L"%DEMO%\\gone32.exe"},
    // The MUI cache: a program that is gone; one that is there.
    {HKCU, L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache", L"%DEMO%\\gone.exe", TKind::Text,
     L"Brisfold Demo (gone)"},
    {HKCU, L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache", L"%DEMO%\\present.exe", TKind::Text,
     L"Brisfold Demo"},
    // Multimedia drivers: an empty entry; one naming its driver.
    {HKLM, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32", L"brisfold.demogone", TKind::Text, L""},
    {HKLM, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32", L"brisfold.demo", TKind::Text,
     L"present.drv"},
};

#undef GUID
#undef VERSION

// The files the intact entries name (4-byte stubs), and the program folder the intact menu-order
// entry names, below the user's program menu.
const wchar_t* const kDemoFiles[] = {L"present.dll", L"present.exe", L"present.tlb", L"present.ttf",
                                     L"present.hlp", L"present.wav", L"shared.dll"};

std::wstring ShellFolder(int csidl)
{
    wchar_t buffer[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, buffer);
    return buffer;
}

std::wstring DemoFolder() { return ShellFolder(CSIDL_PROGRAM_FILES) + L"\\Brisfold Demo"; }
std::wstring DemoFile32() { return SystemFolder32() + L"\\brisfold-demo32.dll"; }
std::wstring DemoMenuFolder() { return ShellFolder(CSIDL_PROGRAMS) + L"\\Brisfold Demo"; }

std::wstring Expand(std::wstring text)
{
    ReplaceAll(text, L"%DEMO%", DemoFolder());
    ReplaceAll(text, L"%SYSTEM%", SystemFolder());
    return text;
}

bool WriteStub(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, "stub", 4, &written, nullptr) && written == 4;
    CloseHandle(file);
    return ok;
}

bool PlantEntry(const TEntry& entry)
{
    TRegKey key;
    if (key.Create(entry.Root, entry.Key, KEY_ALL_ACCESS) != ERROR_SUCCESS)
        return false;
    const std::wstring name = Expand(entry.Name);
    switch (entry.Kind) {
    case TKind::Key:
        return true;
    case TKind::Number: {
        const DWORD number = static_cast<DWORD>(std::wcstoul(entry.Data, nullptr, 10));
        TRegValue value{REG_DWORD, {}};
        value.Data.assign(reinterpret_cast<const BYTE*>(&number), reinterpret_cast<const BYTE*>(&number) + 4);
        return key.WriteValue(name, value) == ERROR_SUCCESS;
    }
    case TKind::Text:
        break;
    }
    return key.WriteString(name, Expand(entry.Data)) == ERROR_SUCCESS;
}

int Plant()
{
    const std::wstring folder = DemoFolder();
    CreateDirectoryW(folder.c_str(), nullptr);
    int failures = 0;
    for (const wchar_t* name : kDemoFiles)
        failures += !WriteStub(folder + L"\\" + name);
    if (!SystemFolder32().empty())
        failures += !WriteStub(DemoFile32());
    // The menu-order check compares its entries with the user's program menu, which the shell names
    // in its folder values once it has been asked for.
    const std::wstring programs = ShellFolder(CSIDL_PROGRAMS);
    CreateDirectoryW(DemoMenuFolder().c_str(), nullptr);
    TRegKey shellFolders;
    std::wstring named;
    if (shellFolders.Open(HKEY_CURRENT_USER, kShellFoldersKey, KEY_ALL_ACCESS) != ERROR_SUCCESS ||
        shellFolders.ReadString(L"Programs", named) != ERROR_SUCCESS || named.empty())
        if (shellFolders.Create(HKEY_CURRENT_USER, kShellFoldersKey, KEY_ALL_ACCESS) != ERROR_SUCCESS ||
            shellFolders.WriteString(L"Programs", programs) != ERROR_SUCCESS)
            ++failures;
    for (const TEntry& entry : kEntries) {
        if (!PlantEntry(entry)) {
            std::fwprintf(stderr, L"registry demo: cannot write %ls\\%ls\n", RootName(entry.Root).c_str(), entry.Key);
            ++failures;
        }
    }
    std::wprintf(L"registry demo: planted %zu entries and files in %ls\n", std::size(kEntries), folder.c_str());
    return failures == 0 ? 0 : 1;
}

int Remove()
{
    int failures = 0;
    for (const auto& [root, key] : kPlantedKeys)
        failures += !OutcomeDone(DeleteRegTreeSafe(root, key));
    // Values planted in keys that are not the demo's own.
    for (const TEntry& entry : kEntries) {
        bool ownKey = false;
        for (const auto& [root, key] : kPlantedKeys)
            ownKey = ownKey || (root == entry.Root && PathIsAtOrBelow(entry.Key, key));
        if (!ownKey && entry.Kind != TKind::Key)
            failures += !OutcomeDone(DeleteRegValueSafe(entry.Root, entry.Key, Expand(entry.Name)));
    }
    const std::wstring folder = DemoFolder();
    for (const wchar_t* name : kDemoFiles)
        failures += !OutcomeDone(DeleteFileSafe(folder + L"\\" + name));
    failures += !OutcomeDone(RemoveFolderSafe(folder));
    failures += !OutcomeDone(RemoveFolderSafe(DemoMenuFolder()));
    if (!SystemFolder32().empty())
        failures += !OutcomeDone(DeleteFileSafe(DemoFile32()));
    return failures == 0 ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"plant")
        return Plant();
    if (command == L"remove")
        return Remove();
    std::fwprintf(stderr, L"usage: registry_demo_plant.exe plant|remove\n");
    return 2;
}
