#include "common/PlainPath.h"

#include "common/GrowingBuffer.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <vector>

namespace {

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix)
{
    const size_t length = std::wcslen(prefix);
    return text.size() >= length && CompareStringOrdinal(text.c_str(), static_cast<int>(length), prefix,
                                                         static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// "C:" or "C:\...".
bool HasDrivePrefix(const std::wstring& path)
{
    return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':' && (path.size() == 2 || path[2] == L'\\');
}

// Characters no name may hold; a wildcard would make a listing list other folders.
bool IsForbiddenInName(wchar_t c) { return c < 32 || std::wcschr(L"*?\"<>|", c) != nullptr; }

// "\Device\HarddiskVolume1\rest" -> "C:\rest", by the drive letter the system maps to that device.
std::wstring DrivePathOfDevice(const std::wstring& ntPath)
{
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        const wchar_t drive[] = {letter, L':', 0};
        wchar_t target[1024] = {};
        if (!QueryDosDeviceW(drive, target, static_cast<DWORD>(std::size(target))))
            continue;
        const std::wstring device = target; // the first of the list: the current mapping
        if (device.empty() || !StartsWithNoCase(ntPath, device.c_str()))
            continue;
        if (ntPath.size() == device.size() || ntPath[device.size()] == L'\\')
            return std::wstring{letter, L':'} + ntPath.substr(device.size());
    }
    return {};
}

// "Volume{...}\rest" -> the volume's first mount path followed by rest.
std::wstring DrivePathOfVolume(const std::wstring& volumeAndRest)
{
    const size_t slash = volumeAndRest.find(L'\\');
    const std::wstring volume = L"\\\\?\\" + volumeAndRest.substr(0, slash) + L"\\";
    const std::wstring rest = slash == std::wstring::npos ? std::wstring() : volumeAndRest.substr(slash + 1);
    std::vector<wchar_t> names(1024);
    DWORD needed = 0;
    if (!GetVolumePathNamesForVolumeNameW(volume.c_str(), names.data(), static_cast<DWORD>(names.size()), &needed)) {
        if (GetLastError() != ERROR_MORE_DATA || needed == 0 || needed > 65536)
            return {};
        names.resize(needed);
        if (!GetVolumePathNamesForVolumeNameW(volume.c_str(), names.data(), static_cast<DWORD>(names.size()), &needed))
            return {};
    }
    const std::wstring mount = names.data(); // "C:\" or a mount folder "C:\mnt\", with its backslash
    return mount.empty() ? std::wstring() : mount + rest;
}

// An NT path of the object namespace: "\??\C:\x", "\DosDevices\C:\x", "\GLOBAL??\C:\x", "\Device\...".
std::wstring Win32PathOfNtPath(const std::wstring& ntPath)
{
    for (const wchar_t* links : {L"\\??\\", L"\\DosDevices\\", L"\\GLOBAL??\\"})
        if (StartsWithNoCase(ntPath, links)) {
            const std::wstring rest = ntPath.substr(std::wcslen(links));
            return HasDrivePrefix(rest) ? rest : std::wstring();
        }
    if (StartsWithNoCase(ntPath, L"\\Device\\"))
        return DrivePathOfDevice(ntPath);
    return {};
}

// What follows "\\?\", "\\.\" or "\??\".
std::wstring Win32PathOfDevicePath(const std::wstring& rest)
{
    if (StartsWithNoCase(rest, L"UNC\\"))
        return L"\\\\" + rest.substr(4);
    if (StartsWithNoCase(rest, L"GLOBALROOT\\"))
        return Win32PathOfNtPath(rest.substr(10));
    if (StartsWithNoCase(rest, L"Volume{"))
        return DrivePathOfVolume(rest);
    return HasDrivePrefix(rest) ? rest : std::wstring();
}

// Drive and share paths only; everything else has been resolved or refused before.
std::wstring WithPlainSteps(const std::wstring& path)
{
    std::wstring root;
    size_t at = 0;
    if (HasDrivePrefix(path)) {
        root = path.substr(0, 2) + L"\\";
        at = 2;
    } else {
        // "\\server\share": both names plain, the share optional ("\\server" is refused as a root later).
        size_t end = path.find(L'\\', 2);
        const std::wstring server = path.substr(2, end == std::wstring::npos ? std::wstring::npos : end - 2);
        if (server.empty() || server == L"." || server == L"?" || server == L".." ||
            std::any_of(server.begin(), server.end(), IsForbiddenInName))
            return {};
        root = L"\\\\" + server;
        at = end == std::wstring::npos ? path.size() : end;
        size_t shareStart = at;
        while (shareStart < path.size() && path[shareStart] == L'\\')
            ++shareStart;
        if (shareStart < path.size()) {
            end = path.find(L'\\', shareStart);
            const std::wstring share =
                path.substr(shareStart, end == std::wstring::npos ? std::wstring::npos : end - shareStart);
            if (share == L"." || share == L".." || std::any_of(share.begin(), share.end(), IsForbiddenInName))
                return {};
            root += L"\\" + share;
            at = end == std::wstring::npos ? path.size() : end;
        }
    }
    std::vector<std::wstring> steps;
    while (at < path.size()) {
        size_t end = path.find(L'\\', at);
        if (end == std::wstring::npos)
            end = path.size();
        std::wstring step = path.substr(at, end - at);
        at = end + 1;
        // A stream of a folder ("::$INDEX_ALLOCATION", ":$I30:$INDEX_ALLOCATION") is the folder itself.
        step = step.substr(0, step.find(L':'));
        if (step.empty() || step == L".")
            continue;
        if (step == L"..") {
            if (!steps.empty())
                steps.pop_back();
            continue;
        }
        const size_t last = step.find_last_not_of(L". ");
        if (last == std::wstring::npos)
            return {}; // "...", ". .": the system's readings of such a name differ
        step.resize(last + 1);
        if (std::any_of(step.begin(), step.end(), IsForbiddenInName))
            return {};
        steps.push_back(std::move(step));
    }
    std::wstring plain = root;
    for (const std::wstring& step : steps) {
        if (plain.back() != L'\\')
            plain += L'\\';
        plain += step;
    }
    return plain;
}

} // namespace

