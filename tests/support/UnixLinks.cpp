#include "support/UnixLinks.h"

#include "common/Paths.h"
#include "common/PlainPath.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <cwchar>
#include <memory>

namespace {

using UnixNameFunction = char*(CDECL*)(const wchar_t*);

UnixNameFunction UnixNameRoutine()
{
    return reinterpret_cast<UnixNameFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
}

std::wstring Quoted(const std::string& unixPath)
{
    std::wstring text = L"\"";
    for (char c : unixPath)
        text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return text + L"\"";
}

std::string Utf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                            nullptr);
    return bytes;
}

// The Unix path of an entry with its own name as given: Wine would map a name that differs only in case
// to the existing entry.
std::string UnixName(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash + 1 == path.size())
        return {};
    const std::string folder = UnixPath(path.substr(0, slash));
    return folder.empty() ? std::string() : folder + "/" + Utf8(path.substr(slash + 1));
}

// Wine cannot report the exit of a Unix child, so the caller waits for the effect instead.
template <typename Done>
bool RunUnix(const wchar_t* program, const std::wstring& commandLine, Done done)
{
    std::wstring line = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int i = 0; i < 500; ++i) {
        if (done())
            return true;
        Sleep(10);
    }
    return false;
}

// Listed by its folder: a link whose target is gone cannot be looked up by its own name under Wine.
// Compared exactly, as the tests name what they make.
bool Present(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L'\\');
    const std::wstring name = path.substr(slash + 1);
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((path.substr(0, slash) + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool found = false;
    do
        found = std::wcscmp(entry.cFileName, name.c_str()) == 0; // exact: a link may differ only in case
    while (!found && FindNextFileW(find, &entry));
    FindClose(find);
    return found;
}

// The prefix's link for a drive letter: "<prefix>/dosdevices/p:".
std::string DriveLinkPath(wchar_t letter)
{
    const std::string drive = UnixPath(L"C:\\");
    const std::string tail = "/dosdevices/c:/";
    if (drive.size() <= tail.size() || drive.compare(drive.size() - tail.size(), tail.size(), tail) != 0 ||
        letter > 0x7f || !std::isalpha(static_cast<unsigned char>(letter)))
        return {};
    return drive.substr(0, drive.size() - 3) + static_cast<char>(std::tolower(static_cast<unsigned char>(letter))) + ":";
}

bool DriveAnswers(wchar_t letter)
{
    const wchar_t root[] = {letter, L':', L'\\', 0};
    return GetFileAttributesW(root) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

bool RunningUnderWine() { return UnixNameRoutine() != nullptr; }

std::string UnixPath(const std::wstring& windowsPath)
{
    const UnixNameFunction routine = UnixNameRoutine();
    if (!routine)
        return {};
    char* name = routine(windowsPath.c_str());
    if (!name)
        return {};
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

std::wstring WineUnixDevicePath(const std::wstring& windowsPath)
{
    const std::string unixPath = UnixPath(windowsPath);
    if (unixPath.empty())
        return {};
    std::wstring path = L"\\\\?\\unix";
    for (char c : unixPath)
        path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return path;
}

// A test's links and their targets stay in its own scratch folders. Every link of a test is made here,
// so no chain of links that starts there can lead out of them either.
static bool InScratch(const std::wstring& path)
{
    const std::wstring plain = PlainFullPath(path);
    const bool inside = !plain.empty() && PathIsAtOrBelow(plain, ScratchRoot());
    EXPECT_TRUE(inside) << testing::PrintToString(path) << " lies outside " << testing::PrintToString(ScratchRoot());
    return inside;
}

bool MakeUnixSymlink(const std::wstring& target, const std::wstring& link)
{
    if (!InScratch(target) || !InScratch(link.substr(0, link.find_last_of(L'\\'))))
        return false;
    const std::string from = UnixPath(target);
    const std::string to = UnixName(link);
    if (from.empty() || to.empty())
        return false;
    return RunUnix(L"Z:\\bin\\ln", L"ln -s " + Quoted(from) + L" " + Quoted(to), [&] { return Present(link); });
}

bool RemoveUnixLink(const std::wstring& link)
{
    if (!Present(link))
        return true;
    const std::string path = UnixName(link);
    return !path.empty() && RunUnix(L"Z:\\bin\\rm", L"rm -f " + Quoted(path), [&] { return !Present(link); });
}

bool RemoveUnixTree(const std::wstring& path)
{
    if (!Present(path))
        return true;
    const std::string unixPath = UnixPath(path);
    return !unixPath.empty() && RunUnix(L"Z:\\bin\\rm", L"rm -rf " + Quoted(unixPath), [&] { return !Present(path); });
}

bool MapUnixDrive(wchar_t letter, const std::wstring& folder)
{
    const std::string link = DriveLinkPath(letter);
    if (!InScratch(folder))
        return false;
    const std::string target = UnixPath(folder);
    if (link.empty() || target.empty() || DriveAnswers(letter))
        return false;
    // ln refuses a name that exists, a dangling link included.
    return RunUnix(L"Z:\\bin\\ln", L"ln -s " + Quoted(target) + L" " + Quoted(link), [&] { return DriveAnswers(letter); });
}

bool UnmapUnixDrive(wchar_t letter)
{
    const std::string link = DriveLinkPath(letter);
    if (link.empty())
        return false;
    if (!DriveAnswers(letter))
        return true;
    // Without -r, rm removes a link but never a folder.
    return RunUnix(L"Z:\\bin\\rm", L"rm -f " + Quoted(link), [&] { return !DriveAnswers(letter); });
}
