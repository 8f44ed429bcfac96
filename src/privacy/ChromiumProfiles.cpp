#include "privacy/ChromiumProfiles.h"

#include "common/CodePage.h"
#include "common/FileFind.h"
#include "common/JsonFile.h"

#include <windows.h>

#include <algorithm>
#include <vector>

using nlohmann::json;

const std::array<TChromiumBrowser, kChromiumBrowserCount> kChromiumBrowsers = {{
    {L"chrome", L"Google Chrome", TAppDataBase::Local, L"Google\\Chrome\\User Data", L"chrome.exe", false},
    {L"edge", L"Microsoft Edge", TAppDataBase::Local, L"Microsoft\\Edge\\User Data", L"msedge.exe", false},
    {L"brave", L"Brave", TAppDataBase::Local, L"BraveSoftware\\Brave-Browser\\User Data", L"brave.exe", false},
    {L"vivaldi", L"Vivaldi", TAppDataBase::Local, L"Vivaldi\\User Data", L"vivaldi.exe", false},
    {L"opera", L"Opera", TAppDataBase::Roaming, L"Opera Software\\Opera Stable", L"opera.exe", true},
    {L"operagx", L"Opera GX", TAppDataBase::Roaming, L"Opera Software\\Opera GX Stable", L"opera.exe", true},
}};

bool IsPlainFolderName(const std::wstring& name)
{
    if (name.empty() || name.size() > MAX_PATH)
        return false;
    if (name.find_first_of(L"\\/:*?\"<>|") != std::wstring::npos)
        return false;
    if (std::any_of(name.begin(), name.end(), [](wchar_t c) { return c < 0x20; }))
        return false;
    // Windows drops a name's trailing dots and blanks: "..", ". ." and "x." would not mean what they say.
    return name.back() != L'.' && name.back() != L' ';
}

namespace {

TWideStrings ProfilesFromLocalState(const std::wstring& userData)
{
    TWideStrings names;
    const TJsonFile state = ReadJsonFile(userData + L"\\Local State");
    if (state.Status != TJsonStatus::Read || !state.Value.is_object())
        return names;
    const auto profile = state.Value.find("profile");
    if (profile == state.Value.end() || !profile->is_object())
        return names;
    const auto cache = profile->find("info_cache");
    if (cache == profile->end() || !cache->is_object())
        return names;
    for (const auto& [key, value] : cache->items()) {
        const std::wstring name = Utf8ToWide(key);
        if (IsPlainFolderName(name) && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

TWideStrings DefaultProfiles(const std::wstring& userData)
{
    TWideStrings names = {L"Default"};
    WIN32_FIND_DATAW entry;
    const TFindHandle find = FindFirstEntry(userData + L"\\Profile *", entry);
    if (!find)
        return names;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            names.emplace_back(entry.cFileName);
    } while (FindNextFileW(find.Get(), &entry));
    return names;
}

} // namespace

TWideStrings ChromiumProfileNames(const std::wstring& userData)
{
    TWideStrings names = ProfilesFromLocalState(userData);
    return names.empty() ? DefaultProfiles(userData) : names;
}

TBookmarks ReadChromiumBookmarks(const std::wstring& profile)
{
    TBookmarks bookmarks;
    const TJsonFile file = ReadJsonFile(profile + L"\\Bookmarks");
    if (file.Status == TJsonStatus::Missing)
        return bookmarks;
    bookmarks.Damaged = true;
    if (file.Status != TJsonStatus::Read || !file.Value.is_object())
        return bookmarks;
    const auto roots = file.Value.find("roots");
    if (roots == file.Value.end() || !roots->is_object())
        return bookmarks;
    // Every node below the roots, walked with a list of its own instead of the call stack.
    std::vector<const json*> pending = {&*roots};
    while (!pending.empty()) {
        const json* node = pending.back();
        pending.pop_back();
        if (node->is_object()) {
            const auto type = node->find("type");
            if (type != node->end() && type->is_string() && type->get_ref<const std::string&>() == "url") {
                const auto url = node->find("url");
                if (url == node->end() || !url->is_string())
                    return bookmarks; // a bookmark without its address: nothing can be judged
                bookmarks.Urls.insert(url->get<std::string>());
            }
        }
        if (node->is_object() || node->is_array())
            for (const json& child : *node)
                if (child.is_object() || child.is_array())
                    pending.push_back(&child);
    }
    bookmarks.Damaged = false;
    return bookmarks;
}
