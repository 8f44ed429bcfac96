#include "privacy/RestartDeletion.h"

#include "common/CodePage.h"
#include "common/GrowingBuffer.h"
#include "common/Handles.h"
#include "common/Paths.h"
#include "common/SafeDelete.h"
#include "common/TextLines.h"

#include <algorithm>

namespace {

// wininit.ini is a short list of lines; anything larger is not a file this routine should rewrite.
constexpr LONGLONG kMaxWininitSize = 1 << 20;

// The whole file; a missing file reads as empty. False when it exists but cannot be read.
bool ReadWholeFile(const std::wstring& path, std::string& bytes)
{
    bytes.clear();
    const THandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxWininitSize)
        return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return bytes.empty() ||
           (ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size());
}

// Written beside the file and then put in its place, so that a failure leaves the old file whole.
bool ReplaceWholeFile(const std::wstring& path, const std::string& bytes)
{
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    wchar_t temporary[MAX_PATH] = {};
    if (!GetTempFileNameW(folder.c_str(), L"wii", 0, temporary))
        return false;
    bool written = false;
    {
        const THandle file(CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                       nullptr));
        DWORD done = 0;
        written = file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
                  done == bytes.size();
    }
    if (written && MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    // Only the routine's own temporary file; what happens to it changes nothing for the caller.
    (void)DeleteFileSafe(temporary);
    return false;
}

std::wstring ShortPath(const std::wstring& path)
{
    return AskWithGrowingBuffer(
        [&](wchar_t* buffer, DWORD size) { return GetShortPathNameW(path.c_str(), buffer, size); });
}

bool ScheduleInWininit(const std::wstring& path, const std::wstring& windowsFolder)
{
    if (windowsFolder.empty())
        return false;
    // The system reads the line in its 8-bit code page: a short path that does not survive it would
    // name another file, or none.
    const std::wstring shortPath = ShortPath(path);
    const std::string shortText = WideToAnsi(shortPath);
    if (shortPath.empty() || AnsiToWide(shortText) != shortPath)
        return false;

    const std::wstring iniPath = WithBackslash(windowsFolder) + L"wininit.ini";
    std::string text;
    if (!ReadWholeFile(iniPath, text))
        return false;
    TAnsiStrings lines = SplitLines(text);
    auto header = std::find_if(lines.begin(), lines.end(),
                               [](const std::string& line) { return AsciiUpper(line) == "[RENAME]"; });
    if (header == lines.end())
        header = lines.insert(lines.end(), "[rename]");
    // Directly after the section line: the newest scheduled file comes first.
    lines.insert(header + 1, "NUL=" + shortText);

    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    return ReplaceWholeFile(iniPath, bytes);
}

} // namespace

bool DeleteFileOnReboot(const std::wstring& path, const TPrivacyPlatform& platform)
{
    switch (platform.PlatformId()) {
    case VER_PLATFORM_WIN32s:
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    case VER_PLATFORM_WIN32_NT:
        return MoveFileExW(path.c_str(), nullptr, MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
    default:
        // No 64-bit Windows is of the 9x family, so the program itself never comes here; the branch is
        // kept, held by its tests through the platform seam, as the rule the clean-up has for them.
        return ScheduleInWininit(path, platform.WindowsFolder());
    }
}
