#pragma once
// The recent-file lists, histories and caches of seventeen desktop applications (positions 16 to 32):
// one table of what each application leaves behind, walked by one routine. Nothing is detected beyond
// the existence of these folders, files, keys and values.
#include "privacy/CategoryContext.h"

#include <string>
#include <vector>

enum class TApplicationWork {
    ListFolder,     // the folder's own entries, one level
    ListFolderTree, // every file below the folder
    ListFile,       // one file
    CheckKey,       // a key below HKEY_CURRENT_USER, listed (and deleted) whole
    CheckValue,     // "key|value" below HKEY_CURRENT_USER
};

// Where a folder or file entry's path starts.
enum class TApplicationBase {
    CurrentUser, // registry entries
    AppData,     // the user's application data folder
    Drive,       // the Windows folder's drive ("C:")
};

struct TApplicationEntry {
    TApplicationWork Work;
    TApplicationBase Base;
    const wchar_t* Path; // below its base, beginning with "\"
};

struct TApplicationRow {
    const wchar_t* Key;
    const wchar_t* Subject; // the status line's subject; nullptr: the first 60 characters of the row's first folder
    std::vector<TApplicationEntry> Entries; // in the order they are looked at: folders and files first
};

// In position order, 16 to 32.
const std::vector<TApplicationRow>& ApplicationRows();

// The drive of a Windows folder ("C:" of "C:\Windows"); empty unless it is a drive letter and a
// colon, so that the locations built on it never fall back to the current drive's root.
std::wstring WindowsDrive(const std::wstring& windowsFolder);

// The folders the table names on the drive of that Windows folder (below Program Files): of a folder
// entry the folder, of a file entry the file's folder.
std::vector<std::wstring> ApplicationDriveFolders(const std::wstring& windowsFolder);

// Lists what the row of that key finds.
void ScanApplication(TCategoryContext& context, const std::wstring& key);
