// The contract every check of the key-check table keeps: its label line, the keys it creates (and
// those it leaves alone), its progress steps, its message pumping and its stop at the first entry.
#include "RegistryFixture.h"

#include "common/AppFrame.h"

namespace {

using TCheckCall = int32_t (*)(TScanRegistry&, TLabel&, TProgressBar&);

enum class TSteps { Once, PerEntry, Never };

struct TContractCase {
    const char* Name;
    TCheckCall Call;
    int LabelLine;
    TSteps Steps;
    bool Pumps;
    HKEY Root;
    // Keys the check creates when they are missing; a key it must not create.
    std::vector<const wchar_t*> Created;
    const wchar_t* NotCreated;
    // Plants one entry that the check looks at.
    void (*Plant)();
};

const wchar_t kVersion[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\";

void PlantValue(HKEY root, const std::wstring& key, DWORD type = REG_SZ)
{
    SetRegValue(root, key, L"C:\\BrisfoldGone\\entry.exe", type, {0, 0, 0, 0});
}

void PlantSubKey(HKEY root, const std::wstring& key) { CreateRegKey(root, key + L"\\Entry"); }

#define CALL(check) \
    [](TScanRegistry& s, TLabel& l, TProgressBar& p) { return s.RunKeyCheck(TKeyCheckId::check, l, p); }

const std::wstring kExplorer = std::wstring(kVersion) + L"Explorer\\";

const TContractCase kCases[] = {
    {"App Paths", CALL(ScanAppPaths), 0, TSteps::Once, true, HKEY_LOCAL_MACHINE,
     {L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths"}, nullptr,
     [] { PlantSubKey(HKEY_LOCAL_MACHINE, std::wstring(kVersion) + L"App Paths"); }},
    {"Fonts", CALL(ScanFonts), 13, TSteps::Once, true, HKEY_LOCAL_MACHINE,
     {L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts"}, nullptr,
     [] { PlantValue(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts"); }},
    {"Help", CALL(ScanHelpFiles), 4, TSteps::Once, true, HKEY_LOCAL_MACHINE, {L"Software\\Microsoft\\Windows\\Help"},
     nullptr, [] { PlantValue(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\Help"); }},
    {"Html Help", CALL(ScanHtmlHelpFiles), 4, TSteps::Once, true, HKEY_LOCAL_MACHINE,
     {L"Software\\Microsoft\\Windows\\Html Help"}, nullptr,
     [] { PlantValue(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\Html Help"); }},
    {"File dialogs", CALL(ScanFileDialogHistory), 7, TSteps::Once, true, HKEY_CURRENT_USER,
     {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\LastVisitedMRU",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StreamMRU"},
     nullptr, [] { PlantValue(HKEY_CURRENT_USER, kExplorer + L"ComDlg32\\LastVisitedMRU"); }},
    {"Open and save", CALL(ScanOpenSaveHistory), 7, TSteps::Once, true, HKEY_CURRENT_USER,
     {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU"}, nullptr,
     [] { PlantSubKey(HKEY_CURRENT_USER, kExplorer + L"ComDlg32\\OpenSaveMRU"); }},
    {"Shared DLLs", CALL(ScanSharedDlls), 9, TSteps::PerEntry, true, HKEY_LOCAL_MACHINE,
     {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls"}, nullptr,
     [] { PlantValue(HKEY_LOCAL_MACHINE, std::wstring(kVersion) + L"SharedDlls", REG_DWORD); }},
    {"Menu order", CALL(ScanMenuOrderFolders), 14, TSteps::Once, true, HKEY_CURRENT_USER,
     {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\Programs"},
     L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2",
     [] {
         SetRegString(HKEY_CURRENT_USER, kShellFoldersKey, L"Programs", L"C:\\BrisfoldGone\\Programs");
         PlantSubKey(HKEY_CURRENT_USER, kExplorer + L"MenuOrder\\Start Menu\\Programs");
     }},
    {"User software", CALL(ScanUserSoftwareKeys), 1, TSteps::Once, true, HKEY_CURRENT_USER, {}, nullptr,
     [] { PlantSubKey(HKEY_CURRENT_USER, L"Software"); }},
    {"Machine software", CALL(ScanMachineSoftwareKeys), 1, TSteps::Once, true, HKEY_LOCAL_MACHINE, {}, nullptr,
     [] { PlantSubKey(HKEY_LOCAL_MACHINE, L"Software"); }},
    {"Installer folders", CALL(ScanInstallerFolders), 5, TSteps::Once, true, HKEY_LOCAL_MACHINE,
     {L"Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders"}, nullptr,
     [] { PlantValue(HKEY_LOCAL_MACHINE, std::wstring(kVersion) + L"Installer\\Folders"); }},
    {"Uninstall", CALL(ScanUninstallEntries), 10, TSteps::Once, true, HKEY_LOCAL_MACHINE,
     {L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"}, nullptr,
     [] { PlantSubKey(HKEY_LOCAL_MACHINE, std::wstring(kVersion) + L"Uninstall"); }},
    {"Sounds", CALL(ScanSoundEvents), 15, TSteps::Once, true, HKEY_CURRENT_USER,
     {L"AppEvents\\Schemes\\Apps\\.Default"}, nullptr,
     [] { PlantSubKey(HKEY_CURRENT_USER, L"AppEvents\\Schemes\\Apps\\.Default"); }},
    {"Start menu", CALL(ScanStartMenuOrder), 17, TSteps::Once, true, HKEY_CURRENT_USER,
     {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\Programs"}, nullptr,
     [] { PlantSubKey(HKEY_CURRENT_USER, kExplorer + L"MenuOrder\\Start Menu\\Programs"); }},
    {"Run", CALL(ScanRunEntries), 16, TSteps::Once, true, HKEY_LOCAL_MACHINE,
     {L"Software\\Microsoft\\Windows\\CurrentVersion\\Run"}, nullptr,
     [] { PlantValue(HKEY_LOCAL_MACHINE, std::wstring(kVersion) + L"Run"); }},
    {"MUI cache", CALL(ScanMuiCache), 18, TSteps::Once, false, HKEY_CURRENT_USER,
     {L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache"}, nullptr,
     [] { PlantValue(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache"); }},
    {"Drivers", CALL(ScanDrivers32), 20, TSteps::Never, true, HKEY_LOCAL_MACHINE,
     {L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32"}, nullptr,
     [] { PlantValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32"); }},
};

#undef CALL

class KeyCheckContract : public RegistryFixture {};

} // namespace

TEST_F(KeyCheckContract, EveryCheckKeepsItsContract)
{
    for (const TContractCase& c : kCases) {
        SCOPED_TRACE(c.Name);
        FreshRegistry();
        // On an empty registry: the label, the keys made, the steps taken.
        auto scanner = MakeScanner();
        BarWatch bar(Progress.Handle());
        EXPECT_EQ(c.Call(*scanner, Status, Progress), 0);
        EXPECT_EQ(Status.Caption(), L"Scanning Text " + std::to_wstring(c.LabelLine));
        EXPECT_EQ(bar.Steps, c.Steps == TSteps::Once ? 1 : 0);
        for (const wchar_t* key : c.Created)
            EXPECT_TRUE(RegKeyExists(c.Root, key)) << Narrow(key);
        if (c.NotCreated)
            EXPECT_FALSE(RegKeyExists(c.Root, c.NotCreated)) << Narrow(c.NotCreated);

        // With one entry and a stop asked for: the check pumps (or not) and leaves at that entry.
        c.Plant();
        bool pumped = false;
        AtNextPump([&] { pumped = true; });
        scanner->Stopped = 1;
        BarWatch stopped(Progress.Handle());
        EXPECT_EQ(c.Call(*scanner, Status, Progress), 0);
        EXPECT_EQ(pumped, c.Pumps);
        EXPECT_EQ(stopped.Steps, c.Steps == TSteps::Once ? 1 : 0) << "no step for an entry not looked at";
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
}
