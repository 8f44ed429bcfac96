#include "common/SystemFolders.h"

#include "common/Compiler.h"
#include "common/GrowingBuffer.h"

#include <windows.h>

std::wstring WindowsFolder()
{
    return AskWithGrowingBuffer([](wchar_t* buffer, DWORD size) { return GetWindowsDirectoryW(buffer, size); });
}

std::wstring SystemFolder()
{
    return AskWithGrowingBuffer([](wchar_t* buffer, DWORD size) { return GetSystemDirectoryW(buffer, size); });
}

std::wstring TempFolder()
{
    return AskWithGrowingBuffer([](wchar_t* buffer, DWORD size) { return GetTempPathW(size, buffer); });
}

std::wstring ProgramFileName()
{
    return AskWithGrowingBuffer(
        [](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); });
}

bool SystemVersion(OSVERSIONINFOW& info)
{
    info = {};
    info.dwOSVersionInfoSize = sizeof info;
    BOOL answered = FALSE;
    BRISFOLD_DEPRECATED_CALL(answered = GetVersionExW(&info);)
    return answered != FALSE;
}

std::wstring UserName()
{
    DWORD size = 256;
    std::wstring buffer(size, L'\0');
    if (!GetUserNameW(buffer.data(), &size)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return {};
        buffer.resize(size);
        if (!GetUserNameW(buffer.data(), &size))
            return {};
    }
    buffer.resize(wcslen(buffer.c_str()));
    return buffer;
}
