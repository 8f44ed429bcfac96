#pragma once
// The settings dialog: writes Main.ini (the junk-file switches, today's Windows' included, and age, the registry scan's
// categories, the language). Switches take effect at the next scan, the language at the next start.
// A setting that a policy sets is shown greyed, with a note on its group, and is not written.
#include "app/OptionTexts.h"
#include "registry/RegistrySwitches.h"

#include <windows.h>

#include <iterator>
#include <string>
#include <vector>


// The items of the dialog, for the keyboard and for tests.
namespace SettingsItem {
enum : int {
    TempFile = 1001,
    IECache = 1002,
    Recycle = 1003,
    RemoveDay = 1004,
    RemoveDaySpin = 1005,
    Language = 1006,
    QuarantineDays = 1007,
    QuarantineDaysSpin = 1008,
    FirstJunkSwitch = 1010, // + position in kJunkSwitches
    FirstRegistrySwitch = 1100, // + position in kRegistrySwitches
};
}

// The .lng files of the program's Language folder, by name without extension.
std::vector<std::wstring> LanguagesPresent(const std::wstring& programFolder);

// Shows the dialog over owner; true when the user saved the settings.
bool ShowSettingsDialog(HWND owner, const TOptionsContext& options);
