#pragma once
// The registry scan's categories as switches of Main.ini, in the order the scan runs them; the scan
// and the settings dialog both read them from here.
#include <iterator>

class TIniFile;

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

// On when the switch's text, blanks trimmed, is exactly "1".
bool RegistrySwitchOn(const TIniFile& settings, int position);
