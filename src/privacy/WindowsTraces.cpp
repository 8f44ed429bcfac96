#include "privacy/WindowsTraces.h"

#include "common/AppFrame.h"
#include "common/Registry.h"
#include "privacy/PrivacyCollectors.h"
#include "privacy/PrivacyItems.h"

namespace {

const wchar_t kRecentDocsKey[] = L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
const wchar_t kRunMruKey[] = L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

constexpr size_t kSubjectLength = 60;

} // namespace

void ListRecentDocs(TCategoryContext& context)
{
    TRegKey key;
    if (key.Open(HKEY_CURRENT_USER, kRecentDocsKey, KEY_READ) != ERROR_SUCCESS)
        return;
    TPrivacyCollector& collect = context.Collect;
    for (const std::wstring& name : key.ValueNames()) {
        if (!collect.KeepGoing())
            return;
        context.ShowSubject(name);
        collect.Recorder().AddValue(kRecentDocsKey, name);
    }
    for (const std::wstring& subKeyName : key.SubKeyNames()) {
        if (collect.Stopped())
            return;
        const std::wstring subKeyPath = std::wstring(kRecentDocsKey) + L"\\" + subKeyName;
        TRegKey subKey;
        if (subKey.Open(HKEY_CURRENT_USER, subKeyPath, KEY_READ) != ERROR_SUCCESS)
            continue;
        for (const std::wstring& name : subKey.ValueNames()) {
            if (!collect.KeepGoing())
                return;
            collect.Recorder().AddValue(subKeyPath, name);
        }
    }
}

void ListRunMru(TCategoryContext& context)
{
    context.Collect.ListStringValues(kRunMruKey);
}

void ScanWindows(TCategoryContext& context, const std::wstring& key)
{
    if (context.Collect.Stopped())
        return;
    if (key == L"Recent") {
        const std::wstring recent = context.Folders.GetUserFolder(kUserRecent);
        context.ShowSubject(recent.substr(0, kSubjectLength));
        context.Collect.ListFolder(recent);
        ListRecentDocs(context);
    } else if (key == L"StartMenu") {
        context.ShowSubject(L"StartMenu");
        ListRunMru(context);
    }
}
