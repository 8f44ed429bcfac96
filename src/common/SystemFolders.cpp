#include "common/SystemFolders.h"

#include "common/Compiler.h"
#include "common/GrowingBuffer.h"
#include "common/Handles.h"

#include <windows.h>
#include <sddl.h>
#include <shlobj.h>

#include <vector>

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

std::wstring CurrentUserSid()
{
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw))
        return {};
    const THandle token(raw);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    if (size == 0 || size > 4096)
        return {};
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size))
        return {};
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text))
        return {};
    std::wstring sid = text;
    LocalFree(text);
    return sid;
}

bool ProcessIsElevated()
{
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw))
        return false;
    const THandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size))
        return elevation.TokenIsElevated != 0;
    // Systems before Vista know no elevation: an administrator has the rights at once.
    return IsUserAnAdmin() != FALSE;
}

bool RunsUnderWine()
{
    static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}
