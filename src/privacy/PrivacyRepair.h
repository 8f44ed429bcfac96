#pragma once
// What the privacy clean-up needs besides the safe deletion routines: the process list, and the
// deletion of a key below HKEY_CURRENT_USER.
#include "common/RepairOutcome.h"
#include "common/Types.h"

#include <string>

// The executable names of all running processes.
TWideStrings GetProcessNames();
// True when a process of that executable name runs (compared without regard to case).
bool IsProcessRunning(const std::wstring& exeName);

// Deletes the key ("\Software\...") below HKEY_CURRENT_USER with everything below it. The root itself
// and a tree holding a registry link are refused.
[[nodiscard]] TOutcome DeleteRegistryKey(const std::wstring& keyPath);
