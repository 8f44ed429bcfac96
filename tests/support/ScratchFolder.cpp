#include "support/ScratchFolder.h"

#include "support/UnixLinks.h"

#include "common/Handles.h"
#include "common/SafeDelete.h"

#include <gtest/gtest.h>

#include <shlobj.h>

std::wstring TestProgramName()
{
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::wstring name(buffer, length);
    name.erase(0, name.find_last_of(L"\\/") + 1);
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring ScratchRoot() { return L"C:\\BrisfoldTest-" + TestProgramName(); }

ScratchFolder::ScratchFolder(const std::wstring& name) : Path_(ScratchRoot() + L"\\" + name)
{
    RemoveTree(Path_);
    MakeFolder(L"");
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(Path_);
    // The per-program parent goes when its last scratch folder does.
    RemoveDirectoryW(ScratchRoot().c_str());
}

std::wstring ScratchFolder::MakeFolder(const std::wstring& relative) const
{
    const std::wstring path = relative.empty() ? Path_ : Path_ + L"\\" + relative;
    const int status = SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    EXPECT_TRUE(status == ERROR_SUCCESS || status == ERROR_ALREADY_EXISTS) << "creating folder, error " << status;
    return path;
}

std::wstring ScratchFolder::MakeFile(const std::wstring& relative, uint64_t size, double ageDays) const
{
    const std::wstring path = Path_ + L"\\" + relative;
    const size_t slash = relative.find_last_of(L'\\');
    if (slash != std::wstring::npos)
        MakeFolder(relative.substr(0, slash));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, file) << "creating file, error " << GetLastError();
    if (file == INVALID_HANDLE_VALUE)
        return path;
    std::string block(64 * 1024, 'x');
    for (uint64_t left = size; left > 0;) {
        const DWORD chunk = static_cast<DWORD>(left < block.size() ? left : block.size());
        DWORD written = 0;
        WriteFile(file, block.data(), chunk, &written, nullptr);
        left -= chunk;
    }
    CloseHandle(file);
    SetFileAge(path, ageDays);
    return path;
}

std::wstring ScratchFolder::MakeSparseFile(const std::wstring& relative, uint64_t size) const
{
    const std::wstring path = MakeFile(relative);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, file) << "opening file, error " << GetLastError();
    if (file == INVALID_HANDLE_VALUE)
        return path;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
    EXPECT_TRUE(SetEndOfFile(file)) << "sizing file, error " << GetLastError();
    CloseHandle(file);
    return path;
}

void SetFileAge(const std::wstring& path, double ageDays)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks;
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    ticks.QuadPart -= static_cast<ULONGLONG>(ageDays * 24.0 * 3600.0 * 10000000.0);
    FILETIME stamp{ticks.LowPart, ticks.HighPart};
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << "setting file time, error " << GetLastError();
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &stamp));
    CloseHandle(file);
}

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveTree(const std::wstring& path)
{
    if (RunningUnderWine()) {
        EXPECT_TRUE(RemoveUnixTree(path)) << "removing " << testing::PrintToString(path);
        return;
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        RemoveUnixLink(path); // listed but not found: a link whose target is gone
        return;
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        RemoveUnixLink(path);
        return;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        // Deleting a file link from the Windows side would delete its target.
        if (IsFileLink(path)) {
            RemoveUnixLink(path);
            return;
        }
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = path + L"\\" + name;
            RemoveTree(child);
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

void WriteTextFile(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << "writing file, error " << GetLastError();
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    CloseHandle(file);
}

std::vector<std::wstring> FilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    const TFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (find)
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(entry.cFileName);
        } while (FindNextFileW(find.Get(), &entry));
    return names;
}
