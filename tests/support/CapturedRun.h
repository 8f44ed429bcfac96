#pragma once
// Starts a built program as a script would, with standard output and standard error going into one
// file, and reads back its exit status (as GetExitCodeProcess gives it, so 3010 stays 3010) and what
// it wrote.
#include <windows.h>

#include <string>

struct TCapturedRun {
    bool Started = false;
    DWORD Error = 0;           // why it could not be started
    bool Ended = false;        // false: still running after the wait, and ended by the test
    DWORD Status = STILL_ACTIVE;
    std::string Output;        // standard output and standard error as written, bytes unchanged
};

// Runs program (a full path) with the arguments; outputFile receives what it writes and is read back.
TCapturedRun RunCaptured(const std::wstring& program, const std::wstring& arguments, const std::wstring& outputFile,
                         DWORD waitMs);
