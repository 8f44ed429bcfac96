// Plants traces of use for the privacy sweeper on a demo machine (a Wine prefix), and removes them again.
//   privacy_demo_plant.exe plant
//   privacy_demo_plant.exe remove
//   privacy_demo_plant.exe browsers   (what today's browsers' profiles hold now)
// Internet Explorer's typed addresses, form and password stores, cookies and visited pages in the
// system's URL cache; a Firefox profile and an Opera profile; Chrome with two profiles and Edge with
// one; shortcuts in the Recent folder, recent documents and Run history; the recent-file lists of an
// office suite, two archivers and a media player. Beside them, so that the demo shows what the
// sweeper must leave alone: a typed address of another type, a page in the cache that is not a
// cookie, the browsers' settings files and the applications' settings values next to their lists.
#include "DemoSupport.h"
#include "PlantBrowsers.h"

#include "common/AppFrame.h"
#include "common/CodePage.h"
#include "common/Registry.h"
#include "common/SafeDelete.h"
#include "common/UrlCache.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <wininet.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const wchar_t kTypedUrls[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
const wchar_t kIntelliForms[] = L"Software\\Microsoft\\Internet Explorer\\IntelliForms";
const wchar_t kRecentDocs[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
const wchar_t kRunMru[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

struct TDemoValue {
    const wchar_t* Key;
    const wchar_t* Name;
    DWORD Type; // a REG_BINARY value holds the text's UTF-16 bytes, as the recent-document lists do
    const wchar_t* Text;
};

// Listed by the privacy row, except the values marked "kept".
const TDemoValue kValues[] = {
    {kTypedUrls, L"url1", REG_SZ, L"http://www.example.com/"},
    {kTypedUrls, L"url2", REG_SZ, L"http://news.example.org/today"},
    {kTypedUrls, L"url3", REG_SZ, L"https://mail.example.net/inbox"},
    {kTypedUrls, L"url4", REG_EXPAND_SZ, L"%USERPROFILE%\\start.htm"}, // kept: not a plain string
    {kIntelliForms, L"SearchTerms", REG_SZ, L"holiday flights"},
    {L"Software\\Microsoft\\Internet Explorer\\IntelliForms\\Storage1", L"E1B4F26D", REG_SZ, L"jo@example.com"},
    {L"Software\\Microsoft\\Internet Explorer\\IntelliForms\\Storage2", L"7A3C0911", REG_SZ, L"password hash"},
    {L"Software\\Microsoft\\Protected Storage System Provider\\S-1-5-21-1000", L"Data", REG_SZ, L"sealed"},
    // Windows: recent documents (the key's values and one subkey per file type) and the Run box.
    {kRecentDocs, L"0", REG_BINARY, L"Quarterly report.doc"},
    {kRecentDocs, L"1", REG_BINARY, L"Holiday photos"},
    {kRecentDocs, L"MRUListEx", REG_BINARY, L"\x0001"},
    {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs\\.doc", L"0", REG_BINARY,
     L"Quarterly report.doc"},
    {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs\\.doc", L"MRUListEx", REG_BINARY, L""},
    {kRunMru, L"a", REG_SZ, L"notepad\\1"},
    {kRunMru, L"b", REG_SZ, L"\\\\fileserver\\projects\\1"},
    {kRunMru, L"MRUList", REG_SZ, L"ba"},
    // An office suite: Excel and Word recent files (whole keys), Access's recent databases (values).
    {L"Software\\Microsoft\\Office\\11.0\\Excel\\Recent Files", L"File1", REG_SZ, L"C:\\Budget\\2008.xls"},
    {L"Software\\Microsoft\\Office\\11.0\\Excel\\Recent Files", L"File2", REG_SZ, L"C:\\Budget\\2007.xls"},
    {L"Software\\Microsoft\\Office\\12.0\\Word\\File MRU", L"Item 1", REG_SZ, L"[F00000000]*C:\\Letters\\bank.docx"},
    {L"Software\\Microsoft\\Office\\12.0\\Access\\Settings", L"MRU1", REG_SZ, L"C:\\Data\\contacts.accdb"},
    {L"Software\\Microsoft\\Office\\12.0\\Access\\Settings", L"MRU2", REG_SZ, L"C:\\Data\\orders.accdb"},
    {L"Software\\Microsoft\\Office\\12.0\\Access\\Settings", L"Default Database Directory", REG_SZ,
     L"C:\\Data"}, // kept
    {L"Software\\Microsoft\\Office\\12.0\\Word\\Options", L"AutoSaveTime", REG_SZ, L"10"}, // kept
    // Two archivers and a media player, each beside settings of its own.
    {L"Software\\WinRAR\\ArcHistory", L"0", REG_SZ, L"C:\\Downloads\\photos.rar"},
    {L"Software\\WinRAR\\ArcHistory", L"1", REG_SZ, L"C:\\Downloads\\drivers.zip"},
    {L"Software\\WinRAR\\General", L"LastFolder", REG_SZ, L"C:\\Downloads"},
    {L"Software\\WinRAR\\General", L"VerInfo", REG_BINARY, L"6.0"}, // kept
    {L"Software\\7-Zip\\FM", L"FolderHistory", REG_BINARY, L"C:\\Downloads\\"},
    {L"Software\\7-Zip\\FM", L"PanelPath0", REG_SZ, L"C:\\Downloads\\"},
    {L"Software\\7-Zip\\FM", L"ListMode", REG_SZ, L"771"}, // kept
    {L"Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList", L"File0", REG_SZ, L"C:\\Music\\song.mp3"},
    {L"Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList", L"File1", REG_SZ, L"C:\\Videos\\party.avi"},
    {L"Software\\Microsoft\\MediaPlayer\\Player\\Settings", L"Volume", REG_SZ, L"50"}, // kept
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
    {"Visited: demo@http://www.example.com/index.htm", URLHISTORY_CACHE_ENTRY, "www.example.com\n"},
    {"Visited: demo@http://news.example.org/today.htm", URLHISTORY_CACHE_ENTRY, "news.example.org\n"},
    {"http://www.example.com/index.htm", NORMAL_CACHE_ENTRY, "<html></html>\n"}, // a page: not listed
};

const char* CacheEntryKind(DWORD type)
{
    return type == COOKIE_CACHE_ENTRY ? "cookie" : type == URLHISTORY_CACHE_ENTRY ? "visited" : "page";
}

// The shell folder a planted file lies in.
enum TFolder : int { kAppData = CSIDL_APPDATA, kRecent = CSIDL_RECENT };

struct TDemoFile {
    TFolder Folder;
    const wchar_t* Path; // below the folder
    DWORD Size;
    const char* Text; // the content; nullptr: Size filler bytes
};

const char kProfilesIni[] = "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
                            "Path=Profiles/k3x9w2ad.default\r\n";

// Listed by the privacy row, except the settings files marked "kept".
const TDemoFile kFiles[] = {
    {kAppData, L"Mozilla\\Firefox\\profiles.ini", 0, kProfilesIni}, // kept
    {kAppData, L"Mozilla\\Firefox\\Profiles\\k3x9w2ad.default\\cookies.txt", 412, nullptr},
    {kAppData, L"Mozilla\\Firefox\\Profiles\\k3x9w2ad.default\\downloads.rdf", 1876, nullptr},
    {kAppData, L"Mozilla\\Firefox\\Profiles\\k3x9w2ad.default\\history.dat", 52340, nullptr},
    {kAppData, L"Mozilla\\Firefox\\Profiles\\k3x9w2ad.default\\formhistory.dat", 2048, nullptr},
    {kAppData, L"Mozilla\\Firefox\\Profiles\\k3x9w2ad.default\\Cache\\_CACHE_MAP_", 4096, nullptr},
    {kAppData, L"Mozilla\\Firefox\\Profiles\\k3x9w2ad.default\\Cache\\0A1B2C3Dd01", 15230, nullptr},
    {kAppData, L"Mozilla\\Firefox\\Profiles\\k3x9w2ad.default\\prefs.js", 950, nullptr}, // kept
    {kAppData, L"Opera\\Opera\\profile\\cookies4.dat", 734, nullptr},
    {kAppData, L"Opera\\Opera\\profile\\global.dat", 6120, nullptr},
    {kAppData, L"Opera\\Opera\\profile\\vlink4.dat", 2210, nullptr},
    {kAppData, L"Opera\\Opera\\profile\\sessions\\autosave.win", 3302, nullptr},
    {kAppData, L"Opera\\Opera\\profile\\cache4\\opr00001.tmp", 20480, nullptr},
    {kAppData, L"Opera\\Opera\\profile\\cache4\\g_0001\\opr00002.tmp", 9730, nullptr},
    {kAppData, L"Opera\\Opera\\profile\\opera6.ini", 1500, nullptr}, // kept
};

struct TDemoShortcut {
    TFolder Folder;
    const wchar_t* Path; // below the folder
    const wchar_t* Target;
};

const TDemoShortcut kShortcuts[] = {
    {kRecent, L"Quarterly report.doc.lnk", L"C:\\users\\Public\\Documents\\Quarterly report.doc"},
    {kRecent, L"Holiday photos.lnk", L"C:\\users\\Public\\Pictures"},
    {kRecent, L"bank.docx.lnk", L"C:\\Letters\\bank.docx"},
    {kAppData, L"Microsoft\\Office\\Recent\\bank.docx.LNK", L"C:\\Letters\\bank.docx"},
};

std::wstring FolderPath(int csidl, const std::wstring& path)
{
    return TAppFrame().GetSpecialFolder(csidl) + L"\\" + path;
}

void PlantValue(const TDemoValue& value)
{
    const std::wstring text = value.Text;
    TRegValue data{value.Type, {}};
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    // Strings carry their terminating null; binary lists carry just their characters.
    data.Data.assign(bytes, bytes + (text.size() + (value.Type == REG_BINARY ? 0 : 1)) * sizeof(wchar_t));
    TRegKey key;
    const bool ok = key.Create(HKEY_CURRENT_USER, value.Key, KEY_ALL_ACCESS) == ERROR_SUCCESS &&
                    key.WriteValue(value.Name, data) == ERROR_SUCCESS;
    Report("reg", std::wstring(value.Key) + L"\\" + value.Name, ok);
}

void PlantCacheEntry(const TDemoCacheEntry& entry)
{
    const bool ok = PlantUrlCacheEntry(entry.Url, entry.Type, entry.Content);
    Report(CacheEntryKind(entry.Type), AnsiToWide(entry.Url), ok);
}

void PlantFile(const TDemoFile& demo)
{
    const std::wstring path = FolderPath(demo.Folder, demo.Path);
    const std::string bytes = demo.Text ? std::string(demo.Text) : std::string(demo.Size, 'h');
    const bool folders = MakeParentFolders(path);
    Report("file", path, WriteWholeFile(path, bytes) && folders);
}

void PlantShortcut(const TDemoShortcut& demo)
{
    const std::wstring path = FolderPath(demo.Folder, demo.Path);
    bool ok = MakeParentFolders(path);
    IShellLinkW* link = nullptr;
    ok = ok && SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                          reinterpret_cast<void**>(&link)));
    if (link) {
        IPersistFile* file = nullptr;
        ok = SUCCEEDED(link->SetPath(demo.Target)) &&
             SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
             SUCCEEDED(file->Save(path.c_str(), TRUE));
        if (file)
            file->Release();
        link->Release();
    }
    Report("link", path, ok);
}

void Plant()
{
    for (const TDemoValue& value : kValues)
        PlantValue(value);
    for (const TDemoCacheEntry& entry : kCacheEntries)
        PlantCacheEntry(entry);
    for (const TDemoFile& file : kFiles)
        PlantFile(file);
    for (const TDemoShortcut& shortcut : kShortcuts)
        PlantShortcut(shortcut);
    PlantBrowsers();
}

void Remove()
{
    for (const TDemoValue& value : kValues)
        Report("reg", std::wstring(value.Key) + L"\\" + value.Name,
               OutcomeDone(DeleteRegValueSafe(HKEY_CURRENT_USER, value.Key, value.Name)));
    for (const TDemoCacheEntry& entry : kCacheEntries)
        Report("cache", AnsiToWide(entry.Url), OutcomeDone(DeleteUrlCacheRecord(entry.Url)));
    for (const TDemoFile& file : kFiles) {
        const std::wstring path = FolderPath(file.Folder, file.Path);
        Report("file", path, OutcomeDone(DeleteFileSafe(path)));
    }
    for (const TDemoShortcut& shortcut : kShortcuts) {
        const std::wstring path = FolderPath(shortcut.Folder, shortcut.Path);
        Report("link", path, OutcomeDone(DeleteFileSafe(path)));
    }
    RemoveBrowsers();
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        std::fputs("privacy_demo_plant: COM could not be started\n", stderr);
        return 2;
    }
    int status = 0;
    if (command == L"plant")
        Plant();
    else if (command == L"remove")
        Remove();
    else if (command == L"browsers")
        ShowBrowsers();
    else {
        std::fputs("usage: privacy_demo_plant.exe plant|remove|browsers\n", stderr);
        status = 2;
    }
    CoUninitialize();
    return status;
}
