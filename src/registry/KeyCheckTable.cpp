// The table of the category checks that each walk one fixed key.
#include "registry/KeyCheck.h"
#include "registry/RegistryTexts.h"

#include <iterator>

namespace {

using enum TEntries;
using enum TStep;
using enum TImage;

// In the order of TKeyCheckId.
const TKeyCheck kKeyChecks[] = {
    {.Key = L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\", .Create = true,
     .Entries = SubKeys, .Line = RegText::AppPath, .Step = Once, .Pumps = true, .Image = Second,
     .ThirtyTwoBitTwin = true, .Rule = KeyRules::AppPath},
    {.Key = L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", .Create = true,
     .Entries = Values, .Types = kTextValues, .Line = RegText::Font, .Step = Once, .Pumps = true,
     .Image = Second, .Rule = KeyRules::Font},
    {.Key = L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\Help\\", .Create = true, .Entries = Values,
     .Types = kTextValues, .Line = RegText::HelpFile, .Step = Once, .Pumps = true, .Image = Second,
     .Rule = KeyRules::HelpFile},
    {.Key = L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\Html Help\\", .Create = true, .Entries = Values,
     .Types = kTextValues, .Line = RegText::HelpFile, .Step = Once, .Pumps = true, .Image = Second,
     .Rule = KeyRules::HelpFile},
    {.Key = L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\LastVisitedMRU",
     .Create = true,
     .SecondKey = L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StreamMRU",
     .SecondCreate = true, .Second = TSecondKey::AlsoWalked, .Entries = Values, .Types = kAnyValues,
     .Line = RegText::FileHistory, .Step = Once, .Pumps = true, .Image = Second,
     .Rule = KeyRules::FileDialogEntry},
    {.Key = L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\",
     .Create = true, .Entries = SubKeys, .Line = RegText::FileHistory, .Step = Once, .Pumps = true,
     .Image = Second, .Rule = KeyRules::OpenSaveGroup},
    {.Key = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls", .Create = true,
     .Entries = Values, .Types = kNumberValues, .Line = RegText::SharedDll, .Step = PerEntry, .Pumps = true,
     .Image = First, .ThirtyTwoBitTwin = true, .Rule = KeyRules::SharedDll},
    {.Key = L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start "
            L"Menu\\Programs\\",
     .Create = true,
     .SecondKey = L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start "
                  L"Menu2\\Programs\\",
     .Second = TSecondKey::InsteadOfEmptyFirst, .Entries = SubKeys, .Line = RegText::MenuOrder, .Step = Once,
     .Pumps = true, .Image = First, .Prepare = KeyRules::ProgramsFolders, .Rule = KeyRules::MenuOrderFolder},
    {.Key = L"HKEY_CURRENT_USER\\Software\\", .Entries = SubKeys, .Line = RegText::EmptyKey, .Step = Once,
     .Pumps = true, .Image = Second, .Rule = KeyRules::EmptySoftwareKey},
    {.Key = L"HKEY_LOCAL_MACHINE\\Software\\", .Entries = SubKeys, .Line = RegText::EmptyKey, .Step = Once,
     .Pumps = true, .Image = First, .Rule = KeyRules::EmptySoftwareKey},
    {.Key = L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders\\",
     .Create = true, .Entries = Values, .Types = kTextValues, .Line = RegText::InstallerFolder, .Step = Once,
     .Pumps = true, .Image = Second, .Rule = KeyRules::InstallerFolder},
    {.Key = L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\", .Create = true,
     .Entries = SubKeys, .Line = RegText::Uninstall, .Step = Once, .Pumps = true, .Image = Second,
     .ThirtyTwoBitTwin = true, .Rule = KeyRules::UninstallEntry},
    {.Key = L"HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\.Default\\", .Create = true, .Entries = SubKeys,
     .Line = RegText::Sound, .Step = Once, .Pumps = true, .Image = Second, .Rule = KeyRules::SoundEvent},
    {.Key = L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start "
            L"Menu\\Programs\\",
     .Create = true, .Entries = SubKeys, .Line = RegText::StartMenu, .Step = Once, .Pumps = true,
     .Image = Second, .Rule = KeyRules::StartMenuOrderEntry},
    {.Key = L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", .Create = true,
     .Entries = Values, .Types = kTextValues, .Line = RegText::Startup, .Step = Once, .Pumps = true,
     .Image = Second, .ThirtyTwoBitTwin = true, .Rule = KeyRules::RunEntry},
    // The one check that does not pump messages.
    {.Key = L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache\\", .Create = true,
     .Entries = Values, .Types = kPlainTextValues, .Line = RegText::MuiCache, .Step = Once, .Pumps = false,
     .Image = Second, .Rule = KeyRules::MuiCacheEntry},
    {.Key = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32\\", .Create = true,
     .Entries = Values, .Types = kTextValues, .Line = RegText::Driver, .Step = Never, .Pumps = true,
     .Image = First, .Rule = KeyRules::Driver32},
};

static_assert(std::size(kKeyChecks) == static_cast<size_t>(TKeyCheckId::ScanDrivers32) + 1, "one row per check");

} // namespace

const TKeyCheck& KeyCheck(TKeyCheckId id) { return kKeyChecks[static_cast<size_t>(id)]; }
