#include "DemoSupport.h"

#include "common/CodePage.h"
#include "common/Handles.h"
#include "common/UrlCache.h"

#include <wininet.h>

#include <cstdio>

void Report(const char* what, const std::wstring& item, bool ok)
{
    std::printf("%s %-7s %s\n", ok ? "  " : "!!", what, WideToUtf8(item).c_str());
}

bool MakeFolders(const std::wstring& folder)
{
    // From the first folder below the drive's root; the folders that exist already refuse quietly.
    for (size_t slash = folder.find(L'\\', 3);; slash = folder.find(L'\\', slash + 1)) {
        CreateDirectoryW(folder.substr(0, slash).c_str(), nullptr);
        if (slash == std::wstring::npos)
            break;
    }
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeParentFolders(const std::wstring& path)
{
    return MakeFolders(path.substr(0, path.find_last_of(L'\\')));
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    const THandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE;
}

bool PlantUrlCacheEntry(const std::string& url, DWORD type, const std::string& content)
{
    // Whether an earlier entry was there or not, the new one replaces it.
    (void)DeleteUrlCacheRecord(url);
    char local[MAX_PATH] = {};
    if (!CreateUrlCacheEntryA(url.c_str(), 0, "txt", local, 0))
        return false;
    // An entry whose content could not be written is still committed, and listed like any other.
    (void)WriteWholeFile(AnsiToWide(local), content);
    FILETIME never = {};
    return CommitUrlCacheEntryA(url.c_str(), local, never, never, type, nullptr, 0, "txt", nullptr) != FALSE;
}
