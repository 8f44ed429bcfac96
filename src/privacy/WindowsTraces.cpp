#include "privacy/WindowsTraces.h"

#include "common/AppFrame.h"
#include "privacy/PrivacyCollectors.h"
#include "privacy/PrivacyItems.h"

namespace {

const wchar_t kRecentDocsKey[] = L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
const wchar_t kRunMruKey[] = L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

} // namespace

void ListRecentDocs(TCategoryContext& context)
{
    // The status line follows the key's own values, not those of its subkeys.
    context.Collect.ListValuesOneLevel(kRecentDocsKey, [&](const std::wstring& name) { context.ShowSubject(name); });
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
        context.Collect.ListFolder(recent, TWalkRoot::Named);
        ListRecentDocs(context);
    } else if (key == L"StartMenu") {
        context.ShowSubject(L"StartMenu");
        ListRunMru(context);
    }
}