std::wstring PlainFullPath(const std::wstring& given)
{
    std::wstring path = given;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    std::wstring win32;
    if (StartsWithNoCase(path, L"\\\\?\\") || StartsWithNoCase(path, L"\\\\.\\") || StartsWithNoCase(path, L"\\??\\"))
        win32 = Win32PathOfDevicePath(path.substr(4));
    else if (StartsWithNoCase(path, L"\\\\") || HasDrivePrefix(path))
        win32 = path;
    else if (!path.empty() && path[0] == L'\\')
        win32 = Win32PathOfNtPath(path); // otherwise relative to the current drive: refused
    // A prefix may only be followed by a drive or share path, never by another prefix.
    if (win32.empty() || StartsWithNoCase(win32, L"\\\\?\\") || StartsWithNoCase(win32, L"\\\\.\\"))
        return {};
    return WithPlainSteps(win32);
}

size_t PlainRootLength(const std::wstring& plainPath)
{
    if (HasDrivePrefix(plainPath))
        return 3;
    const size_t server = plainPath.find(L'\\', 2);
    if (server == std::wstring::npos)
        return plainPath.size();
    const size_t share = plainPath.find(L'\\', server + 1);
    return share == std::wstring::npos ? plainPath.size() : share;
}

std::wstring LongFullPath(const std::wstring& path)
{
    const std::wstring plain = PlainFullPath(path);
    if (plain.empty())
        return {};
    // The system expands only a path that exists: the longest existing head is expanded, the rest kept.
    const size_t rootLength = PlainRootLength(plain);
    std::wstring head = plain;
    while (head.size() > rootLength) {
        const std::wstring asked = head.size() < MAX_PATH ? head
                                   : head.compare(0, 2, L"\\\\") == 0 ? L"\\\\?\\UNC\\" + head.substr(2)
                                                                        : L"\\\\?\\" + head;
        const std::wstring longHead = AskWithGrowingBuffer(
            [&asked](wchar_t* buffer, DWORD size) { return GetLongPathNameW(asked.c_str(), buffer, size); });
        const std::wstring plainHead = longHead.empty() ? std::wstring() : PlainFullPath(longHead);
        if (!plainHead.empty())
            return plainHead + plain.substr(head.size());
        head.resize(std::max(head.find_last_of(L'\\'), rootLength));
    }
    return plain;
}
