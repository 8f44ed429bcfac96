#include "privacy/PrivacyPlatform.h"

#include "common/SystemFolders.h"

namespace {

DWORD SystemPlatformId()
{
    OSVERSIONINFOW info;
    // A failed query says nothing about the platform; the NT family is what every supported system is.
    if (!SystemVersion(info))
        return VER_PLATFORM_WIN32_NT;
    return info.dwPlatformId;
}

} // namespace

TPrivacyPlatform SystemPrivacyPlatform()
{
    return {
        .PlatformId = SystemPlatformId,
        .WindowsFolder = [] { return WindowsFolder(); },
        .CacheEntryInScope = [](const TUrlCacheRecord&) { return true; },
        .FreeBytes =
            [](const std::wstring& folder) {
                ULARGE_INTEGER available{};
                return GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr) ? available.QuadPart : 0ull;
            },
    };
}
