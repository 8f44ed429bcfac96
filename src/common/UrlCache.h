#pragma once
// Enumeration of the system's URL cache through the 8-bit interface, whose records (source URL,
// local file name) are 8-bit text in the system code page.
#include "common/RepairOutcome.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

struct TUrlCacheRecord {
    std::string SourceUrl;
    std::string LocalFileName;
    DWORD EntryType = 0;
    uint64_t Size = 0;

    bool IsCookie() const { return (EntryType & 0x00100000) != 0; }  // COOKIE_CACHE_ENTRY
    bool IsHistory() const { return (EntryType & 0x00200000) != 0; } // URLHISTORY_CACHE_ENTRY
};

// The search pattern of the history containers' entries (the visited pages).
inline constexpr char kHistoryCachePattern[] = "Visited:";

class TUrlCacheEnum {
public:
    // Every entry the system enumerates without a pattern (the content container on Windows 10 and
    // later).
    TUrlCacheEnum() = default;
    // Only the entries of the container whose prefix the pattern names ("Visited:", "Cookie:"; Wine
    // matches it with case).
    explicit TUrlCacheEnum(std::string pattern) : Pattern_(std::move(pattern)) {}
    ~TUrlCacheEnum();
    TUrlCacheEnum(const TUrlCacheEnum&) = delete;
    TUrlCacheEnum& operator=(const TUrlCacheEnum&) = delete;

    // The first record on the first call, then the following ones. False when the enumeration has
    // ended: no more entries, or any failure other than a too-small buffer (which is retried with
    // the size the system asks for).
    bool Next(TUrlCacheRecord& record);

private:
    std::string Pattern_;
    HANDLE Find_ = nullptr;
    bool Started_ = false;
    bool Ended_ = false;
    std::vector<unsigned char> Buffer_;
};

// Every entry of the cache, each URL once. Windows 10 and later enumerate only the content container
// when no pattern is given: the cookie container is enumerated on its own ("Cookie:") and merged.
class TAllUrlCacheEntries {
public:
    bool Next(TUrlCacheRecord& record);

private:
    TUrlCacheEnum Plain_;
    TUrlCacheEnum Cookies_{kCookiePattern};
    bool PlainEnded_ = false;
    std::unordered_set<std::string> Seen_;
    static constexpr char kCookiePattern[] = "Cookie:";
};

// The folders of the cache's containers (content, cookies, history), as the cache names them. The
// cache keeps its own files there (an index per container); the first enumeration creates them.
std::vector<std::wstring> UrlCacheContainerFolders();

// Removes the cache entry of that source URL (and its local file). The 8-bit form takes the URL exactly
// as the enumeration returned it, which a URL outside the code page needs to be found again.
[[nodiscard]] TOutcome DeleteUrlCacheRecord(const std::string& sourceUrl);
[[nodiscard]] TOutcome DeleteUrlCacheRecord(const std::wstring& sourceUrl);
