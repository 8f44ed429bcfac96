#pragma once
// Where an item must really lie before anything may delete it. A scanner is asked to look in a root
// (a shell folder, a drive's recycle bin, the folder a definition's macro names, a browser profile):
// the root itself may be reached through a link (users move their profile with a junction), but
// nothing below it may be. The expected path is the root's resolved path followed by each step below
// it exactly as the file system lists it; the gate compares it with the final path of the handle it is
// about to delete through. Compared exactly: a link "foo.txt" to "FOO.txt" resolves to another name.
#include <windows.h>

#include <string>

// The path the file system resolves for a name (a link resolves to its target's), as the system
// gives it ("\\?\C:\..."). Opened without access rights, so a file in use without sharing still
// answers; flags as for CreateFileW. Empty when it cannot be asked.
std::wstring FinalPath(const std::wstring& path, DWORD flags);
// The plain final path of an open item (links followed, as PlainFinalPath gives it); empty when it
// cannot be told.
std::wstring HandleFinalPath(HANDLE item);
// "\\?\C:\x" -> "C:\x", "\\?\UNC\server\share\x" -> "\\server\share\x". Any other form (a volume
// GUID, another namespace such as Wine's "\\?\unix\...") names no plain path: empty.
std::wstring PlainFinalPath(const std::wstring& raw);
// The plain final path of a folder or file, links followed; empty when it cannot be told.
std::wstring ResolvedPath(const std::wstring& path);

// The expected path of path, which lies at or below root: root's resolved path and, for each step
// below it, the name the file system lists for it. Empty (nothing may be deleted) when path does not
// lie below root, a step is missing, or a step names no single entry ("", ".", "..", wildcards).
std::wstring ExpectedPath(const std::wstring& root, const std::wstring& path);
// The expected path of an entry a walk listed in a folder whose expected path is known.
std::wstring ExpectedChild(const std::wstring& expectedFolder, const wchar_t* listedName);

// True on Wine, where a file link shows no reparse attribute and only its final path tells. On
// Windows every link is a reparse point, so the costly probe is not needed there.
bool FileLinksLookPlain();
// The one link probe for a file or folder entry that a listing returned with its attributes: false
// for a reparse point, and (where links look plain) for an entry that does not resolve to exactly its
// expected path, or that is gone.
bool IsPlainEntry(const std::wstring& path, const std::wstring& expected, DWORD listedAttributes);
