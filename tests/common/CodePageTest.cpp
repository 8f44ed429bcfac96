// UTF-8 output is valid UTF-8 whatever the wide text holds: a lone surrogate becomes U+FFFD.
#include "common/CodePage.h"

#include <gtest/gtest.h>

TEST(CodePage, Utf8ReplacesWhatUtf16CannotSay)
{
    struct TCase {
        std::wstring Wide;
        std::string Utf8;
    };
    const TCase cases[] = {
        {L"plain", "plain"},
        {L"\u00e4\u20ac", "\xC3\xA4\xE2\x82\xAC"},
        {L"\xD83D\xDE00", "\xF0\x9F\x98\x80"},                 // a pair: one character
        {L"a\xD800z", "a\xEF\xBF\xBDz"},                       // a lone high surrogate
        {L"\xDC00\xD800", "\xEF\xBF\xBD\xEF\xBF\xBD"},         // low before high: both alone
        {L"end\xD83D", "end\xEF\xBF\xBD"},                     // cut off at the end
        {std::wstring(L"nul\0in", 6), std::string("nul\0in", 6)},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(WideToUtf8(c.Wide), c.Utf8) << testing::PrintToString(c.Utf8);
    // What comes back is what went in, where it was valid.
    EXPECT_EQ(Utf8ToWide(WideToUtf8(L"\u00e4\xD83D\xDE00")), L"\u00e4\xD83D\xDE00");
}
