// The tests' own links: made only between places of the test program's scratch folders.
#include "common/SystemFolders.h"
#include "support/ScratchFolder.h"
#include "support/UnixLinks.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

class TestLinks : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(RunningUnderWine()) << "links are made through Wine"; }
    ScratchFolder Scratch{L"links"};
};

TEST_F(TestLinks, LinksStayInsideTheScratchFolders)
{
    const std::wstring target = Scratch.MakeFolder(L"target");
    ASSERT_TRUE(MakeUnixSymlink(target, Scratch / L"inside"));
    EXPECT_TRUE(PathExists(Scratch / L"inside"));
    EXPECT_TRUE(RemoveUnixLink(Scratch / L"inside"));
}

TEST_F(TestLinks, ATargetOutsideTheScratchFoldersIsRefused)
{
    const std::wstring outside[] = {WindowsFolder(), Scratch / L"..\\..", L"C:\\"};
    for (const std::wstring& target : outside) {
        SCOPED_TRACE(testing::PrintToString(target));
        bool made = true;
        EXPECT_NONFATAL_FAILURE(made = MakeUnixSymlink(target, Scratch / L"outside"), "lies outside");
        EXPECT_FALSE(made);
        EXPECT_FALSE(PathExists(Scratch / L"outside"));
    }
    bool made = true;
    EXPECT_NONFATAL_FAILURE(made = MakeUnixSymlink(Scratch.MakeFolder(L"target"), WindowsFolder() + L"\\brisfold-link"),
                            "lies outside");
    EXPECT_FALSE(made);
    EXPECT_NONFATAL_FAILURE(made = MapUnixDrive(L'Y', WindowsFolder()), "lies outside");
    EXPECT_FALSE(made);
}
