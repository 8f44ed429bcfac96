#pragma once
// Where a registry key really lives. A key reached through HKEY_CLASSES_ROOT lives in the machine's
// or in the user's classes, and one reached through the 32-bit view lives below a Wow6432Node key;
// the kernel's name of the opened key tells which, and this turns it back into a root and a path.
#include <windows.h>

#include <string>

struct TKeyLocation {
    HKEY Root = nullptr;
    std::wstring Path; // below Root, no leading backslash; opened without redirection
    bool Found() const { return Root != nullptr; }
};

class TKeyLocator {
public:
    // Reads the kernel names of the roots as this process sees them now (they may be redirected).
    TKeyLocator();

    // The location of the key that root\path opens in the given view (0 or KEY_WOW64_32KEY); not
    // found when the key cannot be opened or its name cannot be asked.
    TKeyLocation Locate(HKEY root, const std::wstring& path, REGSAM view) const;

private:
    struct TRootName {
        HKEY Root;
        std::wstring KernelName;
    };
    TRootName Roots_[4];
};
