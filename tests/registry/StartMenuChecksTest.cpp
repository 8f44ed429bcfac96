// The start menu: menu-order entries of program folders that are gone, and start-menu order keys.
#include "RegistryFixture.h"

#include "common/AppFrame.h"

namespace {

const std::wstring kMenuOrder = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\";

class StartMenuChecks : public RegistryFixture {
protected:
    void SetUp() override
    {
        RegistryFixture::SetUp();
        OnlyCategories({L"Shortcut", L"Startmenu"});
        // The user's program menu as older systems lay it out, beside the all-users one.
        Programs = Files->MakeFolder(L"Documents and Settings\\User\\Start Menu\\Programs");
        Files->MakeFolder(L"Documents and Settings\\User\\Start Menu\\Programs\\Games");
        Files->MakeFolder(L"Documents and Settings\\All Users\\Start Menu\\Programs\\Shared Tools");
        Files->MakeFolder(L"Documents and Settings\\Administrator\\Start Menu\\Programs\\Admin Tools");
    }
    void SetPrograms(const std::wstring& folder)
    {
        SetRegString(HKEY_CURRENT_USER, kShellFoldersKey, L"Programs", folder);
    }
    void Entries(const std::wstring& menu, std::initializer_list<const wchar_t*> names)
    {
        for (const wchar_t* name : names)
            SetRegValue(HKEY_CURRENT_USER, kMenuOrder + menu + L"\\" + name, L"Order", REG_BINARY, {8, 0});
    }
    std::wstring Programs;
};

} // namespace

TEST_F(StartMenuChecks, MenuOrderOfFoldersThatAreGone)
{
    SetPrograms(Programs);
    Entries(L"Start Menu\\Programs", {L"Games", L"Shared Tools", L"Admin Tools", L"Uninstalled"});
    Entries(L"Start Menu2\\Programs", {L"Elsewhere"}); // walked only when the first key is empty
    auto scanner = MakeScanner();
    EXPECT_EQ(RunScan(*scanner), 1);
    const std::wstring key = L"HKEY_CURRENT_USER\\" + kMenuOrder + L"Start Menu\\Programs\\Uninstalled";
    EXPECT_EQ(Rows(), (std::vector<std::string>{Row(L"Text 14", key, L"N/A", L"", 4)}));
    EXPECT_EQ(scanner->BackupLines(), (TWideStrings{L"[" + key + L"]"}));
}

TEST_F(StartMenuChecks, AnEmptyFirstMenuOrderKeyGivesWayToTheSecond)
{
    SetPrograms(Programs);
    CreateRegKey(HKEY_CURRENT_USER, kMenuOrder + L"Start Menu\\Programs");
    Entries(L"Start Menu2\\Programs", {L"Games", L"Elsewhere"});
    auto scanner = MakeScanner();
    EXPECT_EQ(RunScan(*scanner), 1);
    EXPECT_EQ(RowKeys(), (std::vector<std::wstring>{L"HKEY_CURRENT_USER\\" + kMenuOrder +
                                                    L"Start Menu2\\Programs\\Elsewhere"}));
}

TEST_F(StartMenuChecks, WithoutAProgramMenuFolderNothingIsJudged)
{
    Entries(L"Start Menu\\Programs", {L"Games", L"Uninstalled"});
    auto scanner = MakeScannerWithDrives();
    // No value, an empty one, a relative folder, a folder on a share that may just be away.
    for (const wchar_t* programs : {L"", L"Start Menu\\Programs", L"Z:\\Profiles\\User\\Start Menu\\Programs"}) {
        SCOPED_TRACE(Narrow(programs));
        if (*programs)
            SetPrograms(programs);
        EXPECT_EQ(RunScan(*scanner), 0);
        SetPrograms(L"");
    }
}

TEST_F(StartMenuChecks, StartMenuOrderKeysAreNeverListed)
{
    OnlyCategories({L"Startmenu"});
    const std::wstring menu = kMenuOrder + L"Start Menu\\Programs\\";
    SetDefaultText(HKEY_CURRENT_USER, menu + L"EmptyDefault", L""); // its default value is one of its values
    CreateRegKey(HKEY_CURRENT_USER, menu + L"NoDefault");
    SetDefaultText(HKEY_CURRENT_USER, menu + L"WithSub", L"");
    CreateRegKey(HKEY_CURRENT_USER, menu + L"WithSub\\Inner");
    EXPECT_EQ(RunScan(*MakeScanner()), 0);
}
