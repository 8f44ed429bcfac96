#include "privacy/BrowserCleaning.h"

#include "privacy/ChromiumDatabases.h"
#include "privacy/ChromiumProfiles.h"
#include "privacy/FirefoxDatabases.h"
#include "privacy/PrivacyItems.h"

#include <sqlite3.h>

TDatabaseCleaning CleanBrowserDatabase(const TPrivacyItem& item, const TCookieKeepList& keepList,
                                       const TPrivacyPlatform& platform)
{
    switch (item.Job) {
    case TDatabaseJob::FirefoxHistory:
        // The icons of the pages removed go in the same transaction, with favicons.sqlite attached.
        return CleanDatabase(item.File, [&](TSqliteDatabase& db) { return CleanFirefoxJob(item.Job, db, &keepList); },
                             platform, {{kFaviconsSchema, item.Profile + L"\\favicons.sqlite"}});
    case TDatabaseJob::FirefoxCookies:
    case TDatabaseJob::FirefoxFormHistory:
    case TDatabaseJob::FirefoxLogins:
        return CleanDatabase(item.File, [&](TSqliteDatabase& db) { return CleanFirefoxJob(item.Job, db, &keepList); },
                             platform);
    default: break;
    }
    // The bookmarks are read again now: a page bookmarked since the scan stays.
    TBookmarks bookmarks;
    const bool needsBookmarks = item.Job == TDatabaseJob::ChromiumHistory || item.Job == TDatabaseJob::ChromiumFavicons;
    if (needsBookmarks)
        bookmarks = ReadChromiumBookmarks(item.Profile);
    const TChromiumJobContext context{&bookmarks, &keepList};
    return CleanDatabase(item.File, [&](TSqliteDatabase& db) { return CleanChromiumJob(item.Job, db, context); },
                         platform);
}
