#pragma once
// The path tests that the registry checks share. Pure functions of their text (the drive-type
// question is handed in), so that each rule is testable without a registry or a disk.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

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
// Every cut of the text just after a known extension (".exe", ".dll", ".ocx", ".ax", ".cpl", ".ico",
// any case) that ends a name: followed by a double quote, a blank, a comma or the end. In the order
// they occur. An extension inside a name ("Acme.Executive", "anna.exeter", "Report.dllx") is none.
std::vector<std::wstring> ExtensionCuts(const std::wstring& text);
// The first of those cuts; the text itself when there is none.
std::wstring CutAtKnownExtension(const std::wstring& text);
// The text up to each blank in it, in order (what the system tries for an unquoted command).
std::vector<std::wstring> PrefixesAtBlanks(const std::wstring& text);
// The forms of a path that drivers and services are registered with, resolved where they begin the
// text: "\SystemRoot\..." and "System32\..." (relative to the Windows folder), "\??\C:\...",
// "\\?\C:\...", "\\.\C:\..." and "\DosDevices\C:\..." (a drive path behind a device prefix). Any other
// text as it is.
std::wstring ResolveSystemForms(const std::wstring& text, const std::wstring& windowsFolder);

// The program part of a command line as the system parses it: a quoted first token, or, unquoted,
// each prefix that ends at a blank (before any quote) and the whole unquoted head. Not parsed: an
// empty command, an empty or unclosed quoted token, an unquoted command with an odd number of quotes.
struct TCommandProgram {
    bool Parsed = false;
    std::vector<std::wstring> Candidates;
};
TCommandProgram ProgramOfCommand(const std::wstring& command);
// The last name of the path has no dot: the system adds ".exe" to a program named so.
bool LacksExtension(const std::wstring& path);
// A full local path ("C:\..."), or a bare file name (no drive, no folder, no variable).
bool IsFullLocalPath(const std::wstring& text);
bool IsBareName(const std::wstring& text);
// The cut text ends in a dot and three characters (or, with twoCharacters, a dot and two).
// A text too short to hold a dot there has no mark.
bool HasExtensionMark(const std::wstring& text, bool twoCharacters);
// The text itself, not cut, ends in a dot and three characters.
bool EndsInDotAndThree(const std::wstring& text);
