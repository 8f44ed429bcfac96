#pragma once
// The repair of a browser database item: the cleaning of its category, under the rules of every
// browser database (see BrowserDatabase.h).
#include "privacy/BrowserDatabase.h"

class TCookieKeepList;
struct TPrivacyItem;
struct TPrivacyPlatform;

TDatabaseCleaning CleanBrowserDatabase(const TPrivacyItem& item, const TCookieKeepList& keepList,
                                       const TPrivacyPlatform& platform);
