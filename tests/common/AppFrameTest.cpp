#include "common/AppFrame.h"
#include "common/Exception.h"
#include "common/Registry.h"
#include "common/SafeDelete.h"
#include "common/SystemFolders.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"
#include "support/ShellFolders.h"

#include <gtest/gtest.h>

#include <shlobj.h>

class AppFrameTest : public testing::Test {
protected:
    ScratchRegistry Registry;
    ScratchFolder Folders{L"shell"};
};

TEST_F(AppFrameTest, ShellFoldersComeFromTheRedirectedValues)
{
    // A folder name outside every 8-bit code page must survive the lookup.
    const std::wstring appData = Folders.MakeFolder(L"App Data \x0416\x4E2D");
    const std::wstring cache = Folders.MakeFolder(L"Cache");
    const std::wstring desktop = Folders.MakeFolder(L"Desktop");
    SetUserShellFolder(L"AppData", appData);
    SetUserShellFolder(L"Cache", cache);
    SetUserShellFolder(L"Desktop", desktop);

    TAppFrame frame;
    EXPECT_EQ(appData, frame.AppDataFolder);
    EXPECT_EQ(appData, frame.GetUserFolder(12));
    EXPECT_EQ(cache, frame.GetUserFolder(3));
    EXPECT_EQ(desktop, frame.GetUserFolder(7));
    EXPECT_EQ(WindowsFolder(), frame.GetUserFolder(0));
    EXPECT_EQ(SystemFolder(), frame.GetUserFolder(1));
    EXPECT_EQ(TempFolder(), frame.GetUserFolder(2));
    ASSERT_FALSE(frame.ExeFolder.empty());
    EXPECT_EQ(L'\\', frame.ExeFolder.back());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((frame.ExeFolder + L"test_common.exe").c_str()));
}

TEST_F(AppFrameTest, UserFolderValuesAreReadUnexpandedAndMissingOnesAreEmpty)
{
    SetRegString(HKEY_CURRENT_USER, kShellFoldersKey, L"Start Menu", L"C:\\Menu");
    SetRegString(HKEY_CURRENT_USER, kShellFoldersKey, L"Favorites", L"%USERPROFILE%\\Favorites");
    TAppFrame frame;
    EXPECT_EQ(L"C:\\Menu", frame.GetUserFolder(8));
    EXPECT_EQ(L"%USERPROFILE%\\Favorites", frame.GetUserFolder(9));
    EXPECT_EQ(L"", frame.GetUserFolder(10)) << "no Startup value";
    EXPECT_EQ(L"", frame.GetUserFolder(15));
    EXPECT_EQ(L"", frame.GetUserFolder(-1));
}

TEST_F(AppFrameTest, ProfileFolderIsTheCookiesValueCutAfterTheUserName)
{
    const std::wstring user = UserName();
    ASSERT_FALSE(user.empty());
    SetRegString(HKEY_CURRENT_USER, kShellFoldersKey, L"Cookies",
                 L"C:\\Documents and Settings\\" + user + L"\\Cookies");
    EXPECT_EQ(L"C:\\Documents and Settings\\" + user, TAppFrame().GetUserFolder(11));
    SetRegString(HKEY_CURRENT_USER, kShellFoldersKey, L"Cookies", L"C:\\Elsewhere\\Cookies");
    EXPECT_EQ(L"", TAppFrame().GetUserFolder(11)) << "the user's name does not occur";
}

TEST_F(AppFrameTest, ValueOfAnotherTypeIsADataTypeError)
{
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, kShellFoldersKey));
    const DWORD number = 7;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.Handle(), L"Startup", 0, REG_DWORD,
                                            reinterpret_cast<const BYTE*>(&number), sizeof number));
    EXPECT_THROW(TAppFrame().GetUserFolder(10), Exception);
}

TEST_F(AppFrameTest, CommonFoldersComeFromTheMachineKey)
{
    SetCommonShellFolder(L"Common Programs", L"C:\\All\\Programs");
    SetCommonShellFolder(L"Common Favorites", L"C:\\All\\Favorites");
    TAppFrame frame;
    EXPECT_EQ(L"C:\\All\\Programs", frame.GetCommonFolder(2));
    EXPECT_EQ(L"C:\\All\\Favorites", frame.GetCommonFolder(4));
    EXPECT_EQ(L"", frame.GetCommonFolder(1)) << "no Common Desktop value";
    EXPECT_EQ(L"", frame.GetCommonFolder(5));
}

TEST_F(AppFrameTest, ShellFolderKeysAreOnlyReadNeverCreated)
{
    // A standard user may not create the machine's key (nor open it with full access): both are
    // opened for reading, and a missing key gives empty folders.
    TAppFrame frame;
    for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        ASSERT_NE(TOutcome::Failed, DeleteRegTreeSafe(root, kShellFoldersKey));
    EXPECT_EQ(L"", frame.GetUserFolder(8));
    EXPECT_EQ(L"", frame.GetUserFolder(11));
    EXPECT_EQ(L"", frame.GetCommonFolder(1));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kShellFoldersKey));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kShellFoldersKey));
}
