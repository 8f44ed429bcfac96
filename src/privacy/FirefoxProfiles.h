#pragma once
// Today's Firefox profiles: every [Profile*] section of profiles.ini (the classic place below the
// roaming application data, and the Microsoft Store build's place below the local one), the
// installations' default profiles (installs.ini) first. A path read from these files is hostile until
// proved: a relative one must stay inside the Firefox folder; an absolute one (a real Firefox feature)
// must be a profile folder (prefs.js or times.json) and no link. Every profile then passes the folder
// guard where it is scanned, with its refusal in the report.
#include <string>
#include <vector>

struct TFirefoxProfile {
    std::wstring Folder;    // the profile: databases, sessions, saved logins
    std::wstring Root;      // nothing of the profile is touched outside it
    std::wstring Local;     // where its cache lies (the local twin; the profile itself when absolute)
    std::wstring LocalRoot; // the root of the local twin
    bool Default = false;   // an installation's default profile
    bool Absolute = false;  // placed by the user, outside the Firefox folder
};

// The Firefox folders that may hold profiles.ini: the classic one and the Store build's.
struct TFirefoxPlace {
    std::wstring Roaming; // holds profiles.ini, installs.ini and the relative profiles
    std::wstring Local;   // holds their local twins
};
std::vector<TFirefoxPlace> FirefoxPlaces(const std::wstring& appData, const std::wstring& localAppData);

// The profiles of one place, defaults first, then in the file's order.
std::vector<TFirefoxProfile> FirefoxProfiles(const TFirefoxPlace& place);

// One section of an INI file as Firefox writes them.
struct TIniSection {
    std::wstring Name;
    std::vector<std::pair<std::wstring, std::wstring>> Entries;
    bool Duplicated = false; // the name (or one of its keys) came twice: nothing in it can be trusted
};
// Parses a whole INI file (UTF-8, at most 1 MiB); false when the file is missing or damaged (not
// text, too large).
bool ReadFirefoxIni(const std::wstring& path, std::vector<TIniSection>& sections);
