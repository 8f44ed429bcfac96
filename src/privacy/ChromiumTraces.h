#pragma once
// The category handler of the browsers built on Chromium (Chrome, Edge, Brave, Vivaldi, Opera and
// Opera GX): history, download history, cookies, cache, sessions, form data and saved passwords of
// every profile. Bookmarks, Local State (it holds the key to the passwords and cookies), Preferences,
// extension storage and the tables of other categories are never touched.
#include "privacy/CategoryContext.h"

#include <string>

// key: the browser's key, "." and the category's ("chrome.history", "edge.cookies", ...).
void ScanChromium(TCategoryContext& context, const std::wstring& key);

// The Cookie databases' place: "Network\Cookies" in a profile, "Cookies" in older versions.
std::wstring ChromiumCookiesPath(const std::wstring& profile);
