#pragma once
// Category handlers for the browsers' traces.
#include "privacy/PrivacyCategories.h"

#include <string>

// Positions 1 to 5: typed addresses ("IEUrl"), cookies in the URL cache ("Cookies"), the history
// folder ("History"), the protected-storage key ("AutoFormHistory") and the IntelliForms key
// ("AutoPassHistory").
void ScanInternetExplorer(TCategoryContext& context, const std::wstring& key);

// What a cookie ignore entry is compared with: the source URL after its first "@" (the site and path),
// or the whole URL without one; at most 260 characters.
std::string CookieTail(const std::string& sourceUrl);
