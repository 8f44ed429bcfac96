#include "common/UrlCache.h"

#define SECURITY_WIN32 // winineti.h includes the security headers, which ask for one
#include <wininet.h>
#include <winineti.h>

TUrlCacheEnum::~TUrlCacheEnum()
{
    if (Find_)
        FindCloseUrlCache(Find_);
}

bool TUrlCacheEnum::Next(TUrlCacheRecord& record)
{
    if (Ended_)
        return false;
    // The size first, then the entry into a buffer of that size. A grown entry can ask for more
    // again; a few rounds are enough, after that the enumeration is given up.
    DWORD size = 0;
    bool ok = false;
    for (int attempt = 0; attempt < 4 && !ok; ++attempt) {
        if (Buffer_.size() < size)
            Buffer_.resize(size);
        size = static_cast<DWORD>(Buffer_.size());
        auto* info = Buffer_.empty() ? nullptr : reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(Buffer_.data());
        SetLastError(ERROR_SUCCESS);
        if (!Started_) {
            HANDLE find = FindFirstUrlCacheEntryA(Pattern_.empty() ? nullptr : Pattern_.c_str(), info, &size);
            if (find) {
                Find_ = find;
                Started_ = true;
                ok = true;
            }
        } else {
            ok = FindNextUrlCacheEntryA(Find_, info, &size) != FALSE;
        }
        if (!ok) {
            if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= Buffer_.size())
                break;
        }
    }
    if (!ok) {
        // No more entries, an invalid name or parameter, or any other failure: each would only
        // repeat on the next call, so the enumeration ends here.
        Ended_ = true;
        return false;
    }
    const auto* info = reinterpret_cast<const INTERNET_CACHE_ENTRY_INFOA*>(Buffer_.data());
    record.SourceUrl = info->lpszSourceUrlName ? info->lpszSourceUrlName : "";
    record.LocalFileName = info->lpszLocalFileName ? info->lpszLocalFileName : "";
    record.EntryType = info->CacheEntryType;
    record.Size = (static_cast<uint64_t>(info->dwSizeHigh) << 32) | info->dwSizeLow;
    return true;
}

bool TAllUrlCacheEntries::Next(TUrlCacheRecord& record)
{
    if (!PlainEnded_) {
        if (Plain_.Next(record)) {
            Seen_.insert(record.SourceUrl);
            return true;
        }
        PlainEnded_ = true;
    }
    while (Cookies_.Next(record))
        if (Seen_.insert(record.SourceUrl).second)
            return true;
    return false;
}

namespace {

TOutcome DeleteOutcome(BOOL deleted)
{
    if (deleted)
        return TOutcome::Removed;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND)
        return TOutcome::AlreadyGone;
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? TOutcome::InUse : TOutcome::Failed;
}

} // namespace

TOutcome DeleteUrlCacheRecord(const std::string& sourceUrl)
{
    return DeleteOutcome(DeleteUrlCacheEntryA(sourceUrl.c_str()));
}

TOutcome DeleteUrlCacheRecord(const std::wstring& sourceUrl)
{
    return DeleteOutcome(DeleteUrlCacheEntryW(sourceUrl.c_str()));
}

std::vector<std::wstring> UrlCacheContainerFolders()
{
    std::vector<std::wstring> folders;
    for (const DWORD which : {CACHE_CONFIG_CONTENT_PATHS_FC, CACHE_CONFIG_COOKIES_PATHS_FC, CACHE_CONFIG_HISTORY_PATHS_FC}) {
        INTERNET_CACHE_CONFIG_INFOW info{};
        info.dwStructSize = sizeof info;
        DWORD size = sizeof info;
        if (GetUrlCacheConfigInfoW(&info, &size, which) && info.CachePath[0] != 0)
            folders.emplace_back(info.CachePath);
    }
    return folders;
}
