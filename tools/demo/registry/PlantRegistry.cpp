// Plants broken COM classes and type libraries on a demo machine (a Wine prefix), beside intact ones
// that the registry scan must not list, and removes them again.
//   registry_demo_plant.exe plant
//   registry_demo_plant.exe remove
#include "common/Kelvor_Routine.h"
#include "common/Paths.h"
#include "common/Registry.h"
#include "common/SafeDelete.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct TEntry {
    const wchar_t* Key;   // below HKEY_CLASSES_ROOT
    const wchar_t* Name;  // value name ("" for the default value)
    const wchar_t* Data;  // %DEMO% is the demo folder, %WOW% the 32-bit system folder's twin name
};

// Each class or library key below is the demo's own: "remove" deletes exactly these.
const wchar_t* const kPlantedKeys[] = {
    L"CLSID\\{DE300001-0000-4000-8000-00000000B001}", L"CLSID\\{DE300002-0000-4000-8000-00000000B001}",
    L"CLSID\\{DE300003-0000-4000-8000-00000000B001}", L"CLSID\\{DE300004-0000-4000-8000-00000000B001}",
    L"CLSID\\{DE300010-0000-4000-8000-00000000B001}", L"CLSID\\{DE300011-0000-4000-8000-00000000B001}",
    L"CLSID\\{DE300012-0000-4000-8000-00000000B001}", L"CLSID\\{DE300013-0000-4000-8000-00000000B001}",
    L"CLSID\\{DE300014-0000-4000-8000-00000000B001}", L"TypeLib\\{DE30000A-0000-4000-8000-00000000B001}",
    L"TypeLib\\{DE30001A-0000-4000-8000-00000000B001}",
    L"Wow6432Node\\CLSID\\{DE300005-0000-4000-8000-00000000B001}",
    L"Wow6432Node\\CLSID\\{DE300015-0000-4000-8000-00000000B001}",
};

const TEntry kEntries[] = {
    // Listed: a server DLL that is gone (the default value of a key with a second value).
    {L"CLSID\\{DE300001-0000-4000-8000-00000000B001}\\InprocServer32", L"", L"%DEMO%\\gone.dll"},
    {L"CLSID\\{DE300001-0000-4000-8000-00000000B001}\\InprocServer32", L"ThreadingModel", L"Apartment"},
    // Listed: a local server that is gone (the whole subkey).
    {L"CLSID\\{DE300002-0000-4000-8000-00000000B001}\\LocalServer32", L"", L"%DEMO%\\gone.exe /automation"},
    // Listed: an empty class subkey.
    {L"CLSID\\{DE300003-0000-4000-8000-00000000B001}\\ProgID", L"", L""},
    // Listed: a default icon in a program that is gone.
    {L"CLSID\\{DE300004-0000-4000-8000-00000000B001}\\DefaultIcon", L"", L"%DEMO%\\gone.exe,0"},
    {L"CLSID\\{DE300004-0000-4000-8000-00000000B001}\\DefaultIcon", L"Size", L"32"},
    // Listed: a 32-bit server that is gone, at its own place below Wow6432Node.
    {L"Wow6432Node\\CLSID\\{DE300005-0000-4000-8000-00000000B001}\\InprocServer32", L"", L"%DEMO%\\gone32.dll"},
    // Listed: a type library whose file is gone, and its dead help folder.
    {L"TypeLib\\{DE30000A-0000-4000-8000-00000000B001}\\1.0", L"", L"Brisfold Demo Broken Library"},
    {L"TypeLib\\{DE30000A-0000-4000-8000-00000000B001}\\1.0\\0\\win32", L"", L"%DEMO%\\gone.tlb"},
    {L"TypeLib\\{DE30000A-0000-4000-8000-00000000B001}\\1.0\\HELPDIR", L"", L"%DEMO%\\Help"},

    // Not listed: the server exists.
    {L"CLSID\\{DE300010-0000-4000-8000-00000000B001}\\InprocServer32", L"", L"%DEMO%\\present.dll"},
    // Not listed: a bare file name is found on the search path, not judged.
    {L"CLSID\\{DE300011-0000-4000-8000-00000000B001}\\InprocServer32", L"", L"present.dll"},
    // Not listed: a quoted program with arguments that exists.
    {L"CLSID\\{DE300012-0000-4000-8000-00000000B001}\\LocalServer32", L"", L"\"%DEMO%\\present.exe\" /automation"},
    // Not listed: an icon in a system library, written with %SystemRoot%.
    {L"CLSID\\{DE300013-0000-4000-8000-00000000B001}\\DefaultIcon", L"", L"%SystemRoot%\\system32\\shell32.dll,3"},
    // Not listed: a server on a network share.
    {L"CLSID\\{DE300014-0000-4000-8000-00000000B001}\\InprocServer32", L"", L"\\\\server\\share\\gone.dll"},
    // Not listed: a 32-bit server named as 32-bit programs see it (System32 is SysWOW64 for them).
    {L"Wow6432Node\\CLSID\\{DE300015-0000-4000-8000-00000000B001}\\InprocServer32", L"",
     L"%SYSTEM%\\brisfold-demo32.dll"},
    // Not listed: a type library that exists, with its help folder.
    {L"TypeLib\\{DE30001A-0000-4000-8000-00000000B001}\\1.0", L"", L"Brisfold Demo Library"},
    {L"TypeLib\\{DE30001A-0000-4000-8000-00000000B001}\\1.0\\0\\win32", L"", L"%DEMO%\\present.tlb"},
    {L"TypeLib\\{DE30001A-0000-4000-8000-00000000B001}\\1.0\\FLAGS", L"", L"0"},
    {L"TypeLib\\{DE30001A-0000-4000-8000-00000000B001}\\1.0\\HELPDIR", L"", L"%DEMO%"},
};

std::wstring DemoFolder()
{
    wchar_t buffer[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, buffer);
    return std::wstring(buffer) + L"\\Brisfold Demo";
}

std::wstring DemoFile32() { return SystemFolder32() + L"\\brisfold-demo32.dll"; }

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

int Plant()
{
    const std::wstring folder = DemoFolder();
    CreateDirectoryW(folder.c_str(), nullptr);
    int failures = 0;
    for (const wchar_t* name : {L"present.dll", L"present.exe", L"present.tlb"})
        failures += !WriteStub(folder + L"\\" + name);
    if (!SystemFolder32().empty())
        failures += !WriteStub(DemoFile32());
    for (const TEntry& entry : kEntries) {
        TRegKey key;
        if (key.Create(HKEY_CLASSES_ROOT, entry.Key, KEY_ALL_ACCESS) != ERROR_SUCCESS ||
            key.WriteString(entry.Name, Expand(entry.Data)) != ERROR_SUCCESS) {
            std::fwprintf(stderr, L"registry demo: cannot write HKEY_CLASSES_ROOT\\%ls\n", entry.Key);
            ++failures;
        }
    }
    std::wprintf(L"registry demo: planted %zu entries below HKEY_CLASSES_ROOT and files in %ls\n",
                 std::size(kEntries), folder.c_str());
    return failures == 0 ? 0 : 1;
}

int Remove()
{
    int failures = 0;
    for (const wchar_t* key : kPlantedKeys)
        failures += !OutcomeDone(DeleteRegTreeSafe(HKEY_CLASSES_ROOT, key));
    const std::wstring folder = DemoFolder();
    for (const wchar_t* name : {L"present.dll", L"present.exe", L"present.tlb"})
        failures += !OutcomeDone(DeleteFileSafe(folder + L"\\" + name));
    failures += !OutcomeDone(RemoveFolderSafe(folder));
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
