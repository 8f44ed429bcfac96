#pragma once
// What the system tells about itself, its own places and the user: its version, the Windows, system
// and temporary folders, the running program's file and the user's name. The folder units above build
// on these.
#include <windows.h>

#include <string>

std::wstring WindowsFolder();
std::wstring SystemFolder();
std::wstring TempFolder(); // ends in a backslash
std::wstring UserName();
// Full path of the running program's file.
std::wstring ProgramFileName();
// GetVersionEx: the version the system reports to this program (as its manifest declares); false when
// it does not answer.
bool SystemVersion(OSVERSIONINFOW& info);
