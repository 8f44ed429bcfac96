#pragma once
// Where a registry key really lives. A key reached through HKEY_CLASSES_ROOT lives in the machine's
// or in the user's classes, and one reached through a 32-bit view lives below a Wow6432Node key; the
// kernel's name of the opened key tells which, and this turns it back into a root and a path.
#include <windows.h>

#include <string>

struct TKeyLocation {
    HKEY Root = nullptr;
    std::wstring Path; // below Root, no leading backslash; to be opened without a view flag
    bool Found() const { return Root != nullptr; }
};

class TKeyLocator {
public:
    // The location of the key that root\path opens in the given view; not found when the key cannot
    // be opened or its name cannot be asked.
    TKeyLocation Locate(HKEY root, const std::wstring& path, REGSAM view) const;
    // The location of a key that is open already.
    TKeyLocation Locate(HKEY opened) const;

private:
    // The kernel's name of a root as this process sees it now (it may be redirected), asked once.
    const std::wstring& RootName(int index) const;

    static constexpr int kRoots = 4;
    mutable std::wstring Names_[kRoots];
};
