#include "privacy/PrivacyCollectors.h"

#include "common/FileFind.h"
#include "common/Kelvor_Routine.h"
#include "common/Paths.h"
#include "common/Registry.h"
#include "common/SafeDelete.h"
#include "privacy/PrivacyItems.h"
#include "ui/MessagePump.h"

#include <windows.h>

TPrivacyCollector::TPrivacyCollector(TPrivacyRecorder& recorder, const TStopFlag& stopped)
    : Recorder_(recorder), Stopped_(stopped)
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

void TPrivacyCollector::ListFolderTree(const std::wstring& folder, const std::wstring& root)
{
    if (!folder.empty() && !IsFolderLink(folder))
        Walk(folder, ExpectedPath(root.empty() ? folder : root, folder), true);
}

void TPrivacyCollector::ListFolder(const std::wstring& folder, const std::wstring& root)
{
    if (!folder.empty() && !IsFolderLink(folder))
        Walk(folder, ExpectedPath(root.empty() ? folder : root, folder), false);
}

void TPrivacyCollector::Walk(const std::wstring& folder, const std::wstring& expected, bool recurse)
{
    // An unknown folder would otherwise become "\", the root of the current drive; one that cannot be
    // told from a link lists nothing.
    if (folder.empty() || expected.empty())
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

void TPrivacyCollector::ListFile(const std::wstring& path, const std::wstring& root)
{
    if (path.empty())
        return;
    WIN32_FIND_DATAW entry;
    const TFindHandle find = FindFirstEntry(path, entry);
    if (!find || !KeepGoing())
        return;
    if (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        return;
    const std::wstring expected = ExpectedPath(root.empty() ? ParentFolder(path) : root, path);
    if (!IsPlainEntry(path, expected, entry.dwFileAttributes))
        return;
    Recorder_.AddFile(path, expected, FindDataSize(entry));
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
