#pragma once
// Real entries of the system's URL cache for tests. The cache cannot be redirected and is shared by every
// program of the prefix, so each test names its entries uniquely; an entry is removed again on destruction.
#include <windows.h>
#include <wininet.h>

#include <string>

class TestCacheEntry {
public:
    // type COOKIE_CACHE_ENTRY or NORMAL_CACHE_ENTRY; the local file gets content as its bytes and the
    // extension given. A left-over entry of the same URL is removed first.
    TestCacheEntry(const std::string& url, DWORD type, const std::string& content = "id\n1234\n",
                   const std::string& extension = "txt");
    ~TestCacheEntry();
    TestCacheEntry(const TestCacheEntry&) = delete;
    TestCacheEntry& operator=(const TestCacheEntry&) = delete;

    const std::string& Url() const { return Url_; }
    const std::string& LocalFile() const { return Local_; }
    bool Exists() const;

private:
    void Plant(DWORD type, const std::string& content, const std::string& extension);
    std::string Url_;
    std::string Local_;
};

// A text unique to this test program's run, for URLs that nothing else in the cache carries.
std::string UniqueCacheTag();
