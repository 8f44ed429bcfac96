#include "privacy/FirefoxTraces.h"

#include "common/AppFrame.h"
#include "common/FormatText.h"
#include "privacy/BrowserListing.h"
#include "privacy/CookieKeepList.h"
#include "privacy/FirefoxDatabases.h"
#include "privacy/FirefoxProfiles.h"
#include "privacy/PrivacyCollectors.h"
#include "privacy/PrivacyItems.h"
#include "privacy/Processes.h"

#include <algorithm>
#include <optional>

namespace {

enum class TCategory { History, Cookies, FormHistory, Sessions, Cache, Passwords };

struct TCategoryRow {
    const wchar_t* Key;
    TCategory Category;
};

const TCategoryRow kCategories[] = {
    {L"firefox.history", TCategory::History},   {L"firefox.cookies", TCategory::Cookies},
    {L"firefox.formhistory", TCategory::FormHistory}, {L"firefox.sessions", TCategory::Sessions},
    {L"firefox.cache", TCategory::Cache},       {L"firefox.passwords", TCategory::Passwords},
};

const wchar_t kName[] = L"Mozilla Firefox";
const wchar_t kProcess[] = L"firefox.exe";

// The profile in the guard's form, or none where the guard refuses it (the report says why). A
// profile below the Firefox folder is walked on purpose; one the user placed elsewhere is any folder,
// and is its own root.
std::optional<TFirefoxProfile> Guarded(TCategoryContext& context, const TFirefoxProfile& profile)
{
    const std::wstring folder =
        context.Collect.GuardedFolder(profile.Folder, profile.Absolute ? TWalkRoot::Other : TWalkRoot::Named);
    if (folder.empty())
        return std::nullopt;
    TFirefoxProfile guarded = profile;
    guarded.Folder = folder;
    if (profile.Absolute)
        guarded.Root = guarded.Local = guarded.LocalRoot = folder;
    return guarded;
}

void ScanProfile(TCategoryContext& context, TCategory category, const TFirefoxProfile& profile, bool processRuns)
{
    const std::wstring lock = profile.Folder + L"\\parent.lock";
    // Firefox runs with this profile when it holds its lock, even where the process list cannot tell.
    const bool running = processRuns || LockFileHeld(lock);
    const TWalkRoot kind = profile.Absolute ? TWalkRoot::Other : TWalkRoot::Named;
    const TBrowserLister list{context, {kName, kProcess, profile.Root, false, lock}, running, kind};
    const auto database = [&](const wchar_t* name, TDatabaseJob job, TPrivacyText what,
                              const std::function<std::wstring(const std::vector<int64_t>&)>& describe) {
        list.Database(profile.Folder + L"\\" + name, profile.Folder, job, what,
                      [&](TSqliteDatabase& db, std::vector<int64_t>& counts) {
                          return CountFirefoxJob(job, db, &context.KeepList, counts);
                      },
                      describe);
    };
    switch (category) {
    case TCategory::History:
        database(L"places.sqlite", TDatabaseJob::FirefoxHistory, kHistoryName, [&](const std::vector<int64_t>& n) {
            return FormatText(list.Text(kHistoryPagesText), {list.Count(n[0]), list.Count(n[1])});
        });
        break;
    case TCategory::Cookies:
        database(L"cookies.sqlite", TDatabaseJob::FirefoxCookies, kCookiesName,
                 [&](const std::vector<int64_t>& n) { return CookiesLine(list, n); });
        break;
    case TCategory::FormHistory:
        database(L"formhistory.sqlite", TDatabaseJob::FirefoxFormHistory, kFormHistoryName,
                 list.OneCount(kFormHistoryText));
        break;
    case TCategory::Sessions:
        list.File(profile.Folder + L"\\sessionstore.jsonlz4", true);
        list.FolderTree(profile.Folder + L"\\sessionstore-backups", true);
        break;
    case TCategory::Cache: {
        // The cache lies in the profile's local twin; its files may be in use, its folders stay.
        const TBrowserLister local{context, {kName, kProcess, profile.LocalRoot, false, lock}, running, kind};
        for (const wchar_t* name : {L"cache2", L"thumbnails"})
            local.FolderTree(profile.Local + L"\\" + name, false);
        break;
    }
    case TCategory::Passwords:
        // key4.db, which holds the key to them, always stays.
        list.File(profile.Folder + L"\\logins.json", true);
        list.File(profile.Folder + L"\\logins-backup.json", true);
        database(L"logins.db", TDatabaseJob::FirefoxLogins, kPasswordsName, list.OneCount(kPasswordsText));
        break;
    }
}

} // namespace

void ScanTodaysFirefox(TCategoryContext& context, const std::wstring& key)
{
    const auto row = std::find_if(std::begin(kCategories), std::end(kCategories),
                                  [&](const TCategoryRow& r) { return key == r.Key; });
    if (row == std::end(kCategories) || context.Collect.Stopped())
        return;
    const std::wstring local = context.Folders.GetUserFolder(kUserLocalAppData);
    if (row->Category == TCategory::Cookies)
        context.NoteIgnoredKeepEntries();
    const bool processRuns = IsProcessRunning(kProcess);
    for (const TFirefoxPlace& place : FirefoxPlaces(context.Folders.AppDataFolder, local)) {
        for (const TFirefoxProfile& profile : FirefoxProfiles(place)) {
            if (!context.Collect.KeepGoing())
                return;
            context.ShowSubject(std::wstring(kName) + L": " + profile.Folder.substr(0, kSubjectLength));
            if (const std::optional<TFirefoxProfile> guarded = Guarded(context, profile))
                ScanProfile(context, row->Category, *guarded, processRuns);
        }
    }
}
