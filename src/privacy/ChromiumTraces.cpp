#include "privacy/ChromiumTraces.h"

#include "common/AppFrame.h"
#include "common/FormatText.h"
#include "common/Kelvor_Routine.h"
#include "common/SafeDelete.h"
#include "privacy/BrowserDatabase.h"
#include "privacy/BrowserListing.h"
#include "privacy/BrowserPlaces.h"
#include "privacy/ChromiumDatabases.h"
#include "privacy/ChromiumProfiles.h"
#include "privacy/CookieKeepList.h"
#include "privacy/PrivacyCollectors.h"
#include "privacy/PrivacyItems.h"
#include "privacy/PrivacyTexts.h"
#include "privacy/Processes.h"

#include <algorithm>
#include <functional>

namespace {

enum class TCategory { History, Downloads, Cookies, Cache, Sessions, FormData, Passwords };

struct TCategoryRow {
    const wchar_t* Key;
    TCategory Category;
};

const TCategoryRow kCategories[] = {
    {L"history", TCategory::History},   {L"downloads", TCategory::Downloads}, {L"cookies", TCategory::Cookies},
    {L"cache", TCategory::Cache},       {L"sessions", TCategory::Sessions},   {L"formdata", TCategory::FormData},
    {L"passwords", TCategory::Passwords},
};

// Besides History itself, the databases of what was visited; the last may also be an older plain file.
const wchar_t* const kHistorySideDatabases[] = {L"Top Sites", L"Shortcuts", L"Network Action Predictor",
                                                L"History Provider Cache"};
const wchar_t* const kSessionFiles[] = {L"Current Session", L"Current Tabs", L"Last Session", L"Last Tabs"};
const wchar_t* const kProfileCaches[] = {L"Cache", L"Code Cache", L"GPUCache"};
const wchar_t* const kBrowserCaches[] = {L"ShaderCache", L"GrShaderCache"};

// One browser's scan of one category.
struct TChromiumScan {
    TBrowserLister List;

    void History(const std::wstring& profile) const
    {
        const TBookmarks bookmarks = ReadChromiumBookmarks(profile);
        const TChromiumJobContext jobContext{&bookmarks, nullptr};
        const auto count = [&](TDatabaseJob job) {
            return [&jobContext, job](TSqliteDatabase& db, std::vector<int64_t>& counts) {
                return CountChromiumJob(job, db, jobContext, counts);
            };
        };
        List.Database(profile + L"\\History", profile, TDatabaseJob::ChromiumHistory, kHistoryName,
                      count(TDatabaseJob::ChromiumHistory), [&](const std::vector<int64_t>& n) {
                          return bookmarks.Damaged
                                     ? FormatText(List.Text(kHistoryVisitsText), {List.Count(n[0])})
                                     : FormatText(List.Text(kHistoryPagesText), {List.Count(n[0]), List.Count(n[1])});
                      });
        List.Database(profile + L"\\Favicons", profile, TDatabaseJob::ChromiumFavicons, kHistoryName,
                      count(TDatabaseJob::ChromiumFavicons), List.OneCount(kHistoryIconsText));
        for (const wchar_t* name : kHistorySideDatabases) {
            const std::wstring path = profile + L"\\" + name;
            if (FileExists(path) && !HasSqliteHeader(path) && std::wstring(name) == L"History Provider Cache") {
                List.File(path, true);
                continue;
            }
            List.Database(path, profile, TDatabaseJob::ChromiumSideTable, kHistoryName,
                          count(TDatabaseJob::ChromiumSideTable), List.OneCount(kHistoryEntriesText));
        }
        List.File(profile + L"\\Visited Links", true);
    }

    // A database whose job needs nothing but the keep-list.
    void Database(const std::wstring& path, const std::wstring& profile, TDatabaseJob job, TPrivacyText what,
                  const std::function<std::wstring(const std::vector<int64_t>&)>& describe) const
    {
        const TChromiumJobContext jobContext{nullptr, &List.Context.KeepList};
        List.Database(path, profile, job, what,
                      [&](TSqliteDatabase& db, std::vector<int64_t>& counts) {
                          return CountChromiumJob(job, db, jobContext, counts);
                      },
                      describe);
    }

