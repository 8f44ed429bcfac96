// Path helpers: the 32-bit view of a path, long answers of fill-a-buffer calls, the listing fallback.
#include "common/FileFind.h"
#include "common/GrowingBuffer.h"
#include "common/IniFile.h"
#include "common/Kelvor_Routine.h"
#include "common/Paths.h"
#include "common/SystemFolders.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <shlobj.h>

namespace {

std::wstring ShellPath(int csidl)
{
    wchar_t buffer[MAX_PATH + 1] = {};
    SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE);
    return buffer;
}

} // namespace

TEST(Paths, ThirtyTwoBitViewRedirectsSystemAndProgramFiles)
{
    const std::wstring system = SystemFolder();
    const std::wstring wow = SystemFolder32();
    ASSERT_FALSE(wow.empty()) << "a 64-bit prefix has SysWOW64";
    EXPECT_EQ(wow + L"\\drivers\\x.sys", PathFor32BitView(system + L"\\drivers\\x.sys"));
    EXPECT_EQ(wow, PathFor32BitView(system));
    const std::wstring programFiles = ShellPath(CSIDL_PROGRAM_FILES);
    EXPECT_EQ(ShellPath(CSIDL_PROGRAM_FILESX86) + L"\\Vendor\\app.exe", PathFor32BitView(programFiles + L"\\Vendor\\app.exe"));
    EXPECT_EQ(ShellPath(CSIDL_PROGRAM_FILES_COMMONX86) + L"\\x.dll",
              PathFor32BitView(ShellPath(CSIDL_PROGRAM_FILES_COMMON) + L"\\x.dll"));
    // Only whole folder names are redirected; other places stay as they are.
    EXPECT_EQ(system + L"Extra\\a.dll", PathFor32BitView(system + L"Extra\\a.dll"));
    EXPECT_EQ(L"D:\\Tools\\a.exe", PathFor32BitView(L"D:\\Tools\\a.exe"));
    EXPECT_TRUE(PathIsAtOrBelow(L"c:\\WINDOWS\\system32\\x", L"C:\\windows\\"));
    EXPECT_FALSE(PathIsAtOrBelow(L"C:\\windows2", L"C:\\windows"));
}

TEST(Paths, ReplaceAllWithAnEmptyPatternChangesNothing)
{
    std::wstring text = L"%a%%a%";
    ReplaceAll(text, L"", L"x");
    EXPECT_EQ(L"%a%%a%", text);
    ReplaceAll(text, L"%a%", L"%a%b");
    EXPECT_EQ(L"%a%b%a%b", text) << "replaced text is not searched again";
    EXPECT_EQ(L"C:\\", WithBackslash(L"C:"));
    EXPECT_EQ(L"C:\\", WithBackslash(L"C:\\"));
    EXPECT_EQ(L"", WithBackslash(L""));
}

TEST(GrowingBuffer, AnswersLongerThanTheFirstBufferArrive)
{
    // Behaves like GetModuleFileNameW: a too-small buffer gets the cut answer and its own size back.
    const std::wstring answer(700, L'p');
    int calls = 0;
    const std::wstring got = AskWithGrowingBuffer([&](wchar_t* buffer, DWORD size) -> DWORD {
        ++calls;
        const DWORD copied = std::min<DWORD>(size - 1, static_cast<DWORD>(answer.size()));
        std::copy_n(answer.data(), copied, buffer);
        buffer[copied] = L'\0';
        return copied < answer.size() ? size : copied;
    });
    EXPECT_EQ(answer, got);
    EXPECT_LE(calls, 3);
}

namespace {

int BasicRefusals = 0;

HANDLE WINAPI OldSystemFindFirst(LPCWSTR name, FINDEX_INFO_LEVELS level, LPVOID data, FINDEX_SEARCH_OPS search,
                                 LPVOID filter, DWORD flags)
{
    if (level == FindExInfoBasic || flags != 0) {
        ++BasicRefusals;
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    return FindFirstFileExW(name, level, data, search, filter, flags);
}

} // namespace

TEST(FileFind, SystemsWithoutTheBasicLevelAreAskedAgain)
{
    ScratchFolder folder{L"find"};
    folder.MakeFile(L"one.txt", 100);
    folder.MakeFile(L"sub\\two.txt", 200);
    SetFindFirstCall(OldSystemFindFirst);
    WIN32_FIND_DATAW data;
    const bool listed = static_cast<bool>(FindFirstEntry(folder / L"*", data));
    const int64_t size = FolderSize(folder.Path(), true);
    SetFindFirstCall(nullptr);
    EXPECT_TRUE(listed);
    EXPECT_GE(BasicRefusals, 1);
    EXPECT_EQ(300, size);
}

TEST(Paths, IniFilesInFoldersLongerThanMaxPathAreRead)
{
    ScratchFolder folder{L"long-ini"};
    std::wstring path = folder.Path();
    for (wchar_t letter : {L'a', L'b', L'c'}) {
        path += L"\\" + std::wstring(90, letter);
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr));
    }
    const std::wstring file = path + L"\\Main.ini";
    ASSERT_GE(file.size(), size_t{MAX_PATH});
    {
        const THandle handle(CreateFileW((L"\\\\?\\" + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(handle);
        DWORD written = 0;
        WriteFile(handle.Get(), "[Main]\r\nLanguage=German\r\n", 26, &written, nullptr);
    }
    EXPECT_LT(PathWithinMaxPath(file).size(), size_t{MAX_PATH});
    EXPECT_EQ(L"German", TIniFile(file).ReadString(L"Main", L"Language", L"English"));
    EXPECT_EQ(L"C:\\short.ini", PathWithinMaxPath(L"C:\\short.ini"));
}
