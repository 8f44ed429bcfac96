// Installed software: empty software keys, installer folders and uninstall entries.
#include "RegistryFixture.h"

#include "common/Paths.h"
#include "common/SafeDelete.h"
#include "common/SystemFolders.h"

namespace {

const std::wstring kUninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

class SoftwareChecks : public RegistryFixture {
protected:
    void SetUp() override
    {
        RegistryFixture::SetUp();
        OnlyCategories({L"Software"});
    }
};

} // namespace

TEST_F(SoftwareChecks, EmptySoftwareKeysOfBothRoots)
{
    for (const wchar_t* name : {L"Empty", L"classes", L"Classes", L"Vanishing"})
        CreateRegKey(HKEY_CURRENT_USER, std::wstring(L"Software\\") + name);
    SetRegString(HKEY_CURRENT_USER, L"Software\\WithValue", L"v", L"1");
    CreateRegKey(HKEY_CURRENT_USER, L"Software\\WithKey\\Sub");
    CreateRegKey(HKEY_CURRENT_USER, L"Software\\EmptyTarget\\Inner");
    // A link to a key that is gone cannot be opened, and one to an empty key is not a key of its own:
    // neither is judged empty.
    Registry->MakeCurrentUserLink(L"Software\\Dangling", L"Software\\NoSuchKey");
    Registry->MakeCurrentUserLink(L"Software\\ToEmpty", L"Software\\EmptyTarget\\Inner");
    CreateRegKey(HKEY_LOCAL_MACHINE, L"Software\\MachineEmpty");
    // Keys the system keeps, empty on a fresh machine (Wine's own spelling included).
    for (const wchar_t* name : {L"Policies", L"RegisteredApplications", L"Registered Applications", L"Clients"}) {
        CreateRegKey(HKEY_LOCAL_MACHINE, std::wstring(L"Software\\") + name);
        CreateRegKey(HKEY_CURRENT_USER, std::wstring(L"Software\\") + name);
    }
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\MachineFull", L"v", L"1");

    auto scanner = MakeScanner();
    // A key that goes while the walk runs is not judged empty either (it is never created again).
    AtNextPump([] { ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Vanishing")); });
    EXPECT_EQ(RunScan(*scanner), 3);
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          Row(L"Text 1", L"HKEY_CURRENT_USER\\Software\\classes", L"N/A", L"", 5),
                          Row(L"Text 1", L"HKEY_CURRENT_USER\\Software\\Empty", L"N/A", L"", 5),
                          Row(L"Text 1", L"HKEY_LOCAL_MACHINE\\Software\\MachineEmpty", L"N/A", L"", 4),
                      }));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\Vanishing"));
    EXPECT_EQ(scanner->BackupLines(),
              (TWideStrings{L"[HKEY_CURRENT_USER\\Software\\classes]", L"[HKEY_CURRENT_USER\\Software\\Empty]",
                            L"[HKEY_LOCAL_MACHINE\\Software\\MachineEmpty]"}));
}

TEST_F(SoftwareChecks, InstallerFolders)
{
    const std::wstring folders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders";
    const std::wstring present = Files->MakeFolder(L"installed") + L"\\";
    const std::wstring gone = *Files / L"removed\\";
    for (const std::wstring& folder : {present, gone, std::wstring(L"Z:\\Apps\\Gone\\"), std::wstring(L"Gone\\")})
        SetRegString(HKEY_LOCAL_MACHINE, folders, folder, L"");
    auto scanner = MakeScannerWithDrives();
    EXPECT_EQ(RunScan(*scanner), 1);
    const std::wstring key = L"HKEY_LOCAL_MACHINE\\" + folders + L"\\";
    EXPECT_EQ(Rows(), (std::vector<std::string>{Row(L"Text 5", key, gone, L"", 5)}));
    EXPECT_EQ(scanner->BackupLines(), (TWideStrings{L"[" + key + L"]", L"\"" + EscapeBackslashes(gone) + L"\"=\"\""}));
}

