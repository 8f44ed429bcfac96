#include "privacy/ChromiumTraces.h"

#include "common/AppFrame.h"
#include "common/FormatText.h"
#include "common/Kelvor_Routine.h"
#include "common/SafeDelete.h"
#include "privacy/BrowserDatabase.h"
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
    TCategoryContext& Context;
    const TChromiumBrowser& Browser;
    std::wstring UserData; // the browser's root: nothing outside it is listed
    bool Running;          // its process runs: its databases are not even opened

    std::wstring Text(TPrivacyText line) const { return PrivacyText(Context.Texts, line); }
    std::wstring Count(int64_t n) const { return GroupDigits(n, Text(kDigitGroupText)); }

    TBrowserOwner Owner(bool held) const { return {Browser.Name, Browser.Process, UserData, held}; }

    // A database item: what it removes, or why it waits; nothing when there is nothing to remove.
    void ListDatabase(const std::wstring& path, const std::wstring& profile, TDatabaseJob job, TPrivacyText name,
                      const TChromiumJobContext& jobContext,
                      const std::function<std::wstring(const std::vector<int64_t>&)>& describe) const
    {
        if (!PlainFileInside(UserData, path))
            return;
        auto& recorder = Context.Collect.Recorder();
        const std::wstring inUse = Text(name) + L" (" + FormatText(Text(kInUseText), {std::wstring(Browser.Name)}) + L")";
        if (Running) {
            recorder.AddDatabase(path, inUse, job, profile, Owner(true));
            return;
        }
        const TDatabaseLook look = LookAtDatabase(path, [&](TSqliteDatabase& db, std::vector<int64_t>& counts) {
            return CountChromiumJob(job, db, jobContext, counts);
        });
        switch (look.State) {
        case TDatabaseState::Missing: return;
        case TDatabaseState::Held: recorder.AddDatabase(path, inUse, job, profile, Owner(true)); return;
        case TDatabaseState::Damaged:
            recorder.AddDatabase(path, Text(name) + L" (" + FormatText(Text(kDamagedText), {look.Message}) + L")", job,
                                 profile, Owner(true));
            return;
        case TDatabaseState::Readable: break;
        }
        if (std::all_of(look.Counts.begin(), look.Counts.end(), [](int64_t n) { return n == 0; }))
            return;
        recorder.AddDatabase(path, describe(look.Counts), job, profile, Owner(true));
    }

    // Files the browser keeps open while it runs (sessions, visited links) or cache files.
    void ListFile(const std::wstring& path, bool held) const
    {
        if (!PlainFileInside(UserData, path))
            return;
        TPrivacyRecorder::TOwnerScope owner(Context.Collect.Recorder(), Owner(held));
        Context.Collect.ListFile(path);
    }

    void ListFolderTree(const std::wstring& folder, bool held) const
    {
        if (!PlainFolderInside(UserData, folder))
            return;
        TPrivacyRecorder::TOwnerScope owner(Context.Collect.Recorder(), Owner(held));
        Context.Collect.ListFolderTree(folder);
    }

    void History(const std::wstring& profile) const
    {
        const TBookmarks bookmarks = ReadChromiumBookmarks(profile);
        const TChromiumJobContext jobContext{&bookmarks, nullptr};
        ListDatabase(profile + L"\\History", profile, TDatabaseJob::ChromiumHistory, kHistoryName, jobContext,
                     [&](const std::vector<int64_t>& n) {
                         return bookmarks.Damaged ? FormatText(Text(kHistoryVisitsText), {Count(n[0])})
                                                  : FormatText(Text(kHistoryPagesText), {Count(n[0]), Count(n[1])});
                     });
        ListDatabase(profile + L"\\Favicons", profile, TDatabaseJob::ChromiumFavicons, kHistoryName, jobContext,
                     [&](const std::vector<int64_t>& n) { return FormatText(Text(kHistoryIconsText), {Count(n[0])}); });
        for (const wchar_t* name : kHistorySideDatabases) {
            const std::wstring path = profile + L"\\" + name;
            if (FileExists(path) && !HasSqliteHeader(path) && std::wstring(name) == L"History Provider Cache") {
                ListFile(path, true);
                continue;
            }
            ListDatabase(path, profile, TDatabaseJob::ChromiumSideTable, kHistoryName, jobContext,
                         [&](const std::vector<int64_t>& n) {
                             return FormatText(Text(kHistoryEntriesText), {Count(n[0])});
                         });
        }
        ListFile(profile + L"\\Visited Links", true);
    }

    void Scan(TCategory category, const std::wstring& profile) const
    {
        const auto one = [&](TPrivacyText line) {
            return [this, line](const std::vector<int64_t>& n) { return FormatText(Text(line), {Count(n[0])}); };
        };
        switch (category) {
        case TCategory::History: History(profile); break;
        case TCategory::Downloads:
            ListDatabase(profile + L"\\History", profile, TDatabaseJob::ChromiumDownloads, kDownloadsName, {},
                         one(kDownloadsText));
            break;
        case TCategory::Cookies: {
            const TChromiumJobContext jobContext{nullptr, &Context.KeepList};
            ListDatabase(ChromiumCookiesPath(profile), profile, TDatabaseJob::ChromiumCookies, kCookiesName, jobContext,
                         [&](const std::vector<int64_t>& n) {
                             return n[1] ? FormatText(Text(kCookiesKeptText), {Count(n[0]), Count(n[1])})
                                         : FormatText(Text(kCookiesText), {Count(n[0])});
                         });
            break;
        }
        case TCategory::Cache:
            for (const wchar_t* name : kProfileCaches)
                ListFolderTree(profile + L"\\" + name, false);
            break;
        case TCategory::Sessions:
            for (const wchar_t* name : kSessionFiles)
                ListFile(profile + L"\\" + name, true);
            ListFolderTree(profile + L"\\Sessions", true);
            break;
        case TCategory::FormData:
            ListDatabase(profile + L"\\Web Data", profile, TDatabaseJob::ChromiumFormData, kFormDataName, {},
                         one(kFormDataText));
            break;
        case TCategory::Passwords:
            ListDatabase(profile + L"\\Login Data", profile, TDatabaseJob::ChromiumPasswords, kPasswordsName, {},
                         one(kPasswordsText));
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
    const std::wstring userData = base + L"\\" + browser->Folder;
    context.ShowSubject(std::wstring(browser->Name) + L": " + userData.substr(0, kSubjectLength));
    if (row->Category == TCategory::Cookies)
        context.NoteIgnoredKeepEntries();
    if (!FolderExists(userData))
        return;

    const TChromiumScan scan{context, *browser, userData, IsProcessRunning(browser->Process)};
    const TWideStrings profiles = browser->SingleProfile ? TWideStrings{L""} : ChromiumProfileNames(userData);
    for (const std::wstring& name : profiles) {
        if (!context.Collect.KeepGoing())
            return;
        const std::wstring profile = name.empty() ? userData : userData + L"\\" + name;
        // A profile that is a link, or lies elsewhere, lists nothing: its files are not this browser's.
        if (name.empty() || PlainFolderInside(userData, profile))
            scan.Scan(row->Category, profile);
    }
    if (row->Category != TCategory::Cache)
        return;
    for (const wchar_t* name : kBrowserCaches)
        scan.ListFolderTree(userData + L"\\" + name, false);
    // Opera keeps its cache in the local twin of its profile folder.
    const std::wstring local = context.Folders.GetUserFolder(kUserLocalAppData);
    if (browser->SingleProfile && !local.empty()) {
        const std::wstring twin = local + L"\\" + browser->Folder;
        if (FolderExists(twin) && !IsLink(twin)) {
            const TChromiumScan localScan{context, *browser, twin, scan.Running};
            localScan.ListFolderTree(twin + L"\\Cache", false);
        }
    }
}
