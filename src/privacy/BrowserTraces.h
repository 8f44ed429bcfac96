#pragma once
// Category handlers for the browsers' traces: Internet Explorer, Firefox and Opera.
#include "privacy/CategoryContext.h"

#include <string>

// Positions 1 to 5: typed addresses ("IEUrl"), cookies in the URL cache ("Cookies"), the history
// folder and the visited pages in the URL cache ("History"), the protected-storage key
// ("AutoFormHistory") and the IntelliForms key ("AutoPassHistory").
void ScanInternetExplorer(TCategoryContext& context, const std::wstring& key);

// Positions 6 to 10, in the first Firefox profile (profiles.ini): cookies.txt ("Cookie"),
// downloads.rdf ("Download History"), history.dat ("History"), formhistory.dat ("Saved Form") and the
// cache folder, one level deep ("Cache"). While Firefox runs, its history, form and cache files are
// left alone; whether it runs is asked afresh for each category.
void ScanFirefox(TCategoryContext& context, const std::wstring& key);
// True for a path that Firefox holds while it runs: one with "Mozilla\Firefox" in it that names none
// of the category files it lets go meanwhile (cookies.txt, downloads.rdf). Only the text is looked at.
bool HeldByFirefox(const std::wstring& path);

// Positions 11 to 13, in the Opera profile: cookies4.dat ("Cookie"), the history and session files
// ("History") and the cache folder at all depths ("Cache").
void ScanOpera(TCategoryContext& context, const std::wstring& key);
// The Opera base folder: the entry of application data's "Opera" folder that the listing returns last
// (whatever it is); empty when there is none.
std::wstring FindOperaFolder(const std::wstring& appData);

// What a cookie ignore entry is compared with: the source URL after its first "@" (the site and path),
// or the whole URL without one; at most 260 characters.
std::string CookieTail(const std::string& sourceUrl);
