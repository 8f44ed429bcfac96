#pragma once
// What the system tells about its own places and the user: the Windows, system and temporary
// folders, the running program's file and the user's name. The folder units above build on these.
#include <string>

std::wstring WindowsFolder();
std::wstring SystemFolder();
std::wstring TempFolder(); // ends in a backslash
std::wstring UserName();
// Full path of the running program's file.
std::wstring ProgramFileName();
