// Every shipped binary carries the project version in its version resource.
#include "BrisfoldVersion.h"
#include "common/Kelvor_Routine.h"
#include "common/SystemFolders.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::wstring BinFolder()
{
    const std::wstring self = ProgramFileName();
    return self.substr(0, self.find_last_of(L'\\') + 1);
}

// The numeric version of the fixed part of the resource: four 16-bit parts.
std::vector<WORD> FixedVersion(const std::wstring& path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!size || !GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed)
        return {};
    return {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
            LOWORD(fixed->dwFileVersionLS)};
}

TEST(Version, ShippedBinariesCarryTheProjectVersion)
{
    const std::wstring version = L"" BRISFOLD_VERSION_TEXT;
    const std::vector<WORD> parts = {BRISFOLD_VERSION_BINARY};
    for (const wchar_t* name : {L"Brisfold.exe", L"BrisfoldCmd.exe", L"Ravenwick.dll"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
        const std::wstring path = BinFolder() + name;
        ASSERT_TRUE(FileExists(path));
        EXPECT_EQ(FileVersionText(path, 3), version);
        EXPECT_EQ(FileVersionText(path, 9), version);
        EXPECT_EQ(FileVersionText(path, 7), name);
        EXPECT_EQ(FileVersionText(path, 1), L"Kelvor");
        EXPECT_EQ(FixedVersion(path), parts);
    }
}

} // namespace
