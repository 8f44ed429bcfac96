// Plants traces of a few shipped definitions on a demo machine (a Wine prefix), so that the spyware
// scan has something to show, and removes them again.
//   spyware_demo_plant.exe plant  [Def.dbd]
//   spyware_demo_plant.exe remove [Def.dbd]
// Def.dbd defaults to the one next to this program. Everything planted comes from the definitions
// themselves, so the demo follows the shipped database.
#include "DemoSupport.h"

#include "common/AppFrame.h"
#include "common/CodePage.h"
#include "common/Exception.h"
#include "common/Extinifiles.h"
#include "common/Kelvor_Routine.h"
#include "common/KeyLocation.h"
#include "common/Registry.h"
#include "common/SafeDelete.h"
#include "common/SystemFolders.h"
#include "common/TextLines.h"
#include "common/UrlCache.h"
#include "spyware/PathMacros.h"
#include "spyware/RegistryEntry.h"
#include "spyware/archive/ZLIBArchive.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

enum class TPlant {
    Everything,       // registry entries, files and folders: listed
    FilesOnly,        // files and folders without any registry entry: nothing is listed
    ThirtyTwoBit,     // as a 32-bit program installs it: Wow6432Node keys, Program Files (x86)
};

struct TDemoThreat {
    const char* File;
    TPlant Plant;
    // A file of the definition that gets a copy of a system library ("Microsoft Corporation"),
    // which the scan does not list; empty for none.
    const char* SystemCompanyFile;
};

const TDemoThreat kThreats[] = {
    {"180search.def", TPlant::Everything, "sais.exe"},
    {"hotbar.def", TPlant::Everything, ""},
    {"ardamax.def", TPlant::Everything, ""},
    {"winfixer.def", TPlant::FilesOnly, ""},
    {"asktoolbar.def", TPlant::ThirtyTwoBit, ""},
};

// Tracking-cookie rules whose domains get a cookie in the URL cache.
const char* const kCookieDomains[] = {"doubleclick.net", "atdmt.com", "2o7.net"};

struct TDefinition {
    TAnsiStrings Reg, Files, Folders;
};

TDefinition ReadDefinition(TZLBArchive& archive, const std::string& name)
{
    TMemoryStream stream;
    archive.ExtractStreamByName(stream, name);
    TExtIniFile ini(TAppFrame().ExeFolder + L"spyware_demo_plant.exe", SplitLines(stream.Text()));
    TDefinition def;
    ini.ReadSection("Reg", def.Reg);
    ini.ReadSection("File", def.Files);
    ini.ReadSection("Folder", def.Folders);
    return def;
}

std::string CookieUrl(const std::string& domain) { return "Cookie:demo@ads." + domain + "/"; }

void PlantRegistry(const std::string& text, REGSAM view)
{
    const TRegistryEntry entry = ParseRegistryEntry(AnsiToWide(text));
    for (const TRegistryLocation& location : entry.Locations) {
        TRegKey key;
        bool ok = key.Create(location.Root, location.SubKey, KEY_ALL_ACCESS | view) == ERROR_SUCCESS;
        if (ok && entry.IsValue)
            ok = key.WriteString(entry.ValueName, L"C:\\demo\\planted.exe") == ERROR_SUCCESS;
        Report("reg", AnsiToWide(text), ok);
    }
}

void PlantFile(const std::wstring& path, bool systemCompany)
{
    // A folder that cannot be made shows as the file's failure.
    (void)MakeParentFolders(path);
    if (systemCompany) {
        const bool ok = CopyFileW((SystemFolder() + L"\\version.dll").c_str(), path.c_str(), FALSE) != FALSE;
        Report("file", path + L"  (company: " + FileVersionText(path, 1) + L", not listed)", ok);
        return;
    }
    Report("file", path, WriteWholeFile(path, "MZ demo"));
}

void PlantCookie(const std::string& domain)
{
    const std::string url = CookieUrl(domain);
    const bool ok = PlantUrlCacheEntry(url, COOKIE_CACHE_ENTRY, "id\ndemo\n" + domain + "/\n");
    Report("cookie", AnsiToWide(url), ok);
}

const char* PlantNote(TPlant plant)
{
    switch (plant) {
    case TPlant::FilesOnly: return " (files only: not listed)";
    case TPlant::ThirtyTwoBit: return " (a 32-bit program's traces)";
    default: return "";
    }
}

