#pragma once
// How the categories of today's browsers list what they find: a database by what it removes (or why
// it waits), files and folders as belonging to their browser, nothing outside the browser's root.
#include "junk/FolderGuard.h"
#include "privacy/BrowserDatabase.h"
#include "privacy/CategoryContext.h"
#include "privacy/PrivacyItems.h"
#include "privacy/PrivacyTexts.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TBrowserLister {
    TCategoryContext& Context;
    TBrowserOwner Owner; // Root: nothing outside it is listed
    bool Running;        // the browser runs: its databases are not even opened
    // How the folder guard judges the folders listed: a browser's own folders below the application
    // data are walked on purpose; a profile the user placed elsewhere is any folder.
    TWalkRoot Kind = TWalkRoot::Named;

    std::wstring Text(TPrivacyText line) const;
    // A count with the language's digit grouping.
    std::wstring Count(int64_t n) const;
    // "<what> (in use: cleaned once <browser> is closed)"
    std::wstring InUse(TPrivacyText what) const;

    // A database item: what it removes, or why it waits or stays; nothing when it removes nothing.
    void Database(const std::wstring& path, const std::wstring& profile, TDatabaseJob job, TPrivacyText what,
                  const TDatabaseCount& count,
                  const std::function<std::wstring(const std::vector<int64_t>&)>& describe) const;
    // One line format filled with the first count.
    std::function<std::wstring(const std::vector<int64_t>&)> OneCount(TPrivacyText line) const;
    // Files the browser holds while it runs (held) or not (caches).
    void File(const std::wstring& path, bool held) const;
    void FolderTree(const std::wstring& folder, bool held) const;

private:
    // What list() records belongs to the browser.
    void Listed(bool held, const std::function<void()>& list) const;
};

// "Cookies: n cookies", with "(k kept)" when the keep-list keeps some.
std::wstring CookiesLine(const TBrowserLister& list, const std::vector<int64_t>& counts);
