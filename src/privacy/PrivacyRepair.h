#pragma once
// What the privacy clean-up needs besides the safe deletion routines and the process queries: the
// deletion of a key below HKEY_CURRENT_USER.
#include "common/RepairOutcome.h"
#include "common/Types.h"

#include <string>

// Deletes the key ("\Software\...") below HKEY_CURRENT_USER with everything below it. The root itself,
// a key that is a registry link, lies below one or holds one are refused: nothing is deleted through
// a link.
[[nodiscard]] TOutcome DeleteRegistryKey(const std::wstring& keyPath);
// Deletes one value of a key below HKEY_CURRENT_USER; refused when the key is a link or lies below one.
[[nodiscard]] TOutcome DeleteRegistryValue(const std::wstring& keyPath, const std::wstring& valueName);
