#pragma once
// The user's and the all-users folders as the shell and the registry report them.
#include <string>

// The kinds of TAppFrame::GetUserFolder. Unscoped, as a kind is the plain number the callers pass.
// The shell answers the first eight and application data; the user's shell-folder values the others.
enum TUserFolderKind : int {
    kUserWindows,
    kUserSystem,
    kUserTemp,
    kUserCache,
    kUserCookies,
    kUserHistory,
    kUserRecent,
    kUserDesktop,
    kUserStartMenu,     // "Start Menu"
    kUserFavorites,     // "Favorites"
    kUserStartup,       // "Startup"
    kUserProfile,       // "Cookies", cut after the user's name
    kUserAppData,
    kUserLocalAppData,  // "Local AppData"
    kUserLocalSettings, // "Local Settings"
};

// The kinds of TAppFrame::GetCommonFolder: the all-users shell-folder values "Common AppData",
// "Common Desktop", "Common Programs", "Common Start Menu" and "Common Favorites".
enum TCommonFolderKind : int {
    kCommonAppData,
    kCommonDesktop,
    kCommonPrograms,
    kCommonStartMenu,
    kCommonFavorites,
};

class TAppFrame {
public:
    TAppFrame();

    // SHGetSpecialFolderPathW without creating the folder; empty when the shell has no answer.
    std::wstring GetSpecialFolder(int csidl) const;
    // A TUserFolderKind; empty for any other number.
    std::wstring GetUserFolder(int kind) const;
    // A TCommonFolderKind (the "Common ..." shell-folder values); empty for any other number.
    std::wstring GetCommonFolder(int kind) const;

    std::wstring AppDataFolder;       // no trailing backslash
    std::wstring CommonAppDataFolder; // no trailing backslash
    std::wstring ExeFolder;           // with trailing backslash
};

// HKEY_CURRENT_USER / HKEY_LOCAL_MACHINE key of the shell's folder values.
inline constexpr wchar_t kShellFoldersKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
