#pragma once
// Every deletion of the program goes through here. Each routine refuses to act through a link:
// under Wine deleting a link deletes its target (DeleteFileW on a symlink removes the file it points
// to, RemoveDirectoryW on a link to an empty folder removes that folder, RegDeleteTreeW follows
// registry links and empties their targets).
#include "common/RepairOutcome.h"

#include <windows.h>

#include <string>

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

// Each returns Removed, AlreadyGone, Refused (a link), InUse (a file held open without delete sharing)
// or Failed. view is 0 or KEY_WOW64_32KEY / KEY_WOW64_64KEY for the registry routines.
[[nodiscard]] TOutcome DeleteFileSafe(const std::wstring& path);
// Removes an empty folder only.
[[nodiscard]] TOutcome RemoveFolderSafe(const std::wstring& path);
[[nodiscard]] TOutcome DeleteRegValueSafe(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                                          REGSAM view = 0);
// What a tree deletion does with registry links in the tree: the program refuses the whole tree (an
// undo file could not bring a link back); cleaning up scratch keys removes the links themselves,
// never entering them.
enum class TLinkPolicy { Refuse, RemoveLinks };
// Deletes the key with everything below it. An empty key path (the root itself) is refused.
[[nodiscard]] TOutcome DeleteRegTreeSafe(HKEY root, const std::wstring& keyPath, REGSAM view = 0,
                                         TLinkPolicy links = TLinkPolicy::Refuse);
