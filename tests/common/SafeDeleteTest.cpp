#include "common/Handles.h"
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

namespace {

std::string ReadAll(const std::wstring& path)
{
    const THandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    char buffer[64];
    DWORD read = 0;
    if (!file || !ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr))
        return {};
    return std::string(buffer, read);
}

} // namespace

TEST_F(SafeDeleteFiles, WineTakesOnlyThePlainDisposition)
{
    // So the tests below run the fallback; Windows 10 takes the POSIX one.
    const std::wstring file = Junk.MakeFile(L"probe.tmp", 1);
    const THandle handle(CreateFileW(file.c_str(), DELETE | FILE_READ_ATTRIBUTES, 7, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(handle) << GetLastError();
    DWORD flags = 0x1 | 0x2 | 0x10; // delete, POSIX semantics, ignore read-only
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(SetFileInformationByHandle(handle.Get(), static_cast<FILE_INFO_BY_HANDLE_CLASS>(21), &flags,
                                            sizeof flags));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST_F(SafeDeleteFiles, WithoutAnExpectedPathNothingIsDeleted)
{
    const std::wstring file = Junk.MakeFile(L"a.tmp", 1);
    const std::wstring folder = Junk.MakeFolder(L"empty");
    EXPECT_EQ(TOutcome::Refused, DeleteFileSafe(file, L""));
    EXPECT_EQ(TOutcome::Refused, RemoveFolderSafe(folder, L""));
    EXPECT_EQ(TOutcome::Refused, DeleteFileSafe(file, Junk / L"b.tmp")) << "another file's path";
    EXPECT_TRUE(PathExists(file));
    EXPECT_TRUE(PathExists(folder));
}

TEST_F(SafeDeleteFiles, AParentSwappedForALinkAfterTheScanIsRefused)
{
    // The scan found cache\old.tmp and the empty cache\sub; then cache became a link to a folder
    // holding items of the same names.
    const std::wstring file = Junk.MakeFile(L"cache\\old.tmp", 5);
    const std::wstring folder = Junk.MakeFolder(L"cache\\sub");
    const std::wstring expectedFile = ExpectedPath(Junk.Path(), file);
    const std::wstring expectedFolder = ExpectedPath(Junk.Path(), folder);
    ASSERT_FALSE(expectedFile.empty());
    ASSERT_FALSE(expectedFolder.empty());
    const std::wstring precious = Documents.MakeFile(L"cache\\old.tmp", 7);
    const std::wstring preciousFolder = Documents.MakeFolder(L"cache\\sub");
    ASSERT_TRUE(MoveFileW((Junk / L"cache").c_str(), (Junk / L"moved").c_str())) << GetLastError();
    ASSERT_TRUE(MakeUnixSymlink(Documents / L"cache", Junk / L"cache"));

    EXPECT_EQ(TOutcome::Refused, DeleteFileSafe(file, expectedFile));
    EXPECT_EQ(TOutcome::Refused, RemoveFolderSafe(folder, expectedFolder));
    EXPECT_EQ(ReadAll(precious), "xxxxxxx");
    EXPECT_TRUE(PathExists(preciousFolder));
    EXPECT_TRUE(PathExists(Junk / L"moved\\old.tmp"));
    RemoveUnixLink(Junk / L"cache");
}

TEST_F(SafeDeleteFiles, ARootReachedThroughALinkIsStillCleaned)
{
    // A profile moved elsewhere and linked back: the link is the user's choice, above the root.
    const std::wstring moved = Documents.MakeFolder(L"MovedProfile");
    const std::wstring real = Documents.MakeFile(L"MovedProfile\\Temp\\sub\\old.tmp", 5);
    const std::wstring root = Junk / L"Profile";
    ASSERT_TRUE(MakeUnixSymlink(moved, root));
    const std::wstring file = root + L"\\Temp\\sub\\old.tmp";
    const std::wstring folder = root + L"\\Temp\\sub";
    const std::wstring expectedFolder = ExpectedPath(root, folder);
    EXPECT_EQ(TOutcome::Removed, DeleteFileSafe(file, ExpectedPath(root, file)));
    EXPECT_EQ(TOutcome::Removed, RemoveFolderSafe(folder, expectedFolder));
    EXPECT_FALSE(PathExists(real));
    EXPECT_TRUE(PathExists(moved + L"\\Temp"));
    RemoveUnixLink(root);
}

TEST_F(SafeDeleteFiles, APathSpelledInAnotherCaseIsRemoved)
{
    const std::wstring file = Junk.MakeFile(L"Pest\\PestBar.dll", 5);
    const std::wstring spelled = Junk / L"PEST\\pestbar.DLL";
    const std::wstring expected = ExpectedPath(Junk.Path(), spelled);
    EXPECT_EQ(expected, ExpectedPath(Junk.Path(), file)) << "the names as the file system lists them";
    EXPECT_EQ(TOutcome::Removed, DeleteFileSafe(spelled, expected));
    EXPECT_FALSE(PathExists(file));
}

TEST_F(SafeDeleteFiles, AFileLinkDifferingOnlyInCaseIsRefused)
{
    const std::wstring target = Junk.MakeFile(L"NOTES.txt", 7);
    const std::wstring link = Junk / L"notes.txt";
    ASSERT_TRUE(MakeUnixSymlink(target, link));
    EXPECT_TRUE(IsFileLink(link));
    EXPECT_EQ(TOutcome::Refused, DeleteFileSafe(link, ExpectedPath(Junk.Path(), link)));
    EXPECT_EQ(TOutcome::Refused, DeleteFileSafe(link));
    EXPECT_EQ(ReadAll(target), "xxxxxxx");
    RemoveUnixLink(link);
}

TEST_F(SafeDeleteFiles, ASwapBetweenTheCheckAndTheDeletionReachesNothingOutside)
{
    const std::wstring file = Junk.MakeFile(L"cache\\old.tmp", 5);
    const std::wstring expected = ExpectedPath(Junk.Path(), file);
    const std::wstring precious = Documents.MakeFile(L"cache\\old.tmp", 7);
    // Another program swaps the folder for a link while the gate holds the file's handle.
    bool swapped = false;
    SetDeletionHook([&](const std::wstring&) {
        swapped = MoveFileW((Junk / L"cache").c_str(), (Junk / L"moved").c_str()) &&
                  MakeUnixSymlink(Documents / L"cache", Junk / L"cache");
    });
    const TOutcome outcome = DeleteFileSafe(file, expected);
    SetDeletionHook(nullptr);
    ASSERT_TRUE(swapped);
    EXPECT_EQ(ReadAll(precious), "xxxxxxx") << "nothing outside the root";
    // Wine drops a deletion whose path no longer leads to the file; the listed path now names another
    // file, and the report must not say otherwise.
    EXPECT_EQ(TOutcome::NotRemoved, outcome) << OutcomeName(outcome);
    if (PathExists(Junk / L"moved\\old.tmp"))
        EXPECT_NE(TOutcome::Removed, outcome);
    RemoveUnixLink(Junk / L"cache");
}

TEST_F(SafeDeleteFiles, AFileHeldWithDeleteSharingIsPendingUntilLetGo)
{
    const std::wstring file = Junk.MakeFile(L"held.log", 5);
    THandle holder(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder) << GetLastError();
    EXPECT_EQ(TOutcome::Pending, DeleteFileSafe(file));
    EXPECT_TRUE(PathExists(file));
    holder.Reset();
    EXPECT_FALSE(PathExists(file));
}

TEST_F(SafeDeleteFiles, AnItemIsMovedThroughItsOwnHandleAndNeverOverAnother)
{
    const std::wstring file = Junk.MakeFile(L"pest.exe", 9);
    const std::wstring taken = Documents.MakeFile(L"1.quarantined", 4);
    THandle folder(CreateFileW(Documents.Path().c_str(), FILE_LIST_DIRECTORY | FILE_ADD_FILE | FILE_TRAVERSE | SYNCHRONIZE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(folder) << GetLastError();
    TGateItem item;
    ASSERT_EQ(std::nullopt, item.Open(file, ExpectedPath(Junk.Path(), file), TGateItem::TKind::File));
    EXPECT_EQ(9u, item.Info().nFileSizeLow);
    EXPECT_EQ(TOutcome::Failed, item.MoveInto(folder.Get(), L"1.quarantined")) << "what is there stays";
    EXPECT_EQ(ReadAll(taken), "xxxx");
    EXPECT_EQ(TOutcome::Failed, item.MoveInto(folder.Get(), L"..\\out.exe")) << "a name, not a path";
    EXPECT_EQ(TOutcome::Removed, item.MoveInto(folder.Get(), L"2.quarantined"));
    EXPECT_FALSE(PathExists(file));
    item.Close();
    EXPECT_EQ(ReadAll(Documents / L"2.quarantined"), "xxxxxxxxx");
}

TEST_F(SafeDeleteFiles, ALinkIsNeverMoved)
{
    const std::wstring target = Documents.MakeFile(L"letter.doc", 3);
    const std::wstring link = Junk / L"letter.doc";
    ASSERT_TRUE(MakeUnixSymlink(target, link));
    TGateItem item;
    EXPECT_EQ(std::optional<TOutcome>(TOutcome::Refused),
              item.Open(link, ExpectedPath(Junk.Path(), link), TGateItem::TKind::File));
    EXPECT_FALSE(item.IsOpen());
    EXPECT_TRUE(PathExists(target));
    RemoveUnixLink(link);
}

TEST(FinalPaths, APathBeyondMaxPathHasItsFinalPathToo)
{
    ScratchFolder deep(L"deep");
    std::wstring folder = L"\\\\?\\" + deep.Path();
    for (int i = 0; i < 5; ++i) {
        folder += L"\\" + std::wstring(60, static_cast<wchar_t>(L'k' + i));
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << GetLastError();
    }
    const std::wstring file = folder.substr(4) + L"\\deep.tmp";
    ASSERT_GT(file.size(), static_cast<size_t>(MAX_PATH));
    WriteTextFile(L"\\\\?\\" + file, "x");
    THandle handle(CreateFileW(file.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(handle) << GetLastError();
    EXPECT_EQ(file, HandleFinalPath(handle.Get()));
    handle.Reset();
    EXPECT_EQ(TOutcome::Removed, DeleteFileSafe(file, ExpectedPath(deep.Path(), file)));
}

TEST(FinalPaths, OnlyPlainDriveAndShareFormsMatch)
{
    const struct {
        const wchar_t* Raw;
        const wchar_t* Plain;
    } cases[] = {
        {L"\\\\?\\C:\\Users\\jo\\old.tmp", L"C:\\Users\\jo\\old.tmp"},
        {L"\\\\?\\C:\\", L"C:\\"},
        {L"\\\\?\\C:", L"C:\\"},
        {L"\\\\?\\UNC\\server\\share\\x.tmp", L"\\\\server\\share\\x.tmp"},
        {L"\\\\?\\unix\\home\\jo\\x.tmp", L""},
        {L"\\\\?\\Volume{0b1c2d3e-0000-0000-0000-100000000000}\\x.tmp", L""},
        {L"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume2\\x.tmp", L""},
        {L"\\??\\C:\\x.tmp", L""},
        {L"C:\\x.tmp", L""},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::wstring(c.Plain), PlainFinalPath(c.Raw)) << testing::PrintToString(std::wstring(c.Raw));
}

TEST_F(SafeDeleteFiles, ExpectedPathsNameOneEntryBelowTheRoot)
{
    Junk.MakeFile(L"Cache\\Sub\\page.htm", 1);
    const std::wstring root = ResolvedPath(Junk.Path());
    ASSERT_FALSE(root.empty());
    const struct {
        std::wstring Path;
        std::wstring Expected;
    } cases[] = {
        {Junk / L"Cache\\Sub\\page.htm", root + L"\\Cache\\Sub\\page.htm"},
        {Junk / L"CACHE/sub/PAGE.HTM", root + L"\\Cache\\Sub\\page.htm"},
        {Junk / L"Cache\\Sub\\", root + L"\\Cache\\Sub"},
        {Junk.Path(), root},
        {Junk / L"Cache\\Sub\\missing.htm", L""},
        {Junk / L"Cache\\*\\page.htm", L""},
        {Junk / L"Cache\\Sub\\..\\Sub\\page.htm", L""},
        {Junk / L"Cache\\.\\Sub\\page.htm", L""},
        {Junk / L"Cache\\\\Sub\\page.htm", L""},
        {Documents / L"page.htm", L""},
        {Junk.Path() + L"Cache", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Expected, ExpectedPath(Junk.Path(), c.Path)) << testing::PrintToString(c.Path);
    EXPECT_EQ(L"", ExpectedPath(L"", Junk / L"Cache"));
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
    EXPECT_EQ(TOutcome::Refused, RegDeletionBlocked(HKEY_CURRENT_USER, L"Software\\Pest", 0, TRegDeletion::Tree));
    EXPECT_EQ(std::nullopt, RegDeletionBlocked(HKEY_CURRENT_USER, L"Software\\Pest", 0, TRegDeletion::Value));
    EXPECT_EQ(TOutcome::Refused,
              RegDeletionBlocked(HKEY_CURRENT_USER, L"Software\\Pest\\Shortcut\\Child", 0, TRegDeletion::Value));
    EXPECT_EQ(std::nullopt, RegDeletionBlocked(HKEY_CURRENT_USER, L"Software\\Target", 0, TRegDeletion::Tree));

    // Cleaning up removes the link itself and never empties its target.
    EXPECT_EQ(TOutcome::Removed,
              DeleteRegTreeSafe(HKEY_CURRENT_USER, L"Software\\Pest", 0, TLinkPolicy::RemoveLinks));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\Pest"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Target", L"top"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Target\\Child", L"data"));
}

TEST_F(SafeDeleteRegistry, ALinkAtAnyStepIsRefused)
{
    // The link positions a repair meets: the key itself, a key or value one or two steps below a link.
    struct TCase {
        const char* Name;
        const wchar_t* Link;   // made a link to Target
        const wchar_t* Target; // holds Inner with the value "precious"
        const wchar_t* Inner;
        const wchar_t* Key; // what the gate is given
        TRegDeletion What;
    } cases[] = {
        {"a key that is a link", L"Software\\AppA\\ArcHistory", L"Software\\TargetA", L"", L"Software\\AppA\\ArcHistory",
         TRegDeletion::Tree},
        {"a key below a link", L"Software\\AppB", L"Software\\TargetB", L"\\ArcHistory", L"Software\\AppB\\ArcHistory",
         TRegDeletion::Tree},
        {"a key two steps below a link", L"Software\\AppC", L"Software\\TargetC", L"\\Deep\\Deeper",
         L"Software\\AppC\\Deep\\Deeper", TRegDeletion::Tree},
        {"a value below a link", L"Software\\AppD", L"Software\\TargetD", L"\\General", L"Software\\AppD\\General",
         TRegDeletion::Value},
        {"a value of a key that is a link", L"Software\\AppE\\General", L"Software\\TargetE", L"",
         L"Software\\AppE\\General", TRegDeletion::Value},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::wstring inner = std::wstring(c.Target) + c.Inner;
        SetRegString(HKEY_CURRENT_USER, inner, L"precious", L"1");
        Registry.MakeCurrentUserLink(c.Link, c.Target);
        ASSERT_TRUE(RegValueExists(HKEY_CURRENT_USER, c.Key, L"precious")) << "the link resolves";
        EXPECT_EQ(TOutcome::Refused, RegDeletionBlocked(HKEY_CURRENT_USER, c.Key, 0, c.What));
        const TOutcome outcome = c.What == TRegDeletion::Tree ? DeleteRegTreeSafe(HKEY_CURRENT_USER, c.Key)
                                                              : DeleteRegValueSafe(HKEY_CURRENT_USER, c.Key, L"precious");
        EXPECT_EQ(TOutcome::Refused, outcome);
        EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, inner, L"precious"));
    }
}
