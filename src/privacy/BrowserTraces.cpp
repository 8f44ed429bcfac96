#include "privacy/BrowserTraces.h"

#include "common/AppFrame.h"
#include "common/CodePage.h"
#include "common/UrlCache.h"
#include "privacy/CookieKeepList.h"
#include "privacy/PrivacyCollectors.h"
#include "privacy/PrivacyItems.h"
#include "privacy/PrivacyPlatform.h"
#include "ui/MessagePump.h"

#include <algorithm>

namespace {

const wchar_t kTypedUrlsKey[] = L"\\Software\\Microsoft\\Internet Explorer\\TypedURLs";
const wchar_t kIntelliFormsKey[] = L"\\Software\\Microsoft\\Internet Explorer\\IntelliForms";
const wchar_t kProtectedStorageKey[] = L"\\Software\\Microsoft\\Protected Storage System Provider";

// A category without a folder of its own.
constexpr int kNoFolder = -1;

constexpr size_t kCookieTailLength = 260;

// An entry of the keep-list names the cookie's site and path exactly, or keeps its host.
bool IsIgnoredCookie(const TCategoryContext& context, const TUrlCacheRecord& record)
{
    return context.KeepList.KeepsInternetExplorerCookie(AnsiToWide(CookieTail(record.SourceUrl)));
}

// The cache is walked to its end whatever the stop flag says, as the repair clears the cookies even
// after a stop; the enumeration ends on its own at the last entry or at the first persistent error.
void ListCookieCache(TCategoryContext& context, const std::wstring&)
{
    context.NoteIgnoredKeepEntries();
    TAllUrlCacheEntries cache;
    TUrlCacheRecord record;
    for (;;) {
        ProcessMessages();
        if (!cache.Next(record))
            break;
        if (record.IsCookie() && context.Platform.CacheEntryInScope(record) && !IsIgnoredCookie(context, record))
            context.Collect.Recorder().AddCacheEntry(record);
    }
}

// The history folder's files, and the visited pages of the cache's history containers: the cache
// keeps those in its own files there, which are never listed themselves.
void ListHistory(TCategoryContext& context, const std::wstring& folder)
{
    context.Collect.ListFolderTree(folder, TWalkRoot::Named);
    TUrlCacheEnum cache(kHistoryCachePattern);
    TUrlCacheRecord record;
    while (context.Collect.KeepGoing() && cache.Next(record))
        if (record.IsHistory() && context.Platform.CacheEntryInScope(record))
            context.Collect.Recorder().AddCacheEntry(record);
}

// Only plain string values are typed addresses.
void ListTypedUrls(TCategoryContext& context, const std::wstring&)
{
    context.Collect.ListStringValues(kTypedUrlsKey);
}

void ListIntelliForms(TCategoryContext& context, const std::wstring&)
{
    context.Collect.ListValuesOneLevel(kIntelliFormsKey);
}

void ListProtectedStorage(TCategoryContext& context, const std::wstring&)
{
    context.Collect.ListValuesOneLevel(kProtectedStorageKey);
}

struct TInternetExplorerCategory {
    const wchar_t* Key;
    const wchar_t* Subject; // nullptr: the last component of the category's folder
    int FolderKind;
    void (*List)(TCategoryContext& context, const std::wstring& folder);
};

// Position 4 ("AutoFormHistory") lists the protected-storage key, position 5 the IntelliForms key.
const TInternetExplorerCategory kInternetExplorerCategories[] = {
    {L"IEUrl", L"TypedURLs", kNoFolder, ListTypedUrls},
    {L"Cookies", nullptr, kUserCookies, ListCookieCache},
    {L"History", nullptr, kUserHistory, ListHistory},
    {L"AutoFormHistory", L"Protected Storage System Provider", kNoFolder, ListProtectedStorage},
    {L"AutoPassHistory", L"IntelliForms", kNoFolder, ListIntelliForms},
};

} // namespace

std::string CookieTail(const std::string& sourceUrl)
{
    const size_t at = sourceUrl.find('@');
    return (at == std::string::npos ? sourceUrl : sourceUrl.substr(at + 1)).substr(0, kCookieTailLength);
}

void ScanInternetExplorer(TCategoryContext& context, const std::wstring& key)
{
    for (const TInternetExplorerCategory& category : kInternetExplorerCategories) {
        if (key != category.Key)
            continue;
        const std::wstring folder =
            category.FolderKind == kNoFolder ? std::wstring() : context.Folders.GetUserFolder(category.FolderKind);
        context.ShowSubject(category.Subject ? std::wstring(category.Subject) : LastPathComponent(folder));
        category.List(context, folder);
    }
}
