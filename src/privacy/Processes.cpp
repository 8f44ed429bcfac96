#include "privacy/Processes.h"

#include "common/Handles.h"
#include "common/Sqlite.h"
#include "common/TextCompare.h"

#include <windows.h>
#include <sqlite3.h>
#include <tlhelp32.h>

#include <algorithm>

namespace {

const wchar_t kFirefoxProcess[] = L"FireFox.exe";

} // namespace

TWideStrings GetProcessNames()
{
    TWideStrings names;
    const THandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return names;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry))
        names.emplace_back(entry.szExeFile);
    return names;
}

bool ProcessListHolds(const TWideStrings& names, const std::wstring& exeName)
{
    return std::any_of(names.begin(), names.end(), [&](const std::wstring& name) {
        return SameText(name, exeName);
    });
}

bool IsProcessRunning(const std::wstring& exeName)
{
    return ProcessListHolds(GetProcessNames(), exeName);
}

bool FirefoxRuns()
{
    return IsProcessRunning(kFirefoxProcess);
}

bool DatabaseHeld(const std::wstring& path)
{
    TSqliteDatabase db;
    if (db.Open(path) != SQLITE_OK)
        return false;
    const TSqliteTransaction write(db);
    return write.BeginCode() == SQLITE_BUSY || write.BeginCode() == SQLITE_LOCKED;
}

bool LockFileHeld(const std::wstring& path)
{
    const THandle file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}
