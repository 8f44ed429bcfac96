#include "privacy/PrivacyPlatform.h"

#include "common/SystemFolders.h"

namespace {

DWORD SystemPlatformId()
{
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    // A failed query says nothing about the platform; the NT family is what every supported system is.
    if (!GetVersionExW(&info))
        return VER_PLATFORM_WIN32_NT;
#pragma GCC diagnostic pop
    return info.dwPlatformId;
}

} // namespace

TPrivacyPlatform SystemPrivacyPlatform()
{
    return {
        .PlatformId = SystemPlatformId,
        .WindowsFolder = [] { return WindowsFolder(); },
        .CacheEntryInScope = [](const TUrlCacheRecord&) { return true; },
    };
}
