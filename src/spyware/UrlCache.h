#pragma once
// Enumeration of the system's URL cache through the 8-bit interface, whose records (source URL,
// local file name) are 8-bit text in the system code page.
#include <windows.h>

#include <string>
#include <vector>

struct TUrlCacheRecord {
    std::string SourceUrl;
    std::string LocalFileName;
    DWORD EntryType = 0;
};

class TUrlCacheEnum {
public:
    TUrlCacheEnum() = default;
    ~TUrlCacheEnum();
    TUrlCacheEnum(const TUrlCacheEnum&) = delete;
    TUrlCacheEnum& operator=(const TUrlCacheEnum&) = delete;

    // The first record on the first call, then the following ones. False when the enumeration has
    // ended: no more entries, or any failure other than a too-small buffer (which is retried with
    // the size the system asks for). LastError() tells which.
    bool Next(TUrlCacheRecord& record);
    DWORD LastError() const { return LastError_; }

private:
    HANDLE Find_ = nullptr;
    bool Started_ = false;
    bool Ended_ = false;
    DWORD LastError_ = ERROR_SUCCESS;
    std::vector<unsigned char> Buffer_;
};

// Removes the cache entry of that source URL (and its local file); false when it is not there.
bool DeleteUrlCacheRecord(const std::wstring& sourceUrl);
