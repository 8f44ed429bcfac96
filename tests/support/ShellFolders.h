#pragma once
// Points the user's shell folders at scratch folders. Needs a ScratchRegistry: the values are written
// into the redirected HKEY_CURRENT_USER (both "Shell Folders" and "User Shell Folders", which the
// shell reads) and, for the all-users folders, into the redirected HKEY_LOCAL_MACHINE.
#include <string>

// name is the registry value name, e.g. "AppData", "Cache", "Cookies", "History", "Recent",
// "Desktop", "Start Menu", "Favorites", "Startup", "Local AppData", "Local Settings".
void SetUserShellFolder(const std::wstring& name, const std::wstring& path);
// name e.g. "Common AppData", "Common Desktop", "Common Programs", "Common Start Menu", "Common Favorites".
void SetCommonShellFolder(const std::wstring& name, const std::wstring& path);
