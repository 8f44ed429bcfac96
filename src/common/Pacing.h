#pragma once
// The pause that paces a scanner's progress display so that the user can follow it. Every scanner
// takes one as its Pause member: the program keeps the real one, tests that do not look at the pacing
// put in one that returns at once.
#include <windows.h>

#include <functional>

using TPause = std::function<void(DWORD milliseconds)>;

inline TPause SystemPause()
{
    return [](DWORD milliseconds) { Sleep(milliseconds); };
}
