// The traces of the browsers that keep a profile folder below the user's application data: Firefox
// and Opera.
#include "privacy/BrowserTraces.h"

#include "privacy/BrowserPlaces.h"

#include "common/AppFrame.h"
#include "common/FileFind.h"
#include "common/IniFile.h"
#include "common/Kelvor_Routine.h"
#include "common/Paths.h"
#include "common/SafeDelete.h"
#include "privacy/PrivacyCollectors.h"
#include "privacy/PrivacyItems.h"
#include "privacy/Processes.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

const wchar_t kFirefoxFolder[] = L"Mozilla\\Firefox"; // below application data
const wchar_t kOperaFolder[] = L"\\Opera";

template <typename TCategory, size_t N>
const TCategory* FindCategory(const TCategory (&table)[N], const std::wstring& key)
{
    const auto found = std::find_if(std::begin(table), std::end(table), [&](const TCategory& c) { return key == c.Key; });
    return found == std::end(table) ? nullptr : found;
}

// ---- Firefox

enum class TFirefoxSubject { FileName, FullPath, AppData };

struct TFirefoxCategory {
    const wchar_t* Key;
    const wchar_t* Name; // below the profile folder
    TFirefoxSubject Subject;
    bool HeldWhileRunning; // Firefox keeps it open: left alone while it runs
    bool Folder;           // the cache, listed one level deep
};

const TFirefoxCategory kFirefoxCategories[] = {
    {L"Cookie", L"cookies.txt", TFirefoxSubject::FileName, false, false},
    {L"Download History", L"downloads.rdf", TFirefoxSubject::FileName, false, false},
    {L"History", L"history.dat", TFirefoxSubject::FullPath, true, false},
    {L"Saved Form", L"formhistory.dat", TFirefoxSubject::FullPath, true, false},
    {L"Cache", L"Cache", TFirefoxSubject::AppData, true, true},
};

// The first profile's folder: the "Path" of section "Profile0" in profiles.ini, used as stored (its
// forward slashes included); the Firefox folder itself without one. None when the path would lead out
// of the Firefox folder: a crafted profiles.ini must not point the sweeper at other files.
std::optional<std::wstring> FirefoxProfileFolder(const std::wstring& firefox)
{
    const std::wstring relative = TIniFile(firefox + L"\\profiles.ini").ReadString(L"Profile0", L"Path", L"");
    if (ClimbsOut(relative))
        return std::nullopt;
    return relative.empty() ? firefox : firefox + L"\\" + relative;
}

std::wstring FirefoxSubject(const TFirefoxCategory& category, const std::wstring& path, const std::wstring& appData)
{
    switch (category.Subject) {
    case TFirefoxSubject::FileName: return LastPathComponent(path, kSubjectLength);
    case TFirefoxSubject::FullPath: return path.substr(0, kSubjectLength);
    case TFirefoxSubject::AppData: break;
    }
    return appData.substr(0, kSubjectLength);
}

// ---- Opera

struct TOperaCategory {
    const wchar_t* Key;
    const wchar_t* Subject;
    bool Folder; // the cache, walked to all depths
    std::array<const wchar_t*, 5> Names; // below the base folder, in this order; nullptr ends the list
};

const TOperaCategory kOperaCategories[] = {
    {L"Cookie", L"profile\\cookies4.dat", false, {L"\\profile\\cookies4.dat"}},
    {L"History",
     L"profile\\global.dat",
     false,
     {L"\\profile\\global.dat", L"\\profile\\opera.dir", L"\\profile\\download.dat", L"\\profile\\vlink4.dat",
      L"\\profile\\sessions\\autosave.win"}},
    {L"Cache", L"profile\\cache4", true, {L"\\profile\\cache4"}},
};

} // namespace

void ScanFirefox(TCategoryContext& context, const std::wstring& key)
{
    const TFirefoxCategory* category = FindCategory(kFirefoxCategories, key);
    const std::wstring& appData = context.Folders.AppDataFolder;
    if (context.Collect.Stopped() || !category || appData.empty())
        return;
    const std::wstring firefox = appData + L"\\" + kFirefoxFolder;
    const std::optional<std::wstring> profile = FirefoxProfileFolder(firefox);
    if (!profile)
        return;
    const std::wstring path = *profile + L"\\" + category->Name;

    if (category->Folder) {
        // Firefox holds its cache while it runs: the category is passed over, its status line too.
        if (FirefoxRuns())
            return;
        context.ShowSubject(FirefoxSubject(*category, path, appData));
        if (ResolvesInside(firefox, path))
            context.Collect.ListFolder(path, TWalkRoot::Named, appData);
        return;
    }
    context.ShowSubject(FirefoxSubject(*category, path, appData));
    if (!FileExists(path) || (category->HeldWhileRunning && FirefoxRuns()))
        return;
    if (ResolvesInside(firefox, path))
        context.Collect.ListFile(path, TWalkRoot::Named, appData);
}

bool HeldByFirefox(const std::wstring& path)
{
    if (path.find(kFirefoxFolder) == std::wstring::npos)
        return false;
    return std::none_of(std::begin(kFirefoxCategories), std::end(kFirefoxCategories), [&](const TFirefoxCategory& c) {
        return !c.HeldWhileRunning && path.find(c.Name) != std::wstring::npos;
    });
}

std::wstring FindOperaFolder(const std::wstring& appData)
{
    if (appData.empty())
        return {};
    const std::wstring opera = appData + kOperaFolder;
    std::wstring base;
    WIN32_FIND_DATAW entry;
    const TFindHandle find = FindFirstEntry(opera + L"\\*.*", entry);
    if (!find)
        return base;
    do {
        if (!IsDotEntry(entry.cFileName))
            base = opera + L"\\" + entry.cFileName;
    } while (FindNextFileW(find.Get(), &entry));
    return base;
}

void ScanOpera(TCategoryContext& context, const std::wstring& key)
{
    const TOperaCategory* category = FindCategory(kOperaCategories, key);
    if (context.Collect.Stopped() || !category)
        return;
    const std::wstring base = FindOperaFolder(context.Folders.AppDataFolder);
    context.ShowSubject(category->Subject);
    // The entry found last is the profile, as it stands: a file or a link there lists nothing.
    if (!FolderExists(base) || IsLink(base))
        return;
    for (const wchar_t* name : category->Names) {
        if (!name)
            break;
        const std::wstring path = base + name;
        if (!ResolvesInside(base, path))
            continue;
        if (category->Folder)
            context.Collect.ListFolderTree(path, TWalkRoot::Named, context.Folders.AppDataFolder);
        else if (FileExists(path))
            context.Collect.ListFile(path, TWalkRoot::Named, context.Folders.AppDataFolder);
    }
}
