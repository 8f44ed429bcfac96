#include "support/UrlCacheEntries.h"

#include "support/ScratchFolder.h"

#include "common/CodePage.h"

#include <wininet.h>

#include <gtest/gtest.h>

TestCacheEntry::TestCacheEntry(const std::string& url, DWORD type, const std::string& content,
                               const std::string& extension)
    : Url_(url)
{
    Plant(type, content, extension);
}

void TestCacheEntry::Plant(DWORD type, const std::string& content, const std::string& extension)
{
    DeleteUrlCacheEntryA(Url_.c_str()); // what a crashed earlier run may have left
    char local[MAX_PATH] = {};
    SetLastError(0xdeadbeef);
    ASSERT_TRUE(CreateUrlCacheEntryA(Url_.c_str(), 0, extension.c_str(), local, 0))
        << Url_ << ", error " << GetLastError();
    Local_ = local;
    HANDLE file = CreateFileA(local, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << local << ", error " << GetLastError();
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    FILETIME never = {};
    SetLastError(0xdeadbeef);
    ASSERT_TRUE(CommitUrlCacheEntryA(Url_.c_str(), local, never, never, type, nullptr, 0, extension.c_str(), nullptr))
        << Url_ << ", error " << GetLastError();
}

TestCacheEntry::~TestCacheEntry() { DeleteUrlCacheEntryA(Url_.c_str()); }

bool TestCacheEntry::Exists() const
{
    DWORD size = 0;
    if (GetUrlCacheEntryInfoA(Url_.c_str(), nullptr, &size))
        return true;
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

std::string UniqueCacheTag()
{
    return WideToAnsi(TestProgramName()) + "-" + std::to_string(GetCurrentProcessId());
}
