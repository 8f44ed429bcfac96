#include "common/AppFrame.h"
#include "common/Compiler.h"
#include "common/Exception.h"
#include "common/FormatText.h"
#include "common/Kelvor_Routine.h"
#include "common/SystemFolders.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

std::wstring Decimal(const std::wstring& text)
{
    wchar_t separator[8] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    std::wstring result = text;
    for (size_t at = result.find(L'.'); at != std::wstring::npos; at = result.find(L'.', at + 1))
        result.replace(at, 1, separator);
    return result;
}

struct SizeCase {
    int64_t Bytes;
    const wchar_t* Plain;
    const wchar_t* Zero;
};

const SizeCase kSizes[] = {
    {0, L"0 bytes", L"0 bytes"},
    {-5, L"-5 bytes", L"0 bytes"},
    {512, L"512 bytes", L"0 bytes"},
    {1023, L"1023 bytes", L"0 bytes"},
    {1024, L"1.00 KB", L"1.00 KB"},
    {1536, L"1.50 KB", L"1.50 KB"},
    {1048575, L"1024.00 KB", L"1024.00 KB"},
    {1048576, L"1.00 MB", L"1.00 MB"},
    {5 * 1048576, L"5.00 MB", L"5.00 MB"},
    {1073741823, L"1024.00 MB", L"1024.00 MB"},
    {1073741824, L"1.00 GB", L"1.00 GB"},
    // Beyond the 32-bit range: a total of several GiB must not wrap.
    {int64_t{3} * 1073741824 + 536870912, L"3.50 GB", L"3.50 GB"},
};

} // namespace

TEST(SizeTexts, BoundariesOfBothVariants)
{
    for (const SizeCase& c : kSizes) {
        SCOPED_TRACE(c.Bytes);
        EXPECT_EQ(Decimal(c.Plain), FormatSize(c.Bytes));
        EXPECT_EQ(Decimal(c.Zero), FormatSizeZero(c.Bytes));
    }
}

TEST(TextSplitters, CharacterAndCountForms)
{
    EXPECT_EQ(L"c", TextAfterLast(L"a=b=c", 255, L'='));
    EXPECT_EQ(L"a=b", TextBeforeLast(L"a=b=c", 255, L'='));
    EXPECT_EQ(L"abc", TextAfterLast(L"abc", 255, L'='));
    EXPECT_EQ(L"", TextBeforeLast(L"abc", 255, L'='));
    EXPECT_EQ(L"", TextAfterLast(L"abc=", 255, L'='));
    EXPECT_EQ(L"cde", TextAfterLast(L"abcde", 3, L'\0'));
    EXPECT_EQ(L"abc", TextBeforeLast(L"abcde", 3, L'\0'));
    EXPECT_EQ(L"ab", TextAfterLast(L"ab", 255, L'\0'));
    EXPECT_EQ(L"ab", TextBeforeLast(L"ab", 255, L'\0'));
}

TEST(FormatText, FillsIntegersTextsWidthsAndPercent)
{
    EXPECT_EQ(L"3 problems found", FormatText(L"%d problems found", {int64_t{3}}));
    EXPECT_EQ(L"1.50 KB of junk, 100%", FormatText(L"%s of junk, 100%%", {std::wstring(L"1.50 KB")}));
    EXPECT_EQ(L"[   -3] 100% done", FormatText(L"[%5d] 100%% done", {int64_t{-3}}));
    EXPECT_EQ(L"007", FormatText(L"%.3d", {int64_t{7}}));
    EXPECT_EQ(L"0 Byte  |", FormatText(L"%-8s|", {std::wstring(L"0 Byte")}));
    EXPECT_EQ(L"1.5", FormatText(L"%.3s", {std::wstring(L"1.50 KB")}));
    EXPECT_EQ(L"12 found", FormatText(L"%u found", {int64_t{12}}));
    EXPECT_EQ(L"no argument used", FormatText(L"no argument used", {int64_t{7}}));
    EXPECT_EQ(L"trailing %", FormatText(L"trailing %", {int64_t{5}}));
}

