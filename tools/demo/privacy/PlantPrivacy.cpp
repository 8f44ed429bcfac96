// Plants traces of use for the privacy sweeper on a demo machine (a Wine prefix), and removes them again.
//   privacy_demo_plant.exe plant
//   privacy_demo_plant.exe remove
// Typed addresses, form and password stores, cookies in the system's URL cache and files in the
// history folder; and, so that the demo shows what the sweeper must leave alone, a typed address of
// another type and a page in the cache that is not a cookie.
#include "common/AppFrame.h"
#include "common/CodePage.h"
#include "common/Registry.h"
#include "common/SafeDelete.h"

#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const wchar_t kTypedUrls[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
const wchar_t kIntelliForms[] = L"Software\\Microsoft\\Internet Explorer\\IntelliForms";
const wchar_t kProtectedStorage[] = L"Software\\Microsoft\\Protected Storage System Provider";

struct TDemoValue {
    const wchar_t* Key;
    const wchar_t* Name;
    DWORD Type;
    const wchar_t* Text;
};

// Listed, except the expandable typed address (only plain strings are typed addresses).
const TDemoValue kValues[] = {
    {kTypedUrls, L"url1", REG_SZ, L"http://www.example.com/"},
    {kTypedUrls, L"url2", REG_SZ, L"http://news.example.org/today"},
    {kTypedUrls, L"url3", REG_SZ, L"https://mail.example.net/inbox"},
    {kTypedUrls, L"url4", REG_EXPAND_SZ, L"%USERPROFILE%\\start.htm"},
    {kIntelliForms, L"SearchTerms", REG_SZ, L"holiday flights"},
    {L"Software\\Microsoft\\Internet Explorer\\IntelliForms\\Storage1", L"E1B4F26D", REG_SZ, L"jo@example.com"},
    {L"Software\\Microsoft\\Internet Explorer\\IntelliForms\\Storage2", L"7A3C0911", REG_SZ, L"password hash"},
    {L"Software\\Microsoft\\Protected Storage System Provider\\S-1-5-21-1000", L"Data", REG_SZ, L"sealed"},
};

struct TDemoCacheEntry {
    const char* Url;
    DWORD Type;
    const char* Content;
};

const TDemoCacheEntry kCacheEntries[] = {
    {"Cookie:demo@www.example.com/", COOKIE_CACHE_ENTRY, "session\nabc123\nwww.example.com/\n"},
    {"Cookie:demo@news.example.org/", COOKIE_CACHE_ENTRY, "prefs\ndark\nnews.example.org/\n"},
    {"Cookie:demo@shop.example.net/cart/", COOKIE_CACHE_ENTRY, "cart\n3 items\nshop.example.net/cart/\n"},
    {"http://www.example.com/index.htm", NORMAL_CACHE_ENTRY, "<html></html>\n"}, // a page: not listed
};

struct TDemoFile {
    const wchar_t* Path; // below the history folder
    DWORD Size;
};

const TDemoFile kHistoryFiles[] = {
    {L"History.IE5\\MSHist012008010720080114\\index.dat", 16384},
    {L"History.IE5\\MSHist012008011420080115\\index.dat", 8192},
    {L"History.IE5\\desktop.ini", 113},
};

void Report(const char* what, const std::wstring& item, bool ok)
{
    std::printf("%s %-7s %s\n", ok ? "  " : "!!", what, WideToUtf8(item).c_str());
}

std::wstring HistoryFolder()
{
    return TAppFrame().GetSpecialFolder(CSIDL_HISTORY);
}

void PlantValue(const TDemoValue& value)
{
    TRegKey key;
    bool ok = key.Create(HKEY_CURRENT_USER, value.Key, KEY_ALL_ACCESS) == ERROR_SUCCESS;
    ok = ok && key.WriteString(value.Name, value.Text, value.Type) == ERROR_SUCCESS;
    Report("reg", std::wstring(value.Key) + L"\\" + value.Name, ok);
}

void PlantCacheEntry(const TDemoCacheEntry& entry)
{
    DeleteUrlCacheEntryA(entry.Url);
    char local[MAX_PATH] = {};
    bool ok = CreateUrlCacheEntryA(entry.Url, 0, "txt", local, 0) != FALSE;
    if (ok) {
        HANDLE file = CreateFileA(local, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, entry.Content, static_cast<DWORD>(std::string(entry.Content).size()), &written, nullptr);
            CloseHandle(file);
        }
        FILETIME never = {};
        ok = CommitUrlCacheEntryA(entry.Url, local, never, never, entry.Type, nullptr, 0, "txt", nullptr) != FALSE;
    }
    Report(entry.Type == COOKIE_CACHE_ENTRY ? "cookie" : "page", AnsiToWide(entry.Url), ok);
}

void PlantFile(const std::wstring& path, DWORD size)
{
    SHCreateDirectoryExW(nullptr, path.substr(0, path.find_last_of(L'\\')).c_str(), nullptr);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool ok = file != INVALID_HANDLE_VALUE;
    if (ok) {
        const std::vector<char> bytes(size, 'h');
        DWORD written = 0;
        WriteFile(file, bytes.data(), size, &written, nullptr);
        CloseHandle(file);
    }
    Report("file", path, ok);
}

void Plant()
{
    for (const TDemoValue& value : kValues)
        PlantValue(value);
    for (const TDemoCacheEntry& entry : kCacheEntries)
        PlantCacheEntry(entry);
    const std::wstring history = HistoryFolder();
    for (const TDemoFile& file : kHistoryFiles)
        PlantFile(history + L"\\" + file.Path, file.Size);
}

void Remove()
{
    for (const TDemoValue& value : kValues)
        Report("reg", std::wstring(value.Key) + L"\\" + value.Name,
               OutcomeDone(DeleteRegValueSafe(HKEY_CURRENT_USER, value.Key, value.Name)));
    for (const TDemoCacheEntry& entry : kCacheEntries)
        Report("cache", AnsiToWide(entry.Url),
               DeleteUrlCacheEntryA(entry.Url) || GetLastError() == ERROR_FILE_NOT_FOUND);
    const std::wstring history = HistoryFolder();
    for (const TDemoFile& file : kHistoryFiles)
        Report("file", history + L"\\" + file.Path, OutcomeDone(DeleteFileSafe(history + L"\\" + file.Path)));
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"plant")
        Plant();
    else if (command == L"remove")
        Remove();
    else {
        std::fputs("usage: privacy_demo_plant.exe plant|remove\n", stderr);
        return 2;
    }
    return 0;
}
