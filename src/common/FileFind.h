#pragma once
// The first entry of a folder listing. Asks for the basic information level and large fetches, which
// Windows 7 and later take; an older system answers ERROR_INVALID_PARAMETER and is asked again with
// the standard level.
#include "common/Handles.h"

#include <cstdint>
#include <string>

using TFindFirstCall = HANDLE(WINAPI*)(LPCWSTR, FINDEX_INFO_LEVELS, LPVOID, FINDEX_SEARCH_OPS, LPVOID, DWORD);

TFindHandle FindFirstEntry(const std::wstring& pattern, WIN32_FIND_DATAW& data);

// "." and "..", which a listing returns besides a folder's own entries.
inline bool IsDotEntry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

// An entry's size, which a listing returns in two 32-bit halves.
inline int64_t FindDataSize(const WIN32_FIND_DATAW& data)
{
    return static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

// Replaces FindFirstFileExW for FindFirstEntry (nullptr restores it); tests stand in for older systems.
void SetFindFirstCall(TFindFirstCall call);
