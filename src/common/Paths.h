#pragma once
// Small path helpers shared by the scanners.
#include <string>
#include <vector>

// The shell's folder of a CSIDL number; empty when the shell has none.
std::wstring ShellFolder(int csidl);
// The path with one trailing backslash (an empty path stays empty).
std::wstring WithBackslash(std::wstring path);
// The folder a path lies in, with its trailing backslash; empty for a bare name.
std::wstring ParentFolder(const std::wstring& path);
// Replaces every occurrence of what (exact case); an empty what replaces nothing.
void ReplaceAll(std::wstring& text, const std::wstring& what, const std::wstring& with);
// The drive root of the system folder, for instance "C:\".
std::wstring SystemDriveRoot();
// True when path is folder or lies below it, compared without regard to case (folder given with or
// without a trailing backslash).
bool PathIsAtOrBelow(const std::wstring& path, const std::wstring& folder);

// "X:\..." or "\\server\share\...": a path that names the same place whatever the current drive and
// folder. "\x", "X:x", "x" and device paths ("\\?\", "\\.\") are not.
bool IsFullyQualifiedPath(const std::wstring& path);

// Creates the folder and its missing parents (a trailing backslash is fine); true when the folder is
// there afterwards.
bool CreateFolderChain(const std::wstring& folder);

// The form of a full path that Win32 calls take beyond MAX_PATH characters whatever the system's
// settings ("\\?\C:\...", "\\?\UNC\server\..."); a shorter path, or one in another form, as it is.
std::wstring LongPathForm(const std::wstring& path);
// A full path of MAX_PATH characters or more in a form that services limited to MAX_PATH (the INI
// files) take: its short form where the file system has one that fits, else its \\?\ form. Shorter
// paths as they are.
std::wstring PathWithinMaxPath(const std::wstring& path);

// Where a 32-bit program on 64-bit Windows reaches a path: the system folder means SysWOW64, the
// Program Files folders mean their (x86) twins. The path itself where nothing is redirected, and on
// a system without a 32-bit side.
std::wstring PathFor32BitView(const std::wstring& path);
// The same with the folders asked of the system once, for callers that map many paths.
class T32BitFolders {
public:
    T32BitFolders();
    std::wstring Map(const std::wstring& path) const;

private:
    struct TRedirect {
        std::wstring Native;
        std::wstring Wow;
    };
    std::vector<TRedirect> Redirects_;
};
// The 32-bit twins of the system and Program Files folders; empty where the system has none.
std::wstring SystemFolder32();
std::wstring ProgramFilesFolder32();
