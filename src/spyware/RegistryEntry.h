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
    std::wstring Text;      // the entry as the definition writes it
    std::wstring KeyPath;   // text before the first "|" (the whole entry when it has none)
    std::wstring ValueName; // text after the last "|"
    bool IsValue = false;
    // Every root the key path names, in test order: classes root, current user or local machine
    // (the first of them found), then the users root. The last one decides whether the entry is present.
    std::vector<TRegistryLocation> Locations;
};

// Where an entry was found present: the key where it really lies (TKeyLocator), opened without a view.
struct TRegistryHit {
    HKEY Root = nullptr;
    std::wstring SubKey;
    REGSAM View = 0;
    // What the row shows: the entry as written for the native view, the real key (and "|" value)
    // for a 32-bit twin.
    std::wstring Display;
};

TRegistryEntry ParseRegistryEntry(const std::wstring& entry);

// The places where the entry is present: the deciding location in the native view, and its 32-bit
// twin where that is a different key (32-bit programs on 64-bit Windows keep theirs apart), each
// located where it really lies. A whole key is present when it opens for reading; a value when its key
// opens and the value exists (of any type, also empty). The subkey path is used as written: a path
// that does not open is not found.
std::vector<TRegistryHit> FindRegistryEntry(const TRegistryEntry& entry);

// Deletes the value, or the key with everything below it, at exactly that place.
TOutcome DeleteRegistryHit(const TRegistryHit& hit, const TRegistryEntry& entry);
