// The URL cache as the scanners enumerate it: the cookie container on its own as well, merged by URL.
#include "common/UrlCache.h"
#include "support/UrlCacheEntries.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

int Count(const std::string& url, const std::function<bool(TUrlCacheRecord&)>& next)
{
    int count = 0;
    TUrlCacheRecord record;
    while (next(record))
        count += record.SourceUrl == url;
    return count;
}

} // namespace

TEST(UrlCache, TheCookieContainerIsEnumeratedOnItsOwnAndMergedOnce)
{
    // Windows 10 and later enumerate only the content container without a pattern: the cookies are
    // found through "Cookie:".
    const TestCacheEntry cookie("Cookie:tester@merge" + UniqueCacheTag() + ".trackerhub.test/", COOKIE_CACHE_ENTRY);
    ASSERT_TRUE(cookie.Exists());
    TUrlCacheEnum cookies("Cookie:");
    EXPECT_EQ(1, Count(cookie.Url(), [&](TUrlCacheRecord& record) { return cookies.Next(record); }));
    TAllUrlCacheEntries all;
    EXPECT_EQ(1, Count(cookie.Url(), [&](TUrlCacheRecord& record) { return all.Next(record); }));
}
