#include "support/ShellFolders.h"

#include "common/AppFrame.h"
#include "support/ScratchRegistry.h"

#include <windows.h>

namespace {
const wchar_t kUserShellFoldersKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
}

void SetUserShellFolder(const std::wstring& name, const std::wstring& path)
{
    SetRegString(HKEY_CURRENT_USER, kShellFoldersKey, name, path);
    SetRegString(HKEY_CURRENT_USER, kUserShellFoldersKey, name, path);
}

void SetCommonShellFolder(const std::wstring& name, const std::wstring& path)
{
    SetRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name,
                 path);
    SetRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                 name, path);
}
