#pragma once
// The folders that hold people's own files: the user's data folders and the Public folders, wherever
// the system names them.
#include <windows.h>
#include <shtypes.h>

#include <string>
#include <vector>

// The known folder's path, without creating or checking it; empty where the system has none (systems
// before Vista have no known folders at all).
std::wstring KnownFolder(REFKNOWNFOLDERID id);

// Desktop, Documents, Pictures, Music, Videos, Favorites, Downloads, Saved Games, Contacts, Links,
// Searches and OneDrive: each as its value in the user's "User Shell Folders" key names it (expanded)
// and as the known-folder service answers. A folder named twice is listed twice.
std::vector<std::wstring> UserDataFolders();
// The Public folder and its Desktop, Documents, Downloads, Music, Pictures and Videos, the same way
// from the machine's "User Shell Folders" key and the known-folder service.
std::vector<std::wstring> PublicDataFolders();
