#pragma once
// One form for a path written in any of the forms the system accepts, so that two texts naming the
// same place compare equal, and a text that names no place without help (the current directory, a
// device that is no drive) is recognised as such.
#include <string>

// The path as a plain full path, "C:\a\b" or "\\server\share\a":
// - the device and NT prefixes resolved: "\??\", "\\?\", "\\.\", "\DosDevices\", "\GLOBAL??\",
//   "\\?\UNC\", "\\?\GLOBALROOT\Device\..." and "\Device\..." (by the drive letter that names that
//   device), "\\?\Volume{...}\" (by the volume's first mount path);
// - forward slashes turned, empty and "." steps dropped, ".." steps taken (never above the root);
// - each name without its stream suffix ("Windows::$INDEX_ALLOCATION") and its trailing dots and
//   blanks, which the system drops when it opens a path;
// - no trailing backslash, but a drive root keeps its own ("C:\"); "C:" alone is that root.
// Short names stay as they are (see LongFullPath). Empty for what cannot be resolved: a relative
// path, "\name" or "C:name" (the current directory would decide), a device that is no drive
// ("\\.\pipe\x", "\\?\unix\..."), wildcards or control characters, a name of dots and blanks alone.
std::wstring PlainFullPath(const std::wstring& path);

// The plain full path with its short names replaced by the long ones, as far as the path exists.
// Empty when PlainFullPath is.
std::wstring LongFullPath(const std::wstring& path);

// The length of the plain full path's root: 3 for "C:\", the length of "\\server\share" for a share.
size_t PlainRootLength(const std::wstring& plainPath);
