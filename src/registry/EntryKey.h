#pragma once
// Opening the keys a check enumerates.
#include "common/Registry.h"

#include <string>

// A name with a null inside (the native registry calls can make one) is cut short by every call that
// takes a name, which would then reach another key or value: entries so named are never judged.
bool HoldsNull(const std::wstring& name);

// Opens the subkey name of parent for reading, without creating it. A registry link is not opened:
// the checks judge what a key holds itself, and nothing reached through a link is deleted. False
// when the key is a link, is gone or cannot be read; such a key is never judged, empty or not.
bool OpenEntryKey(HKEY parent, const std::wstring& name, TRegKey& key);

// The same, reading the key's values and subkeys' names at once; a link shows itself by its value.
bool OpenEntryContents(HKEY parent, const std::wstring& name, TRegKey& key, TRegKey::TContents& contents);
