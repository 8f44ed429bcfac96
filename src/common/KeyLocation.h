#pragma once
// Where a registry key really lives: the program's one locator. A key reached through
// HKEY_CLASSES_ROOT lives in the machine's or in the user's classes, one reached through a 32-bit
// view below a Wow6432Node key, one named through the system's own links (CurrentControlSet, the
// 32-bit classes, the user's classes) in the key the link leads to; the kernel's name of the key
// reached tells which, and this turns it back into a root and a path that the gate can walk one step
// at a time. Any other link on the way is not followed: the key is then located at that link, where
// the gate refuses to delete.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The names of a key path, empty ones (doubled or outer backslashes) left out; and the first count of
// them joined again (all by default).
std::vector<std::wstring> KeySteps(const std::wstring& path);
std::wstring JoinedKeySteps(const std::vector<std::wstring>& steps, size_t count = SIZE_MAX);

struct TKeyLocation {
    HKEY Root = nullptr;
    std::wstring Path; // below Root, no leading backslash; to be opened without a view flag
    // A link that is not the system's own lies on the way (Path then names that link and the rest).
    bool CrossesLink = false;
    bool Found() const { return Root != nullptr; }
    // "HKEY_LOCAL_MACHINE\Software\Wow6432Node\X"; empty when not found.
    std::wstring Display() const;
};

class TKeyLocator {
public:
    // The location of the key that root\path opens in the given view (opened: that key, when the
    // caller holds it open already); not found when the key cannot be opened or its name cannot be
    // asked.
    TKeyLocation Locate(HKEY root, const std::wstring& path, REGSAM view, HKEY opened = nullptr) const;

private:
    // The location of an open key by its kernel name; the most specific of the three hives (the
    // current user's lies below HKEY_USERS), the classes root only where none of them holds the key.
    TKeyLocation FromKernelName(const std::wstring& name) const;
    TKeyLocation WalkSteps(HKEY root, const std::wstring& path, REGSAM view) const;
    bool IsSystemLink(const TKeyLocation& link) const;
    // The kernel's name of a root as this process sees it now (it may be redirected), asked once.
    const std::wstring& RootName(int index) const;
    int RootIndex(HKEY root) const;

    static constexpr int kRoots = 4;
    mutable std::wstring Names_[kRoots];
};
