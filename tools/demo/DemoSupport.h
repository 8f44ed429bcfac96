#pragma once
// What the demo planters share: their report line, folders, small files and URL-cache entries.
#include <windows.h>

#include <string>

// One line of a planter's report: "  " or "!!", what was planted or removed, and the item in UTF-8.
void Report(const char* what, const std::wstring& item, bool ok);

// Makes the folder ("C:\...") and each missing folder above it; true when it is a folder afterwards.
bool MakeFolders(const std::wstring& folder);
// Makes the folders above a file's path.
bool MakeParentFolders(const std::wstring& path);

// Creates or replaces the file with these bytes; true when it was created and the write succeeded.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);

// Puts an entry of that type (COOKIE_CACHE_ENTRY, NORMAL_CACHE_ENTRY) for the URL into the system's URL
// cache, replacing one an earlier plant left; its local file holds content. True when it was committed.
bool PlantUrlCacheEntry(const std::string& url, DWORD type, const std::string& content);
