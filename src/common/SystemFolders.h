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
// The SID of the user this process runs as (its token's user, "S-1-5-21-..."); empty when it cannot be
// asked. Each user's recycle bin is the folder of this name in a drive's "$Recycle.Bin".
std::wstring CurrentUserSid();
// True when this process runs with an administrator's full rights (elevated, or a system without
// elevation where the user is an administrator).
bool ProcessIsElevated();
// True under Wine, whose shell empties the Unix trash instead of the recycle-bin folders and whose file
// links look like plain files.
bool RunsUnderWine();
// Full path of the running program's file.
std::wstring ProgramFileName();
// GetVersionEx: the version the system reports to this program (as its manifest declares); false when
// it does not answer.
bool SystemVersion(OSVERSIONINFOW& info);
