#pragma once
// The few facts of the machine that the privacy sweeper takes from outside, gathered so that tests can
// replace them: the platform and Windows folder that decide how a file is deleted at the next restart,
// the Windows folder's drive that some applications' traces lie on, and which URL-cache entries the
// scan may look at
// (the cache is shared by every program of the user, so a test confines the scan to its own entries).
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

struct TUrlCacheRecord;

struct TPrivacyPlatform {
    // GetVersionEx's platform id: VER_PLATFORM_WIN32s, VER_PLATFORM_WIN32_WINDOWS or VER_PLATFORM_WIN32_NT.
    std::function<DWORD()> PlatformId;
    std::function<std::wstring()> WindowsFolder;
    std::function<bool(const TUrlCacheRecord& record)> CacheEntryInScope;
    // The bytes free to this user on the drive of a folder (a browser database is compacted only when
    // twice its size is free there).
    std::function<uint64_t(const std::wstring& folder)> FreeBytes;
};

// GetVersionEx, GetWindowsDirectory, the whole cache and GetDiskFreeSpaceEx.
TPrivacyPlatform SystemPrivacyPlatform();
