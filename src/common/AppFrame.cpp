#include "common/AppFrame.h"

#include "common/CodePage.h"
#include "common/Exception.h"
#include "common/Paths.h"
#include "common/Registry.h"
#include "common/SystemFolders.h"

#include <windows.h>
#include <shlobj.h>

namespace {

const wchar_t* const kUserValues[] = {
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    L"Start Menu", L"Favorites", L"Startup", L"Cookies", nullptr, L"Local AppData", L"Local Settings",
};

const wchar_t* const kCommonValues[] = {
    L"Common AppData", L"Common Desktop", L"Common Programs", L"Common Start Menu", L"Common Favorites",
};

static_assert(std::size(kUserValues) == kUserLocalSettings + 1 && std::size(kCommonValues) == kCommonFavorites + 1);

// The shell-folder values are read as strings, unexpanded; a value of another type is the registry
// wrapper's data-type error.
std::wstring ReadFolderValue(const TRegKey& key, const wchar_t* name)
{
    std::wstring value;
    if (key.ReadString(name, value) == ERROR_INVALID_DATATYPE)
        throw Exception("Invalid data type for '" + WideToAnsi(name) + "'");
    return value;
}

std::wstring ExecutableFolder()
{
    const std::wstring path = ProgramFileName();
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

} // namespace

TAppFrame::TAppFrame()
    : AppDataFolder(GetSpecialFolder(CSIDL_APPDATA)),
      CommonAppDataFolder(GetSpecialFolder(CSIDL_COMMON_APPDATA)),
      ExeFolder(ExecutableFolder())
{
}

std::wstring TAppFrame::GetSpecialFolder(int csidl) const
{
    return ShellFolder(csidl);
}

std::wstring TAppFrame::GetUserFolder(int kind) const
{
    switch (kind) {
    case kUserWindows: return WindowsFolder();
    case kUserSystem: return SystemFolder();
    case kUserTemp: return TempFolder();
    case kUserCache: return GetSpecialFolder(CSIDL_INTERNET_CACHE);
    case kUserCookies: return GetSpecialFolder(CSIDL_COOKIES);
    case kUserHistory: return GetSpecialFolder(CSIDL_HISTORY);
    case kUserRecent: return GetSpecialFolder(CSIDL_RECENT);
    case kUserDesktop: return GetSpecialFolder(CSIDL_DESKTOP);
    case kUserAppData: return GetSpecialFolder(CSIDL_APPDATA);
    default: break;
    }
    if (kind < 0 || kind >= static_cast<int>(std::size(kUserValues)) || !kUserValues[kind])
        return {};
    // Read only, never created: a standard user (and BrisfoldCmd.exe as invoked) may only read it.
    TRegKey key;
    if (key.Open(HKEY_CURRENT_USER, kShellFoldersKey, KEY_READ) != ERROR_SUCCESS)
        return {};
    const std::wstring value = ReadFolderValue(key, kUserValues[kind]);
    if (kind != kUserProfile)
        return value;
    // The profile folder: the cookies folder cut after the first occurrence of the user's name.
    const std::wstring user = UserName();
    const size_t at = user.empty() ? std::wstring::npos : value.find(user);
    return at == std::wstring::npos ? std::wstring() : value.substr(0, at + user.size());
}

std::wstring TAppFrame::GetCommonFolder(int kind) const
{
    if (kind < 0 || kind >= static_cast<int>(std::size(kCommonValues)))
        return {};
    // Read only, never created: full access to the machine's key is refused to a standard user.
    TRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kShellFoldersKey, KEY_READ) != ERROR_SUCCESS)
        return {};
    return ReadFolderValue(key, kCommonValues[kind]);
}
