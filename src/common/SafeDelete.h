#pragma once
// Every deletion of the program goes through here. Each routine refuses to act through a link:
// under Wine deleting a link deletes its target (DeleteFileW on a symlink removes the file it points
// to, RemoveDirectoryW on a link to an empty folder removes that folder, RegDeleteTreeW follows
// registry links and empties their targets).
#include <windows.h>

#include <string>

enum class TDeleteResult { Deleted, NotFound, RefusedLink, Failed };

// A folder link shows FILE_ATTRIBUTE_REPARSE_POINT; a file link looks like a plain file whose final
// path (GetFinalPathNameByHandleW) names another place than its folder and name.
// The path the file system resolves for a name (a link resolves to its target's). Opened without
// access rights, so a file in use without sharing still answers; flags as for CreateFileW.
std::wstring FinalPath(const std::wstring& path, DWORD flags);

bool IsFolderLink(const std::wstring& path);
// True where a file link shows no reparse attribute and only its final path tells (Wine). On Windows
// a file link is always a reparse point, so the costly probe is not needed there.
bool FileLinksLookPlain();
bool IsFileLink(const std::wstring& path);
bool IsLink(const std::wstring& path);

TDeleteResult DeleteFileSafe(const std::wstring& path);
// Removes an empty folder only.
TDeleteResult RemoveFolderSafe(const std::wstring& path);
TDeleteResult DeleteRegValueSafe(HKEY root, const std::wstring& keyPath, const std::wstring& valueName);
// Deletes the key with everything below it; a link key below it is removed without descending, and
// an empty key path (the root itself) is refused.
TDeleteResult DeleteRegTreeSafe(HKEY root, const std::wstring& keyPath);
