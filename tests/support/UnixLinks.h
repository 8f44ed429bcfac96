#pragma once
// Real symbolic links for tests under Wine. A Windows program cannot call symlink(), but Wine starts
// a Unix program given to CreateProcessW, so the links are made and removed by /bin/ln and /bin/rm.
#include <string>

// The Unix path of a Windows path (wine_get_unix_file_name); empty when not running under Wine.
std::string UnixPath(const std::wstring& windowsPath);
bool RunningUnderWine();
// The same place in Wine's device form for Unix paths ("\\?\unix\home\..."), which Windows
// programs can open under Wine; empty when not running under Wine.
std::wstring WineUnixDevicePath(const std::wstring& windowsPath);
// Makes link point at target (both Windows paths); true on success. Both must lie in the test program's
// scratch folders (ScratchRoot): a failed test must never leave a link that reaches the prefix's or
// the developer's own files.
bool MakeUnixSymlink(const std::wstring& target, const std::wstring& link);
// Removes the link itself, never its target.
bool RemoveUnixLink(const std::wstring& link);
// Removes a folder tree from the Unix side, which never follows links (Wine's own listing hides links
// whose target is gone, so a Windows walk cannot remove those).
bool RemoveUnixTree(const std::wstring& path);
// Maps a drive letter of this Wine prefix to a folder, as its drive configuration does (a link in the
// prefix's dosdevices folder); true once the drive answers. Fails when the letter is taken, and for a
// folder outside the test program's scratch folders.
bool MapUnixDrive(wchar_t letter, const std::wstring& folder);
// Removes such a mapping (only a link is removed); true once the drive no longer answers.
bool UnmapUnixDrive(wchar_t letter);
