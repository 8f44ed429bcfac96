#pragma once
// The views of HKEY_CLASSES_ROOT that the COM class and type library checks walk. On 64-bit Windows
// 32-bit programs register below Wow6432Node; their entries name files as a 32-bit program sees them.
#include <windows.h>

#include <string>
#include <vector>

struct TClassesView {
    REGSAM Access = 0;        // 0, or KEY_WOW64_32KEY
    std::wstring DisplayRoot; // the key column's text before the path, ending in a backslash
    bool ThirtyTwoBit() const { return Access == KEY_WOW64_32KEY; }
};

// The native view of HKEY_CLASSES_ROOT\key, then its 32-bit twin where that is a key of its own.
std::vector<TClassesView> ClassesViews(const std::wstring& key);

// Opens HKEY_CLASSES_ROOT\key in the view: the native key read-only, created (empty) only when it is
// missing; the 32-bit twin is never created.
bool OpenClassesKey(class TRegKey& key, const TClassesView& view, const std::wstring& path);

// Whether a path names an existing file (or folder) for the programs of a view. For a 32-bit program
// System32 means SysWOW64 and Program Files its (x86) twin; since the entry may also have been written
// with the real name, the path counts as present when either place holds it.
bool FileSeen(const std::wstring& path, bool thirtyTwoBit);
bool FolderSeen(const std::wstring& path, bool thirtyTwoBit);
