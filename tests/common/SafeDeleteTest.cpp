#include "common/Registry.h"
#include "common/SafeDelete.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"
#include "support/UnixLinks.h"

#include <gtest/gtest.h>


class SafeDeleteFiles : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(RunningUnderWine()) << "the link tests need Wine's Unix side"; }
    ScratchFolder Junk{L"junk"};
    ScratchFolder Documents{L"documents"};
};

TEST_F(SafeDeleteFiles, PlainFilesAndEmptyFoldersAreDeleted)
{
    const std::wstring file = Junk.MakeFile(L"a.tmp", 10);
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(TOutcome::Removed, DeleteFileSafe(file));
    EXPECT_FALSE(PathExists(file));
    EXPECT_EQ(TOutcome::AlreadyGone, DeleteFileSafe(file));

    const std::wstring empty = Junk.MakeFolder(L"empty");
    const std::wstring full = Junk.MakeFolder(L"full");
    Junk.MakeFile(L"full\\keep.txt", 1);
    EXPECT_EQ(TOutcome::Removed, RemoveFolderSafe(empty));
    EXPECT_EQ(TOutcome::Failed, RemoveFolderSafe(full)) << "only empty folders";
    EXPECT_TRUE(PathExists(Junk / L"full\\keep.txt"));
    EXPECT_EQ(TOutcome::Failed, DeleteFileSafe(full)) << "a folder is no file";
}

TEST_F(SafeDeleteFiles, FileHeldWithoutDeleteSharingIsInUse)
{
    const std::wstring file = Junk.MakeFile(L"held.tmp", 10);
    HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(TOutcome::InUse, DeleteFileSafe(file));
    CloseHandle(held);
    EXPECT_TRUE(PathExists(file));
    EXPECT_EQ(TOutcome::Removed, DeleteFileSafe(file));
}

TEST_F(SafeDeleteFiles, FileLinkIsRefusedAndItsTargetSurvives)
{
    const std::wstring target = Documents.MakeFile(L"letter.doc", 123);
    const std::wstring link = Junk / L"letter.doc";
    ASSERT_TRUE(MakeUnixSymlink(target, link));
    EXPECT_TRUE(IsFileLink(link));
    EXPECT_FALSE(IsFileLink(target));
    EXPECT_EQ(TOutcome::Refused, DeleteFileSafe(link));
    EXPECT_TRUE(PathExists(target));
}

TEST_F(SafeDeleteFiles, FolderLinkIsRefusedAndItsEmptyTargetSurvives)
{
    const std::wstring target = Documents.MakeFolder(L"Pictures");
    const std::wstring link = Junk / L"Pictures";
    ASSERT_TRUE(MakeUnixSymlink(target, link));
    EXPECT_TRUE(IsFolderLink(link));
    EXPECT_FALSE(IsFolderLink(target));
    EXPECT_EQ(TOutcome::Refused, RemoveFolderSafe(link));
    EXPECT_TRUE(PathExists(target));
}

TEST_F(SafeDeleteFiles, FilesBelowALinkedParentAreNotLinks)
{
    // Folders such as the user's documents are themselves links under Wine: their files are plain.
    const std::wstring real = Documents.MakeFolder(L"real");
    ASSERT_TRUE(MakeUnixSymlink(real, Junk / L"linked"));
    const std::wstring file = Documents.MakeFile(L"real\\inside.txt", 5);
    EXPECT_FALSE(IsFileLink(Junk / L"linked\\inside.txt"));
    EXPECT_FALSE(IsFileLink(file));
}

class SafeDeleteRegistry : public testing::Test {
protected:
    ScratchRegistry Registry;
};

TEST_F(SafeDeleteRegistry, TreeAndValueDeletion)
{
    SetRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pest\\Sub\\Deeper", L"v", L"1");
    SetRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pest", L"Run", L"pest.exe");
    SetRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pest", L"Keep", L"x");
    EXPECT_EQ(TOutcome::Removed, DeleteRegValueSafe(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pest", L"Run"));
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pest", L"Run"));
    EXPECT_TRUE(RegValueExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pest", L"Keep"));
    EXPECT_EQ(TOutcome::AlreadyGone, DeleteRegValueSafe(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pest", L"Run"));
    EXPECT_EQ(TOutcome::Removed, DeleteRegTreeSafe(HKEY_LOCAL_MACHINE, L"\\SOFTWARE\\Pest"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pest"));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE"));
    EXPECT_EQ(TOutcome::AlreadyGone, DeleteRegTreeSafe(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pest"));
    EXPECT_EQ(TOutcome::Refused, DeleteRegTreeSafe(HKEY_LOCAL_MACHINE, L"\\")) << "never the root";
}

TEST_F(SafeDeleteRegistry, TreeHoldingALinkIsRefusedWhole)
{
    SetRegString(HKEY_CURRENT_USER, L"Software\\Target\\Child", L"data", L"precious");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Target", L"top", L"precious");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Pest", L"run", L"pest.exe");
    Registry.MakeCurrentUserLink(L"Software\\Pest\\Shortcut", L"Software\\Target");
    ASSERT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Pest\\Shortcut", L"top")) << "the link resolves";

    EXPECT_EQ(TOutcome::Refused, DeleteRegValueSafe(HKEY_CURRENT_USER, L"Software\\Pest\\Shortcut", L"top"));
    EXPECT_EQ(TOutcome::Refused, DeleteRegTreeSafe(HKEY_CURRENT_USER, L"Software\\Pest\\Shortcut"));
    EXPECT_EQ(TOutcome::Refused, DeleteRegTreeSafe(HKEY_CURRENT_USER, L"Software\\Pest"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Pest", L"run")) << "nothing of a refused tree goes";
    EXPECT_TRUE(PathInvolvesLink(HKEY_CURRENT_USER, L"Software\\Pest"));
    EXPECT_TRUE(PathInvolvesLink(HKEY_CURRENT_USER, L"Software\\Pest\\Shortcut\\Child"));
    EXPECT_FALSE(PathInvolvesLink(HKEY_CURRENT_USER, L"Software\\Target"));

    // Cleaning up removes the link itself and never empties its target.
    EXPECT_EQ(TOutcome::Removed,
              DeleteRegTreeSafe(HKEY_CURRENT_USER, L"Software\\Pest", 0, TLinkPolicy::RemoveLinks));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\Pest"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Target", L"top"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Target\\Child", L"data"));
}
