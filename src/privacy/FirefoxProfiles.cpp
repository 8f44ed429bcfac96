#include "privacy/FirefoxProfiles.h"

#include "common/CodePage.h"
#include "common/Handles.h"
#include "common/Kelvor_Routine.h"
#include "common/Paths.h"
#include "common/SafeDelete.h"
#include "common/TextCompare.h"
#include "privacy/BrowserPlaces.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr LONGLONG kMaxIniSize = 1 << 20;
const wchar_t kStorePackage[] = L"Packages\\Mozilla.Firefox_n80bbvh6b1yt2\\LocalCache";

std::wstring Trimmed(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(L" \t\r");
    if (first == std::wstring::npos)
        return {};
    return text.substr(first, text.find_last_not_of(L" \t\r") - first + 1);
}

const std::wstring* Value(const TIniSection& section, const std::wstring& key)
{
    for (const auto& [name, value] : section.Entries)
        if (name == key)
            return &value;
    return nullptr;
}

std::wstring WithBackslashes(std::wstring path)
{
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

bool IsDriveAbsolute(const std::wstring& path)
{
    return path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
}

// An absolute profile folder: a real one (Firefox keeps prefs.js or times.json in it), itself no link.
// Whether the guard lets it be walked (drive roots, the system's and the user's data folders) the scan
// asks, so that a refusal shows in its report.
bool AcceptableAbsoluteProfile(const std::wstring& folder)
{
    if (!IsDriveAbsolute(folder) || ClimbsOut(folder.substr(3)))
        return false;
    if (!FolderExists(folder) || IsLink(folder))
        return false;
    return FileExists(folder + L"\\prefs.js") || FileExists(folder + L"\\times.json");
}

// The profile a [Profile*] section names; an empty folder when it names none that may be used.
TFirefoxProfile ProfileOf(const TIniSection& section, const TFirefoxPlace& place)
{
    const std::wstring* path = Value(section, L"Path");
    const std::wstring* relative = Value(section, L"IsRelative");
    if (section.Duplicated || !path || !relative || path->empty())
        return {};
    const std::wstring converted = WithBackslashes(*path);
    if (*relative == L"1") {
        if (ClimbsOut(converted))
            return {};
        const std::wstring folder = place.Roaming + L"\\" + converted;
        if (!FolderExists(folder) || IsLink(folder) || !ResolvesInside(place.Roaming, folder))
            return {};
        return {folder, place.Roaming, place.Local + L"\\" + converted, place.Local, false};
    }
    if (*relative != L"0" || !AcceptableAbsoluteProfile(converted))
        return {};
    // The folder is its own root: reached as listed, with no link below it.
    return {converted, converted, converted, converted, false, true};
}

// The default profiles' paths as the installations name them (installs.ini and the [Install...]
// sections of profiles.ini).
std::vector<std::wstring> DefaultPaths(const std::vector<TIniSection>& profiles, const TFirefoxPlace& place)
{
    std::vector<std::wstring> defaults;
    std::vector<TIniSection> installs;
    ReadFirefoxIni(place.Roaming + L"\\installs.ini", installs);
    for (const std::vector<TIniSection>* file : {static_cast<const std::vector<TIniSection>*>(&installs), &profiles})
        for (const TIniSection& section : *file)
            if ((file == &installs || section.Name.rfind(L"Install", 0) == 0) && !section.Duplicated)
                if (const std::wstring* path = Value(section, L"Default"))
                    defaults.push_back(WithBackslashes(*path));
    return defaults;
}

} // namespace

bool ReadFirefoxIni(const std::wstring& path, std::vector<TIniSection>& sections)
{
    sections.clear();
    const THandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxIniSize)
        return false;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()))
        return false;
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0)
        bytes.erase(0, 3);
    // Text it must be: a zero byte or a sequence that is no UTF-8 makes the whole file damaged.
    if (bytes.find('\0') != std::string::npos ||
        (!bytes.empty() && MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                               nullptr, 0) == 0))
        return false;
    const std::wstring text = Utf8ToWide(bytes);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        const std::wstring line = Trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == L';' || line[0] == L'#')
            continue;
        if (line.front() == L'[' && line.back() == L']') {
            const std::wstring name = line.substr(1, line.size() - 2);
            const auto same = std::find_if(sections.begin(), sections.end(), [&](const TIniSection& s) { return s.Name == name; });
            if (same != sections.end())
                same->Duplicated = true;
            sections.push_back({name, {}, same != sections.end()});
            continue;
        }
        const size_t equals = line.find(L'=');
        if (equals == std::wstring::npos || sections.empty())
            continue;
        TIniSection& section = sections.back();
        const std::wstring key = Trimmed(line.substr(0, equals));
        if (Value(section, key))
            section.Duplicated = true;
        section.Entries.emplace_back(key, Trimmed(line.substr(equals + 1)));
    }
    // A name that came twice taints every section of that name.
    for (TIniSection& section : sections)
        if (!section.Duplicated)
            section.Duplicated = std::any_of(sections.begin(), sections.end(), [&](const TIniSection& other) {
                return &other != &section && other.Name == section.Name;
            });
    return true;
}

std::vector<TFirefoxPlace> FirefoxPlaces(const std::wstring& appData, const std::wstring& localAppData)
{
    std::vector<TFirefoxPlace> places;
    if (!appData.empty())
        places.push_back({appData + L"\\Mozilla\\Firefox", localAppData.empty() ? L"" : localAppData + L"\\Mozilla\\Firefox"});
    if (!localAppData.empty()) {
        const std::wstring store = localAppData + L"\\" + kStorePackage;
        places.push_back({store + L"\\Roaming\\Mozilla\\Firefox", store + L"\\Local\\Mozilla\\Firefox"});
    }
    return places;
}

std::vector<TFirefoxProfile> FirefoxProfiles(const TFirefoxPlace& place)
{
    std::vector<TFirefoxProfile> profiles;
    std::vector<TIniSection> sections;
    if (!ReadFirefoxIni(place.Roaming + L"\\profiles.ini", sections))
        return profiles;
    const std::vector<std::wstring> defaults = DefaultPaths(sections, place);
    for (const TIniSection& section : sections) {
        if (section.Name.rfind(L"Profile", 0) != 0)
            continue;
        TFirefoxProfile profile = ProfileOf(section, place);
        if (profile.Folder.empty())
            continue;
        const bool same = std::any_of(profiles.begin(), profiles.end(), [&](const TFirefoxProfile& p) {
            return SameText(p.Folder, profile.Folder);
        });
        if (same)
            continue;
        const std::wstring* path = Value(section, L"Path");
        profile.Default = std::find(defaults.begin(), defaults.end(), WithBackslashes(*path)) != defaults.end();
        profiles.push_back(profile);
    }
    std::stable_partition(profiles.begin(), profiles.end(), [](const TFirefoxProfile& p) { return p.Default; });
    return profiles;
}
