// A run is named by its start time in local time; the name gives the time back for ageing it out.
#include "quarantine/QuarantineRun.h"

#include <gtest/gtest.h>

TEST(RunName, TheStartTimeNamesTheRunAndComesBackFromTheName)
{
    SYSTEMTIME local{2026, 1, 0, 5, 9, 30, 7, 0};
    SYSTEMTIME universal{};
    FILETIME time{};
    ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &local, &universal));
    ASSERT_TRUE(SystemTimeToFileTime(&universal, &time));
    EXPECT_EQ(L"20260105-093007", RunNameOf(time));
    EXPECT_EQ(std::optional<ULONGLONG>(FileTimeValue(time)), RunNameTime(L"20260105-093007"));
    EXPECT_EQ(std::optional<ULONGLONG>(FileTimeValue(time)), RunNameTime(L"20260105-093007-2"));
    EXPECT_EQ(std::optional<ULONGLONG>(FileTimeValue(time)), RunNameTime(L"20260105-093007-1000"));
}

TEST(RunName, AFolderNamedOtherwiseIsNoRun)
{
    for (const wchar_t* name : {L"", L"notes", L"20260105093007", L"20260105-0930", L"20260105-093007-",
                                L"20260105-093007x", L"20260105-093007-2x", L"20261305-093007", L"20260100-093007",
                                L"20260105-243007", L"20260105-096007", L"2026o105-093007", L"20260105-093007-1234567"})
        EXPECT_EQ(std::nullopt, RunNameTime(name)) << testing::PrintToString(std::wstring(name));
}
