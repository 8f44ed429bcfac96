#pragma once
// The path tests that the registry checks share. Pure functions of their text (the drive-type
// question is handed in), so that each rule is testable without a registry or a disk.
#include <windows.h>

#include <functional>
#include <string>

// Answers GetDriveTypeW for a drive root such as "C:\".
using TDriveTypeQuery = std::function<UINT(const std::wstring& root)>;
// Answers GetFileAttributesW for a path, with the error when it fails.
struct TPathAttributes {
    DWORD Attributes = INVALID_FILE_ATTRIBUTES;
    DWORD Error = ERROR_SUCCESS;
};
using TAttributesQuery = std::function<TPathAttributes(const std::wstring& path)>;
// The system's answer.
TPathAttributes QueryPathAttributes(const std::wstring& path);

// The text in lower case (a path as the deep scan and the extension tests compare it).
std::wstring Lower(std::wstring text);
// Every "%SystemRoot%" (this exact case) replaced by the Windows folder.
std::wstring ExpandSystemRoot(std::wstring text, const std::wstring& windowsFolder);
// Every double quote removed.
std::wstring RemoveQuotes(std::wstring text);
int CountQuotes(const std::wstring& text);
// The second character is ":" and no ":" follows it.
bool HasDrivePathForm(const std::wstring& text);
// The text begins with a drive letter, a colon and a backslash, and that drive is a fixed drive.
// Nothing else is asked about: an empty or malformed text fails without a question.
bool PassesFixedDriveTest(const std::wstring& text, const TDriveTypeQuery& driveType);
// The text cut just after the first known extension that occurs in it, tried in the order
// ".exe", ".dll", ".ocx", ".ax", ".cpl", ".ico" (case-insensitive); unchanged when none occurs.
std::wstring CutAtKnownExtension(const std::wstring& text);
// The cut text ends in a dot and three characters (or, with twoCharacters, a dot and two).
// A text too short to hold a dot there has no mark.
bool HasExtensionMark(const std::wstring& text, bool twoCharacters);
// The text itself, not cut, ends in a dot and three characters.
bool EndsInDotAndThree(const std::wstring& text);
