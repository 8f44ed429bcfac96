#include "quarantine/QuarantinePlaces.h"

#include "common/Handles.h"
#include "common/Paths.h"

#include <shlobj.h>

TQuarantinePlace TQuarantinePlaces::PlaceForRemoval() const
{
    return Elevated && Elevated() ? TQuarantinePlace::Machine : TQuarantinePlace::User;
}

const std::wstring& TQuarantinePlaces::Base(TQuarantinePlace place) const
{
    return place == TQuarantinePlace::Machine ? MachineBase : UserBase;
}

bool ProcessElevated()
{
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw))
        return false;
    const THandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

TQuarantinePlaces SystemQuarantinePlaces()
{
    TQuarantinePlaces places;
    places.MachineBase = ShellFolder(CSIDL_COMMON_APPDATA);
    places.UserBase = ShellFolder(CSIDL_LOCAL_APPDATA);
    places.Elevated = ProcessElevated;
    places.Now = [] {
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        return now;
    };
    return places;
}

std::wstring QuarantineFolder(const std::wstring& base)
{
    if (base.empty())
        return {};
    std::wstring folder = base;
    for (const wchar_t* step : kQuarantineSteps)
        folder = WithBackslash(folder) + step;
    return folder;
}
