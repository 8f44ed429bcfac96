#include "quarantine/QuarantinePlaces.h"

#include "common/Paths.h"
#include "common/SystemFolders.h"

#include <shlobj.h>

TQuarantinePlace TQuarantinePlaces::PlaceForRemoval() const
{
    return Elevated && Elevated() ? TQuarantinePlace::Machine : TQuarantinePlace::User;
}

const std::wstring& TQuarantinePlaces::Base(TQuarantinePlace place) const
{
    return place == TQuarantinePlace::Machine ? MachineBase : UserBase;
}

TQuarantinePlaces SystemQuarantinePlaces()
{
    TQuarantinePlaces places;
    places.MachineBase = ShellFolder(CSIDL_COMMON_APPDATA);
    places.UserBase = ShellFolder(CSIDL_LOCAL_APPDATA);
    places.Elevated = ProcessIsElevated;
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
