#pragma once
// Where the spyware removal keeps what it takes: an elevated program below the machine's program data
// (%ProgramData%), any other below the user's local application data (%LOCALAPPDATA%); in both the
// folder Kelvor\Dornique\Quarantine, which holds one folder per removal (a run).
#include <windows.h>

#include <functional>
#include <string>

enum class TQuarantinePlace { Machine, User };

struct TQuarantinePlaces {
    std::wstring MachineBase; // %ProgramData%
    std::wstring UserBase;    // %LOCALAPPDATA%
    // Whether this process runs elevated: it decides where a removal goes.
    std::function<bool()> Elevated;
    // The time now (UTC): names the runs and ages them.
    std::function<FILETIME()> Now;
    // Tests only: asked before each item a removal deals with; false ends the removal there, as if the
    // program had been stopped. Nothing: never.
    std::function<bool()> KeepGoing;

    TQuarantinePlace PlaceForRemoval() const;
    const std::wstring& Base(TQuarantinePlace place) const;
};

// The machine's own places, the process's elevation and the system clock.
TQuarantinePlaces SystemQuarantinePlaces();

// The steps below a base that lead to the quarantine folder.
inline constexpr const wchar_t* kQuarantineSteps[] = {L"Kelvor", L"Dornique", L"Quarantine"};
// base + "\Kelvor\Dornique\Quarantine".
std::wstring QuarantineFolder(const std::wstring& base);

// A FILETIME as one 64-bit number of 100-nanosecond steps, and back.
inline ULONGLONG FileTimeValue(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}
inline FILETIME FileTimeOf(ULONGLONG value)
{
    return {static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}
