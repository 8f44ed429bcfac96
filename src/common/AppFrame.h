#pragma once
// The user's and the all-users folders as the shell and the registry report them.
#include <string>

class TAppFrame {
public:
    TAppFrame();

    // SHGetSpecialFolderPathW without creating the folder; empty when the shell has no answer.
    std::wstring GetSpecialFolder(int csidl) const;
    // kinds 0 to 14: Windows, system, temp, cache, cookies, history, recent, desktop, "Start Menu",
    // "Favorites", "Startup", profile, application data, "Local AppData", "Local Settings"
    std::wstring GetUserFolder(int kind) const;
    // kinds 0 to 4: "Common AppData", "Common Desktop", "Common Programs", "Common Start Menu",
    // "Common Favorites"
    std::wstring GetCommonFolder(int kind) const;

    std::wstring AppDataFolder;       // no trailing backslash
    std::wstring CommonAppDataFolder; // no trailing backslash
    std::wstring ExeFolder;           // with trailing backslash
};

// HKEY_CURRENT_USER / HKEY_LOCAL_MACHINE key of the shell's folder values.
inline constexpr wchar_t kShellFoldersKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
