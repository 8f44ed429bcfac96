#pragma once
// A registry entry of a definition: "ROOT\key path" (a whole key) or "ROOT\key path|value name".
#include "common/RepairOutcome.h"

#include <windows.h>

#include <string>
#include <vector>

struct TRegistryLocation {
    HKEY Root = nullptr;
    std::wstring SubKey; // relative to Root, without leading backslash
};

struct TRegistryEntry {
    std::wstring KeyPath;   // text before the first "|" (the whole entry when it has none)
    std::wstring ValueName; // text after the last "|"
    bool IsValue = false;
    // Every root the key path names, in test order: classes root, current user or local machine
    // (the first of them found), then the users root. The last one decides whether the entry is present.
    std::vector<TRegistryLocation> Locations;
};

TRegistryEntry ParseRegistryEntry(const std::wstring& entry);

// A whole key is present when it opens for reading; a value when its key opens for reading and
// the value exists (of any type, also empty).
bool RegistryEntryPresent(const TRegistryEntry& entry);

// Deletes the value, or the key with everything below it, under every root the entry names; the
// outcome of the root that decides whether the entry is present.
TOutcome DeleteRegistryEntry(const TRegistryEntry& entry);
