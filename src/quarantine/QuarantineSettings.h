#pragma once
// How long the quarantine keeps a run: "QuarantineDays" in section "Spyware Removal" of Main.ini, or its
// policy value. Runs older than that are deleted when the program starts; 0 keeps them until deleted by
// hand.
#include "common/Settings.h"
#include "common/SettingsTable.h"

#include <string>

// The setting as the start-up uses it: absent or not a number, the default; below 0, 0 (a negative age
// would delete what the user just removed); above the longest, the longest. A policy value outside the
// range is ignored.
int ReadQuarantineDays(const TSettings& settings);
// Main.ini at iniFile under the system's policy values.
int ReadQuarantineDays(const std::wstring& iniFile);
