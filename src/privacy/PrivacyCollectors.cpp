#include "privacy/PrivacyCollectors.h"

#include "common/FileFind.h"
#include "common/Kelvor_Routine.h"
#include "common/Paths.h"
#include "common/PlainPath.h"
#include "common/Registry.h"
#include "common/SafeDelete.h"
#include "privacy/PrivacyItems.h"
#include "ui/MessagePump.h"

#include <windows.h>

#include <algorithm>

TPrivacyCollector::TPrivacyCollector(TPrivacyRecorder& recorder, const TStopFlag& stopped, const TFolderGuard& guard,
                                     std::vector<std::wstring> cacheContainers)
    : Recorder_(recorder), Stopped_(stopped), Guard_(guard), CacheContainers_(std::move(cacheContainers))
{
}

bool TPrivacyCollector::Stopped() const
{
    return Stopped_.load(std::memory_order_relaxed) == 1;
}

bool TPrivacyCollector::KeepGoing() const
{
    ProcessMessages();
    return !Stopped();
}

std::wstring TPrivacyCollector::GuardedFolder(const std::wstring& folder, TWalkRoot kind)
{
    // An unknown folder would otherwise become "\", the root of the current drive. A folder that is not
    // there lists nothing and needs no verdict.
    if (folder.empty())
        return {};
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    TFolderCheck check = Guard_.Check(folder, kind);
    if (check.Verdict == TFolderVerdict::Walk)
        return check.Plain;
    Recorder_.AddRefusal(std::move(check));
    return {};
}

// The root is taken in the guard's form too, so that the folder's steps below it can be told; a root
// that names no plain path lets nothing be listed.
TPrivacyCollector::TWalkStart TPrivacyCollector::StartOfWalk(const std::wstring& folder, TWalkRoot kind,
                                                             const std::wstring& root)
{
    const std::wstring plain = GuardedFolder(folder, kind);
    // A container of the URL cache holds the cache's own index and its entries' files: no traces by
    // themselves, the entries are listed through the cache.
    if (plain.empty() || InCacheContainer(plain))
        return {};
    return {plain, ExpectedPath(root.empty() ? plain : LongFullPath(root), plain)};
}

void TPrivacyCollector::ListFolderTree(const std::wstring& folder, TWalkRoot kind, const std::wstring& root)
{
    const TWalkStart start = StartOfWalk(folder, kind, root);
    if (!start.Folder.empty() && !IsFolderLink(start.Folder))
        Walk(start.Folder, start.Expected, true);
}

void TPrivacyCollector::ListFolder(const std::wstring& folder, TWalkRoot kind, const std::wstring& root)
{
    const TWalkStart start = StartOfWalk(folder, kind, root);
    if (!start.Folder.empty() && !IsFolderLink(start.Folder))
        Walk(start.Folder, start.Expected, false);
}

bool TPrivacyCollector::InCacheContainer(const std::wstring& folder) const
{
    return std::any_of(CacheContainers_.begin(), CacheContainers_.end(),
                       [&folder](const std::wstring& container) { return PathIsAtOrBelow(folder, container); });
}

void TPrivacyCollector::Walk(const std::wstring& folder, const std::wstring& expected, bool recurse)
{
    // A folder that cannot be told from a link lists nothing; nor does the cache's own container.
    if (folder.empty() || expected.empty() || InCacheContainer(folder))
        return;
    const std::wstring base = WithBackslash(folder);
    WIN32_FIND_DATAW entry;
    const TFindHandle find = FindFirstEntry(base + L"*", entry);
    if (!find)
        return;
    do {
        if (!KeepGoing())
            return;
        if (IsDotEntry(entry.cFileName))
            continue;
        // A junction or folder link (and on Windows a file link) shows the reparse attribute.
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            continue;
        const std::wstring path = base + entry.cFileName;
        const std::wstring expectedPath = ExpectedChild(expected, entry.cFileName);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (recurse)
                Walk(path, expectedPath, true);
            else
                Recorder_.AddFolderEntry(path, FindDataSize(entry));
        } else if (IsPlainEntry(path, expectedPath, entry.dwFileAttributes)) {
            Recorder_.AddFile(path, expectedPath, FindDataSize(entry));
        }
    } while (FindNextFileW(find.Get(), &entry));
}

void TPrivacyCollector::ListFile(const std::wstring& path, TWalkRoot kind, const std::wstring& root)
{
    // A bare name would be looked for in the current folder.
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return;
    const TWalkStart start = StartOfWalk(path.substr(0, slash), kind, root);
    if (start.Folder.empty())
        return;
    const std::wstring file = WithBackslash(start.Folder) + path.substr(slash + 1);
    WIN32_FIND_DATAW entry;
    const TFindHandle find = FindFirstEntry(file, entry);
    if (!find || !KeepGoing())
        return;
    if (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        return;
    // Built again from the root: the name must name exactly one entry (no wildcard picks one).
    const std::wstring expected = ExpectedPath(root.empty() ? start.Folder : LongFullPath(root), file);
    if (!IsPlainEntry(file, expected, entry.dwFileAttributes))
        return;
    Recorder_.AddFile(file, expected, FindDataSize(entry));
}

void TPrivacyCollector::CheckKey(const std::wstring& keyPath)
{
    // The root itself may open; the recorder never takes it as an item.
    TRegKey key;
    if (key.Open(HKEY_CURRENT_USER, keyPath, KEY_READ) != ERROR_SUCCESS)
        return;
    Recorder_.AddKey(keyPath);
}

void TPrivacyCollector::ListStringValues(const std::wstring& keyPath)
{
    TRegKey key;
    if (key.Open(HKEY_CURRENT_USER, keyPath, KEY_READ) != ERROR_SUCCESS)
        return;
    for (const TRegNamedValue& value : key.Values())
        if (value.Value.Type == REG_SZ)
            Recorder_.AddValue(keyPath, value.Name);
}

void TPrivacyCollector::ListValuesOneLevel(const std::wstring& keyPath,
                                           const std::function<void(const std::wstring& name)>& onKeyValue)
{
    TRegKey key;
    if (key.Open(HKEY_CURRENT_USER, keyPath, KEY_READ) != ERROR_SUCCESS)
        return;
    for (const std::wstring& name : key.ValueNames()) {
        if (!KeepGoing())
            return;
        if (onKeyValue)
            onKeyValue(name);
        Recorder_.AddValue(keyPath, name);
    }
    for (const std::wstring& subKeyName : key.SubKeyNames()) {
        if (Stopped())
            return;
        const std::wstring subKeyPath = keyPath + L"\\" + subKeyName;
        TRegKey subKey;
        if (subKey.Open(HKEY_CURRENT_USER, subKeyPath, KEY_READ) != ERROR_SUCCESS)
            continue;
        for (const std::wstring& name : subKey.ValueNames()) {
            if (!KeepGoing())
                return;
            Recorder_.AddValue(subKeyPath, name);
        }
    }
}

void TPrivacyCollector::CheckValue(const std::wstring& entry)
{
    const size_t bar = entry.find(L'|');
    if (bar == std::wstring::npos)
        return;
    const std::wstring keyPath = entry.substr(0, bar);
    const std::wstring valueName = TrimText(entry.substr(bar + 1));
    TRegKey key;
    if (key.Open(HKEY_CURRENT_USER, keyPath, KEY_READ) != ERROR_SUCCESS || !key.ValueExists(valueName))
        return;
    Recorder_.AddValue(keyPath, valueName);
}