TEST_F(SoftwareChecks, UninstallEntries)
{
    const std::wstring missing = *Files / L"Gone\\app.exe";
    const std::wstring present = Files->MakeFile(L"present.exe", 4);
    const std::wstring dottedFolder = Files->MakeFolder(L"App.Net");
    SetDefaultText(HKEY_LOCAL_MACHINE, kUninstall + L"{EmptyDefault}", L" ");
    CreateRegKey(HKEY_LOCAL_MACHINE, kUninstall + L"{NoValues}");
    SetDefaultText(HKEY_LOCAL_MACHINE, kUninstall + L"{OnlyDefault}", L"Something");
    const std::wstring app = kUninstall + L"{App}";
    const struct {
        const wchar_t* Name;
        std::wstring Data;
    } values[] = {
        {L"DisplayName", L"App"},
        {L"UninstallString", L"\"" + missing + L"\" /uninstall"},
        {L"DisplayIcon", missing + L",0"},
        {L"InstallLocation", *Files / L"Gone"},
        {L"InstallSource", *Files / L"Setup.Files"}, // a dot but no extension: not taken for a folder
        {L"Readme", *Files / L"Gone\\readme.txt"},
        {L"Present", L"\"" + present + L"\""},
        {L"Folder", dottedFolder},                // exists, though its name ends like a file's
        {L"Share", L"Z:\\Apps\\app.exe"},
        {L"Quotes", L"\"" + *Files / L"Gone" + L"\" \"x\""}, // more than two quotes
        {L"Msi", L"MsiExec.exe /X{12345678-1234-1234-1234-123456789012}"},
        {L"HelpLink", L"http://example.com/"},
        {L"Expanded", L"%SystemRoot%\\brisfold-gone.exe"},
    };
    for (const auto& value : values)
        SetRegString(HKEY_LOCAL_MACHINE, app, value.Name, value.Data);
    SetRegString(HKEY_LOCAL_MACHINE, kUninstall + L"{WithSub}\\Sub", L"", L"");
    SetDefaultText(HKEY_LOCAL_MACHINE, kUninstall + L"{WithSub}", L"");
    // The 32-bit twin.
    const std::wstring wowUninstall = L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    SetRegString(HKEY_LOCAL_MACHINE, wowUninstall + L"{App32}", L"DisplayIcon", missing);
    SetRegString(HKEY_LOCAL_MACHINE, wowUninstall + L"{App32}", L"Tool", SystemFolder() + L"\\notepad.exe");

    auto scanner = MakeScannerWithDrives();
    EXPECT_EQ(RunScan(*scanner), 7);
    const std::wstring key = L"HKEY_LOCAL_MACHINE\\" + app;
    // Values come in the order the registry lists them.
    std::vector<std::string> rows = Rows();
    std::sort(rows.begin(), rows.end());
    std::vector<std::string> expected{
        Row(L"Text 10", key, L"UninstallString", L"\"" + missing + L"\" /uninstall", 5),
        Row(L"Text 10", key, L"DisplayIcon", missing + L",0", 5),
        Row(L"Text 10", key, L"InstallLocation", *Files / L"Gone", 5),
        Row(L"Text 10", key, L"Readme", *Files / L"Gone\\readme.txt", 5),
        Row(L"Text 10", key, L"Expanded", L"%SystemRoot%\\brisfold-gone.exe", 5),
        Row(L"Text 10", L"HKEY_LOCAL_MACHINE\\" + kUninstall + L"{EmptyDefault}", L"N/A", L"", 5),
        Row(L"Text 10", L"HKEY_LOCAL_MACHINE\\" + wowUninstall + L"{App32}", L"DisplayIcon", missing, 5),
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(Status.Caption(), L"Scanning Text 10");
    const TWideStrings& lines = scanner->BackupLines();
    const auto has = [&](const std::wstring& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
    EXPECT_TRUE(has(L"[" + key + L"]"));
    // A value stored with quotes is written without them, inside escaped quotes.
    EXPECT_TRUE(has(L"\"UninstallString\"=\"\\\"" + EscapeBackslashes(missing) + L" /uninstall\\\"\""));
    EXPECT_TRUE(has(L"\"DisplayIcon\"=\"" + EscapeBackslashes(missing) + L",0\""));
    EXPECT_TRUE(has(L"[HKEY_LOCAL_MACHINE\\" + kUninstall + L"{EmptyDefault}]"));
}