    void Scan(TCategory category, const std::wstring& profile) const
    {
        switch (category) {
        case TCategory::History: History(profile); break;
        case TCategory::Downloads:
            Database(profile + L"\\History", profile, TDatabaseJob::ChromiumDownloads, kDownloadsName,
                     List.OneCount(kDownloadsText));
            break;
        case TCategory::Cookies:
            Database(ChromiumCookiesPath(profile), profile, TDatabaseJob::ChromiumCookies, kCookiesName,
                     [&](const std::vector<int64_t>& n) { return CookiesLine(List, n); });
            break;
        case TCategory::Cache:
            for (const wchar_t* name : kProfileCaches)
                List.FolderTree(profile + L"\\" + name, false);
            break;
        case TCategory::Sessions:
            for (const wchar_t* name : kSessionFiles)
                List.File(profile + L"\\" + name, true);
            List.FolderTree(profile + L"\\Sessions", true);
            break;
        case TCategory::FormData:
            Database(profile + L"\\Web Data", profile, TDatabaseJob::ChromiumFormData, kFormDataName,
                     List.OneCount(kFormDataText));
            break;
        case TCategory::Passwords:
            Database(profile + L"\\Login Data", profile, TDatabaseJob::ChromiumPasswords, kPasswordsName,
                     List.OneCount(kPasswordsText));
            break;
        }
    }
};

std::wstring BaseFolder(const TCategoryContext& context, TAppDataBase base)
{
    return base == TAppDataBase::Local ? context.Folders.GetUserFolder(kUserLocalAppData)
                                       : context.Folders.AppDataFolder;
}

} // namespace

std::wstring ChromiumCookiesPath(const std::wstring& profile)
{
    const std::wstring network = profile + L"\\Network\\Cookies";
    return FileExists(network) ? network : profile + L"\\Cookies";
}

void ScanChromium(TCategoryContext& context, const std::wstring& key)
{
    const size_t dot = key.find(L'.');
    if (dot == std::wstring::npos || context.Collect.Stopped())
        return;
    const auto browser = std::find_if(kChromiumBrowsers.begin(), kChromiumBrowsers.end(),
                                      [&](const TChromiumBrowser& b) { return key.compare(0, dot, b.Key) == 0; });
    const auto row = std::find_if(std::begin(kCategories), std::end(kCategories),
                                  [&](const TCategoryRow& r) { return key.compare(dot + 1, std::wstring::npos, r.Key) == 0; });
    if (browser == kChromiumBrowsers.end() || row == std::end(kCategories))
        return;
    const std::wstring base = BaseFolder(context, browser->Base);
    if (base.empty())
        return;
    const std::wstring named = base + L"\\" + browser->Folder;
    context.ShowSubject(std::wstring(browser->Name) + L": " + named.substr(0, kSubjectLength));
    if (row->Category == TCategory::Cookies)
        context.NoteIgnoredKeepEntries();
    // The user data folder, and each profile in it, pass the folder guard before anything in them is
    // looked at; they are used in the guard's form.
    const std::wstring userData = context.Collect.GuardedFolder(named, TWalkRoot::Named);
    if (userData.empty())
        return;

    const TBrowserOwner owner{browser->Name, browser->Process, userData, false, {}};
    const TChromiumScan scan{{context, owner, IsProcessRunning(browser->Process)}};
    const TWideStrings profiles = browser->SingleProfile ? TWideStrings{L""} : ChromiumProfileNames(userData);
    for (const std::wstring& name : profiles) {
        if (!context.Collect.KeepGoing())
            return;
        if (name.empty()) {
            scan.Scan(row->Category, userData);
            continue;
        }
        const std::wstring profile = userData + L"\\" + name;
        // A profile that is a link, or lies elsewhere, lists nothing: its files are not this browser's.
        if (!PlainFolderInside(userData, profile))
            continue;
        const std::wstring guarded = context.Collect.GuardedFolder(profile, TWalkRoot::Named);
        if (!guarded.empty())
            scan.Scan(row->Category, guarded);
    }
    if (row->Category != TCategory::Cache)
        return;
    for (const wchar_t* name : kBrowserCaches)
        scan.List.FolderTree(userData + L"\\" + name, false);
    // Opera keeps its cache in the local twin of its profile folder.
    const std::wstring local = context.Folders.GetUserFolder(kUserLocalAppData);
    if (browser->SingleProfile && !local.empty()) {
        const std::wstring twin = local + L"\\" + browser->Folder;
        if (FolderExists(twin) && !IsLink(twin)) {
            const TBrowserLister twinList{context, {browser->Name, browser->Process, twin, false, {}}, scan.List.Running};
            twinList.FolderTree(twin + L"\\Cache", false);
        }
    }
}
