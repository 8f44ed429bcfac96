#include "privacy/PrivacyRepair.h"

#include "common/CodePage.h"
#include "common/Handles.h"
#include "common/Kelvor_Routine.h"
#include "common/Registry.h"
#include "common/SafeDelete.h"
#include "common/UrlCache.h"
#include "privacy/BrowserTraces.h"
#include "privacy/PrivacyScanner.h"
#include "privacy/RestartDeletion.h"
#include "ui/Label.h"
#include "ui/MessagePump.h"
#include "ui/ProgressBar.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>

namespace {

const wchar_t kFirefoxProcess[] = L"FireFox.exe";

// Another program holds the file open without sharing it: an exclusive open meets a sharing violation.
// (Missing rights give "access denied" instead, and wait for no restart.)
bool HeldOpenElsewhere(const std::wstring& path)
{
    const THandle file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

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

bool IsProcessRunning(const std::wstring& exeName)
{
    const TWideStrings names = GetProcessNames();
    return std::any_of(names.begin(), names.end(), [&](const std::wstring& name) {
        return CompareStringOrdinal(name.c_str(), static_cast<int>(name.size()), exeName.c_str(),
                                    static_cast<int>(exeName.size()), TRUE) == CSTR_EQUAL;
    });
}

bool FirefoxRuns()
{
    return IsProcessRunning(kFirefoxProcess);
}

TOutcome DeleteRegistryKey(const std::wstring& keyPath)
{
    // The safe tree deletion opens only the last step as a link; a link further up would be followed.
    if (PathCrossesLink(HKEY_CURRENT_USER, keyPath))
        return TOutcome::Refused;
    return DeleteRegTreeSafe(HKEY_CURRENT_USER, keyPath);
}

TOutcome DeleteRegistryValue(const std::wstring& keyPath, const std::wstring& valueName)
{
    if (PathCrossesLink(HKEY_CURRENT_USER, keyPath))
        return TOutcome::Refused;
    return DeleteRegValueSafe(HKEY_CURRENT_USER, keyPath, valueName);
}

void TPrivacyScanner::Repair(TLabel& status, TProgressBar& progress)
{
    PendingDeletes.clear();
    PendingCount = 0;
    LastRepair.Clear();
    LastRepair.Ran = true;
    const bool firefoxRuns = FirefoxRuns();
    progress.SetPosition(0);
    progress.SetMin(0);
    progress.SetStep(1);

    const std::vector<TPrivacyItem>& items = Findings.Items();
    size_t i = 0;
    for (; i < items.size(); ++i) {
        status.SetCaption(RepairPrefix + LastPathComponent(items[i].Path));
        if (i > 1)
            progress.SetPosition(static_cast<int>(i * 100 / (items.size() - 1)));
        ProcessMessages();
        if (Stopped)
            break;
        // Cache entries leave through the cache below, which also deletes their files.
        if (items[i].Kind != TPrivacyItemKind::CacheEntry)
            LastRepair.Add(items[i].Path, RepairItem(items[i], firefoxRuns));
    }
    // What a stop left untouched is still there, and the report says so.
    for (; i < items.size(); ++i)
        if (items[i].Kind != TPrivacyItemKind::CacheEntry)
            LastRepair.Add(items[i].Path, TOutcome::Refused);
    // The cache entries are cleared even after a stop, each by the exact 8-bit URL that the cache returned.
    for (const TPrivacyItem& item : items)
        if (item.Kind == TPrivacyItemKind::CacheEntry)
            LastRepair.Add(AnsiToWide(item.Url), DeleteUrlCacheRecord(item.Url));
    progress.SetPosition(100);
}

TOutcome TPrivacyScanner::RepairItem(const TPrivacyItem& item, bool firefoxRuns)
{
    switch (item.Kind) {
    case TPrivacyItemKind::Key:
        return DeleteRegistryKey(item.Key);
    case TPrivacyItemKind::Value:
        return DeleteRegistryValue(item.Key, item.ValueName);
    case TPrivacyItemKind::FolderEntry:
        // A one-level listing shows its sub-folders; the clean-up deletes files only.
        return TOutcome::Refused;
    case TPrivacyItemKind::CacheEntry:
        return DeleteUrlCacheRecord(item.Url);
    case TPrivacyItemKind::File:
        break;
    }
    if (firefoxRuns && HeldByFirefox(item.File))
        return TOutcome::InUse;
    if (FolderExists(item.File))
        return TOutcome::Refused;
    const TOutcome outcome = DeleteFileSafe(item.File);
    // Only a plain file that is in use waits for the restart; a link, a folder or a file the user may
    // not delete does not. Deleting a file that another program has mapped fails with "access denied",
    // like missing rights; the exclusive open tells the two apart.
    const bool inUse = outcome == TOutcome::InUse || (outcome == TOutcome::Failed && HeldOpenElsewhere(item.File));
    if (!inUse)
        return outcome;
    if (!DeleteFileOnReboot(item.File, Platform))
        return TOutcome::InUse;
    PendingDeletes.push_back(item.Path);
    ++PendingCount;
    return TOutcome::Scheduled;
}
