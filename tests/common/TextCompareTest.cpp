// Names compared the way the file system and the registry compare them.
#include "common/TextCompare.h"

#include <gtest/gtest.h>

namespace {

TEST(TextCompare, SameTextIgnoresCaseOnlyAndComparesTheWholeText)
{
    struct Case {
        std::wstring A, B;
        bool Same;
    } cases[] = {
        {L"desktop.ini", L"DESKTOP.INI", true},
        {L"\u00c4rger", L"\u00e4RGER", true}, // beyond ASCII
        {L"", L"", true},
        {L"abc", L"abcd", false},
        {L"abc", L"ab", false},
        {L"stra\u00dfe", L"strasse", false}, // ordinal: no linguistic equivalence
        {std::wstring(L"a\0b", 3), std::wstring(L"a\0c", 3), false}, // a NUL does not end the text
        {L"file", L"file ", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SameText(c.A, c.B), c.Same) << testing::PrintToString(c.A) << " " << testing::PrintToString(c.B);
}

TEST(TextCompare, StartsAndEndsWithText)
{
    EXPECT_TRUE(StartsWithText(L"RunDll32.exe shell32.dll", L"RUNDLL32.EXE"));
    EXPECT_TRUE(StartsWithText(L"abc", L""));
    EXPECT_FALSE(StartsWithText(L"Run", L"RUNDLL32.EXE"));
    EXPECT_FALSE(StartsWithText(L"xRunDll32.exe", L"rundll32.exe"));
    EXPECT_TRUE(EndsWithText(L"English.LNG", L".lng"));
    EXPECT_FALSE(EndsWithText(L"English.lngx", L".lng"));
    EXPECT_FALSE(EndsWithText(L"ng", L".lng"));
    EXPECT_TRUE(EndsWithText(L"", L""));
}

} // namespace
