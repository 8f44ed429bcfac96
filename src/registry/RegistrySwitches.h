#pragma once
// The registry scan's categories as switches of Main.ini (or of a policy), in the order the scan runs
// them; the scan and the settings dialog both read them from here. They are the rows of the settings
// table's section "RegistryOpt".
#include "common/SettingsTable.h"

class TSettings;

inline constexpr const TSettingRule* kRegistrySwitches = kSettingRules + kFirstRegistrySwitchRule;
static_assert(kFirstRegistrySwitchRule + kRegistrySwitchCount <= kSettingCount);

// On when the switch's text, blanks trimmed, is exactly "1".
bool RegistrySwitchOn(const TSettings& settings, int position);