void Plant(TZLBArchive& archive)
{
    const TAppFrame folders;
    for (const TDemoThreat& threat : kThreats) {
        std::printf("%s%s\n", threat.File, PlantNote(threat.Plant));
        const TDefinition def = ReadDefinition(archive, threat.File);
        const bool wow = threat.Plant == TPlant::ThirtyTwoBit;
        const TPathView view = wow ? TPathView::Wow32 : TPathView::Native;
        if (threat.Plant != TPlant::FilesOnly)
            for (const std::string& entry : def.Reg)
                PlantRegistry(entry, wow ? KEY_WOW64_32KEY : 0);
        for (const std::string& folder : def.Folders) {
            const std::wstring path = ExpandPathMacros(AnsiToWide(folder), folders, view);
            (void)MakeFolders(path); // the report asks the file system itself
            Report("folder", path, GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES);
        }
        for (const std::string& file : def.Files) {
            const std::wstring path = ExpandPathMacros(AnsiToWide(file), folders, view);
            const std::string name = file.substr(file.find_last_of('\\') + 1);
            PlantFile(path, !std::string(threat.SystemCompanyFile).empty() && name == threat.SystemCompanyFile);
        }
    }
    std::printf("tracking cookies\n");
    for (const char* domain : kCookieDomains)
        PlantCookie(domain);
}

void Remove(TZLBArchive& archive)
{
    const TAppFrame folders;
    for (const TDemoThreat& threat : kThreats) {
        std::printf("%s\n", threat.File);
        const TDefinition def = ReadDefinition(archive, threat.File);
        const bool wow = threat.Plant == TPlant::ThirtyTwoBit;
        const TPathView view = wow ? TPathView::Wow32 : TPathView::Native;
        if (threat.Plant != TPlant::FilesOnly)
            for (const std::string& text : def.Reg) {
                // Only what the plant created: a value, or the key of the definition's own name.
                const TRegistryEntry entry = ParseRegistryEntry(AnsiToWide(text));
                for (const TRegistryLocation& location : entry.Locations) {
                    const TKeyLocation real =
                        TKeyLocator().Locate(location.Root, location.SubKey, wow ? KEY_WOW64_32KEY : 0);
                    if (!real.Found())
                        continue;
                    const TOutcome result = entry.IsValue ? DeleteRegValueSafe(real.Root, real.Path, entry.ValueName)
                                                          : DeleteRegTreeSafe(real.Root, real.Path);
                    Report("reg", real.Display(), OutcomeDone(result));
                }
            }
        for (const std::string& file : def.Files) {
            const std::wstring path = ExpandPathMacros(AnsiToWide(file), folders, view);
            Report("file", path, OutcomeDone(DeleteFileSafe(path)));
        }
        // Deepest first, so that nested folders of the definition go too.
        std::vector<std::wstring> paths;
        for (const std::string& folder : def.Folders)
            paths.push_back(ExpandPathMacros(AnsiToWide(folder), folders, view));
        std::sort(paths.begin(), paths.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
        for (const std::wstring& path : paths)
            Report("folder", path, OutcomeDone(RemoveFolderSafe(path)));
        // Folders the plant made for files only (such as %system%\28463).
        for (const std::string& file : def.Files) {
            const std::wstring path = ExpandPathMacros(AnsiToWide(file), folders, view);
            (void)RemoveFolderSafe(path.substr(0, path.find_last_of(L'\\')));
        }
    }
    for (const char* domain : kCookieDomains)
        Report("cookie", AnsiToWide(CookieUrl(domain)), OutcomeDone(DeleteUrlCacheRecord(CookieUrl(domain))));
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command != L"plant" && command != L"remove") {
        std::fputs("usage: spyware_demo_plant.exe plant|remove [Def.dbd]\n", stderr);
        return 2;
    }
    const std::wstring archivePath = argc > 2 ? argv[2] : TAppFrame().ExeFolder + L"Def.dbd";
    try {
        TZLBArchive archive;
        archive.OpenArchive(WideToAnsi(archivePath));
        if (command == L"plant")
            Plant(archive);
        else
            Remove(archive);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "spyware_demo_plant: %s\n", error.what());
        return 1;
    }
    return 0;
}
