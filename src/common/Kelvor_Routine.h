#pragma once
// Small system helpers shared by every scanner.
#include <cstdint>
#include <string>

// True when the path names an existing file (not a folder) / an existing folder.
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
// "Windows NT", "Windows 2000", "Windows XP", "Windows 2003 Server", "Windows Vista" or empty
std::wstring WindowsVersionName();

// With ch != 0: the text after / before the last ch (after: whole text when absent; before: empty).
// With ch == 0: the last / first count characters.
std::wstring TextAfterLast(const std::wstring& text, int count, wchar_t ch);
std::wstring TextBeforeLast(const std::wstring& text, int count, wchar_t ch);

// The text without blanks and control characters at either end.
std::wstring TrimText(const std::wstring& text);

// 1 KB = 1024 bytes, two decimals with the system's decimal separator.
// FormatSize shows sizes under 1 KB in bytes ("512 bytes"); FormatSizeZero shows them as "0 bytes".
std::wstring FormatSize(int64_t bytes);
std::wstring FormatSizeZero(int64_t bytes);

// Sum of the sizes of the folder's files (and of its sub-folders when recurse is set); links are not
// followed; 0 when the folder cannot be listed.
int64_t FolderSize(const std::wstring& path, bool recurse);

// True when the file exists and cannot be opened for exclusive read/write use.
bool IsFileLocked(const std::wstring& path);

// One string of the file's version resource: 0 Comments, 1 CompanyName, 2 FileDescription,
// 3 FileVersion, 4 InternalName, 5 LegalCopyright, 6 LegalTrademarks, 7 OriginalFileName,
// 8 ProductName, 9 ProductVersion. Empty when absent.
std::wstring FileVersionText(const std::wstring& path, int index);
