#pragma once
// The settings dialog: writes Main.ini (the junk-file switches and age, the registry scan's
// categories, the language). Switches take effect at the next scan, the language at the next start.
#include "app/OptionTexts.h"

#include <windows.h>

#include <iterator>
#include <string>
#include <vector>

// The registry scan's categories, section "RegistryOpt", in the order the scan reads them.
struct TRegistrySwitch {
    const wchar_t* Key;
    bool DefaultOn;
};
inline constexpr TRegistrySwitch kRegistrySwitches[] = {
    {L"Active", true},     {L"App", true},     {L"Filetypes", true},  {L"Fonts", true},    {L"Help", true},
    {L"History", true},    {L"Shared", true},  {L"Shortcut", true},   {L"Software", true}, {L"Sounds", true},
    {L"Startmenu", true},  {L"Startup", true}, {L"Mui", true},        {L"Fileextend", true},
    {L"Classes", true},    {L"Openscan", false}, {L"System", true},
};
inline constexpr int kRegistrySwitchCount = static_cast<int>(std::size(kRegistrySwitches));
inline constexpr wchar_t kRegistrySection[] = L"RegistryOpt";

// The items of the dialog, for the keyboard and for tests.
namespace SettingsItem {
enum : int {
    TempFile = 1001,
    IECache = 1002,
    Recycle = 1003,
    RemoveDay = 1004,
    RemoveDaySpin = 1005,
    Language = 1006,
    FirstRegistrySwitch = 1100, // + position in kRegistrySwitches
};
}
inline constexpr int kMaxRemoveDay = 365;

// The .lng files of the program's Language folder, by name without extension.
std::vector<std::wstring> LanguagesPresent(const std::wstring& programFolder);

// Shows the dialog over owner; true when the user saved the settings.
bool ShowSettingsDialog(HWND owner, const TOptionsContext& options);