TEST(FormatText, LineThatDoesNotFitItsArgumentsRaises)
{
    // Language files can be edited by anyone: a line that does not fit, or asks for a huge width,
    // must end in an error rather than read past its arguments or exhaust memory.
    for (const wchar_t* format : {L"%s found", L"%d and %d", L"%x", L"%99999999999d", L"%.4294967297d", L"%5"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(format)));
        EXPECT_THROW(FormatText(format, {int64_t{1}}), Exception);
    }
}

TEST(SystemFolders, AnswerWithoutTruncation)
{
    EXPECT_FALSE(WindowsFolder().empty());
    EXPECT_EQ(WindowsFolder() + L"\\system32", SystemFolder()) << "on a 64-bit prefix";
    EXPECT_FALSE(UserName().empty());
    const std::wstring temp = TempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(L'\\', temp.back());
}

TEST(SystemFolders, TemporaryPathLongerThan255IsNotCut)
{
    // The platform keeps this path within MAX_PATH; the answer must not stop at 255 characters.
    ScratchFolder scratch(L"longtemp");
    std::wstring deep = scratch.Path();
    while (deep.size() < 230)
        deep += L"\\a-long-name";
    deep += L"\\" + std::wstring(256 - deep.size(), L'x');
    scratch.MakeFolder(deep.substr(scratch.Path().size() + 1));
    wchar_t saved[32768] = {};
    const DWORD had = GetEnvironmentVariableW(L"TMP", saved, 32768);
    SetEnvironmentVariableW(L"TMP", deep.c_str());
    const std::wstring temp = TempFolder();
    SetEnvironmentVariableW(L"TMP", had ? saved : nullptr);
    EXPECT_EQ(deep + L"\\", temp);
}

TEST(WindowsVersion, NamesAnNtVersionOrNothing)
{
    const std::wstring name = WindowsVersionName();
    OSVERSIONINFOW info = {sizeof info};
    BOOL answered = FALSE;
    BRISFOLD_DEPRECATED_CALL(answered = GetVersionExW(&info);)
    ASSERT_TRUE(answered);
    if (info.dwMajorVersion == 6)
        EXPECT_EQ(L"Windows Vista", name);
    else if (info.dwMajorVersion == 5 && info.dwMinorVersion == 1)
        EXPECT_EQ(L"Windows XP", name);
    else if (info.dwMajorVersion > 6)
        EXPECT_EQ(L"", name);
}

TEST(FileVersion, ReadsStringsOfTheFirstTranslation)
{
    const std::wstring probe = TAppFrame().ExeFolder + L"versionprobe.dll";
    EXPECT_EQ(L"Kelvor Probe Works", FileVersionText(probe, 1));
    EXPECT_EQ(L"Version resource probe", FileVersionText(probe, 2));
    EXPECT_EQ(L"1.2.3.4", FileVersionText(probe, 3));
    EXPECT_EQ(L"", FileVersionText(probe, 0)) << "no Comments value";
    EXPECT_EQ(L"", FileVersionText(probe, 10)) << "no such index";
    ScratchFolder scratch(L"version");
    EXPECT_EQ(L"", FileVersionText(scratch.MakeFile(L"plain.txt", 10), 1)) << "no version resource";
    EXPECT_EQ(L"", FileVersionText(scratch / L"missing.dll", 1));
}

TEST(FileInUse, OnlyAFileHeldWithoutSharingIsLocked)
{
    ScratchFolder scratch(L"inuse");
    const std::wstring path = scratch.MakeFile(L"held.dat", 100);
    EXPECT_FALSE(IsFileLocked(path));
    EXPECT_FALSE(IsFileLocked(scratch / L"missing.dat"));
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_TRUE(IsFileLocked(path));
    CloseHandle(held);
    EXPECT_FALSE(IsFileLocked(path)) << "released again";
}

TEST(FolderSize, SumsFilesAndSkipsDotFoldersAndLinks)
{
    ScratchFolder scratch(L"size");
    scratch.MakeFile(L"a.bin", 1000);
    scratch.MakeFile(L"sub\\b.bin", 2000);
    scratch.MakeFile(L"sub\\deeper\\c.bin", 30);
    scratch.MakeFile(L".hidden\\d.bin", 400);
    EXPECT_EQ(3030, FolderSize(scratch.Path(), true));
    EXPECT_EQ(1000, FolderSize(scratch.Path() + L"\\", false));
    EXPECT_EQ(0, FolderSize(scratch / L"missing", true));
}
