#pragma once
// The browsers built on Chromium, where each keeps its profiles, and what their JSON files say:
// which profiles there are ("Local State") and which pages are bookmarked ("Bookmarks").
#include "common/Types.h"

#include <array>
#include <set>
#include <string>

enum class TAppDataBase { Local, Roaming };

struct TChromiumBrowser {
    const wchar_t* Key;     // the first part of its categories' keys ("chrome")
    const wchar_t* Name;    // as the report names it
    TAppDataBase Base;
    const wchar_t* Folder;  // below the base: the user data folder
    const wchar_t* Process; // its executable
    // The user data folder is the one profile (Opera); its cache lies in the local twin of the folder.
    bool SingleProfile;
};

inline constexpr size_t kChromiumBrowserCount = 6;
extern const std::array<TChromiumBrowser, kChromiumBrowserCount> kChromiumBrowsers;

// The profile folder names of a user data folder: every name under "profile.info_cache" in its
// "Local State" that names one folder directly below it; when that file is missing or damaged (or
// names none), "Default" and every "Profile *" folder there.
TWideStrings ChromiumProfileNames(const std::wstring& userData);
// A name that can only mean a folder directly below: no separator, no drive or stream, no dots alone.
bool IsPlainFolderName(const std::wstring& name);

// The bookmarked addresses of a profile (UTF-8, as the databases keep them). A "Bookmarks" file that
// exists but cannot be read whole is Damaged: then nothing may be judged unbookmarked.
struct TBookmarks {
    bool Damaged = false;
    std::set<std::string> Urls;
};
TBookmarks ReadChromiumBookmarks(const std::wstring& profile);
