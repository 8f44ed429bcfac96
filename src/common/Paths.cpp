#include "common/Paths.h"

#include "common/GrowingBuffer.h"
#include "common/SystemFolders.h"
#include "common/TextCompare.h"

#include <windows.h>
#include <shlobj.h>

std::wstring ShellFolder(int csidl)
{
    // The shell answers these with at most MAX_PATH characters by contract.
    wchar_t buffer[MAX_PATH + 1] = {};
    return SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE) ? std::wstring(buffer) : std::wstring();
}

std::wstring WithBackslash(std::wstring path)
{
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    return path;
}

std::wstring ParentFolder(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

bool IsFullyQualifiedPath(const std::wstring& path)
{
    const auto letter = [](wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); };
    if (path.size() >= 3 && letter(path[0]) && path[1] == L':' && path[2] == L'\\')
        return true;
    if (path.rfind(L"\\\\", 0) != 0 || path.rfind(L"\\\\?\\", 0) == 0 || path.rfind(L"\\\\.\\", 0) == 0)
        return false;
    const size_t serverEnd = path.find(L'\\', 2);
    if (serverEnd == std::wstring::npos || serverEnd == 2)
        return false;
    const size_t shareEnd = path.find(L'\\', serverEnd + 1);
    return shareEnd != std::wstring::npos && shareEnd > serverEnd + 1;
}

void ReplaceAll(std::wstring& text, const std::wstring& what, const std::wstring& with)
{
    if (what.empty())
        return;
    for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

std::wstring SystemDriveRoot()
{
    return SystemFolder().substr(0, 3);
}

bool PathIsAtOrBelow(const std::wstring& path, const std::wstring& folder)
{
    std::wstring base = folder;
    while (!base.empty() && base.back() == L'\\')
        base.pop_back();
    if (base.empty() || path.size() < base.size())
        return false;
    if (!StartsWithText(path, base))
        return false;
    return path.size() == base.size() || path[base.size()] == L'\\';
}

std::wstring PathWithinMaxPath(const std::wstring& path)
{
    if (path.size() < MAX_PATH || path.compare(0, 4, L"\\\\?\\") == 0)
        return path;
    const std::wstring shortPath =
        AskWithGrowingBuffer([&](wchar_t* buffer, DWORD size) { return GetShortPathNameW(path.c_str(), buffer, size); });
    if (!shortPath.empty() && shortPath.size() < MAX_PATH)
        return shortPath;
    return LongPathForm(path);
}

std::wstring LongPathForm(const std::wstring& path)
{
    if (path.size() < MAX_PATH || path.compare(0, 4, L"\\\\?\\") == 0)
        return path;
    if (path.size() > 2 && path[1] == L':' && path[2] == L'\\')
        return L"\\\\?\\" + path;
    if (path.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + path.substr(2);
    return path;
}

std::wstring SystemFolder32()
{
    return AskWithGrowingBuffer([](wchar_t* buffer, DWORD size) { return GetSystemWow64DirectoryW(buffer, size); });
}

std::wstring ProgramFilesFolder32()
{
    const std::wstring x86 = ShellFolder(CSIDL_PROGRAM_FILESX86);
    // A 32-bit system answers with the one Program Files folder: there is no twin then.
    return x86 == ShellFolder(CSIDL_PROGRAM_FILES) ? std::wstring() : x86;
}

T32BitFolders::T32BitFolders()
{
    // In the order they are tried: Common Files lies inside Program Files.
    const TRedirect redirects[] = {
        {SystemFolder(), SystemFolder32()},
        {ShellFolder(CSIDL_PROGRAM_FILES_COMMON), ShellFolder(CSIDL_PROGRAM_FILES_COMMONX86)},
        {ShellFolder(CSIDL_PROGRAM_FILES), ProgramFilesFolder32()},
    };
    for (const TRedirect& redirect : redirects) {
        if (redirect.Native.empty() || redirect.Wow.empty() ||
            SameText(redirect.Native, redirect.Wow))
            continue;
        TRedirect kept = redirect;
        while (!kept.Native.empty() && kept.Native.back() == L'\\')
            kept.Native.pop_back();
        Redirects_.push_back(std::move(kept));
    }
}

std::wstring T32BitFolders::Map(const std::wstring& path) const
{
    for (const TRedirect& redirect : Redirects_)
        if (PathIsAtOrBelow(path, redirect.Native))
            return redirect.Wow + path.substr(redirect.Native.size());
    return path;
}

std::wstring PathFor32BitView(const std::wstring& path)
{
    return T32BitFolders().Map(path);
}

bool CreateFolderChain(const std::wstring& folder)
{
    if (folder.empty() || GetFileAttributesW(PathWithinMaxPath(folder).c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    const size_t slash = folder.find_last_of(L'\\');
    if (slash != std::wstring::npos && slash > 2 && !CreateFolderChain(folder.substr(0, slash)))
        return false;
    return CreateDirectoryW(PathWithinMaxPath(folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}
