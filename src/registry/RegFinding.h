#pragma once
// One finding of the registry fixer: what Repair deletes (typed) and what the list shows (texts).
#include <windows.h>

#include <cstdint>
#include <string>

enum class TFindingKind {
    Key,   // the key with everything below it
    Value, // one value of the key (an empty name is the key's default value)
};

struct TRegFinding {
    TFindingKind Kind = TFindingKind::Key;
    // Where the check read it: a root, the view (0, or KEY_WOW64_32KEY for what 32-bit programs see)
    // and the key's path below the root.
    HKEY Root = nullptr;
    REGSAM View = 0;
    std::wstring KeyPath;
    // An entry of 32-bit programs (on 64-bit Windows), whose paths were judged as those programs see them.
    bool ThirtyTwoBit = false;
    std::wstring ValueName;
    // The hive and path that hold the key, found when it was recorded (empty Root: unknown). Repair
    // deletes there and the undo file names it, so that neither depends on a merged or redirected view.
    HKEY HiveRoot = nullptr;
    std::wstring HivePath;

    // The list view's columns and icon.
    std::wstring ItemName;
    std::wstring KeyText;
    std::wstring ValueText; // "N/A" for a key finding, else the value's name
    std::wstring DataText;
    int32_t ImageIndex = 0;
};

// The marker of a key finding in the value column.
inline constexpr wchar_t kWholeKey[] = L"N/A";
