#include "common/KeptEntries.h"

#include "common/Registry.h"
#include "common/TextCompare.h"

#include <vector>

namespace {

std::wstring WithoutTrailingBackslash(std::wstring path)
{
    while (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    return path;
}

} // namespace

TEntryPlace RegistryPlace(HKEY root, const std::wstring& subKey, REGSAM view, const std::optional<std::wstring>& valueName)
{
    TEntryPlace place{TEntryPlace::TDomain::Registry};
    TRegKey key;
    std::wstring name;
    if (key.Open(root, subKey, KEY_QUERY_VALUE | view) == ERROR_SUCCESS)
        name = key.KernelName();
    if (name.empty())
        name = RootName(root) + L"\\" + subKey;
    place.Path = UpperText(WithoutTrailingBackslash(name));
    if (valueName) {
        place.HasPart = true;
        place.Part = UpperText(*valueName);
    }
    return place;
}

TEntryPlace FilePlace(const std::wstring& path, const std::optional<std::wstring>& part)
{
    TEntryPlace place{TEntryPlace::TDomain::File};
    std::wstring full = path;
    std::vector<wchar_t> buffer(32768);
    DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length > 0 && length < buffer.size())
        full.assign(buffer.data(), length);
    // A short (8.3) name and the long one name the same file.
    length = GetLongPathNameW(full.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length > 0 && length < buffer.size())
        full.assign(buffer.data(), length);
    place.Path = UpperText(WithoutTrailingBackslash(full));
    if (part) {
        place.HasPart = true;
        place.Part = UpperText(*part);
    }
    return place;
}

TEntryPlace CookiePlace(const std::wstring& url)
{
    return {TEntryPlace::TDomain::Cookie, UpperText(url)};
}

void TKeptEntries::Add(const TEntryPlace& place, const std::wstring& list)
{
    Entries_.emplace(TKey{static_cast<int>(place.Domain), place.Path}, TKept{place.HasPart, place.Part, list});
}

const std::wstring* TKeptEntries::KeptBy(const TEntryPlace& place) const
{
    const int domain = static_cast<int>(place.Domain);
    // The same key, file or cookie: a whole entry conflicts with anything kept there, a part with the
    // whole entry or the same part.
    const auto same = Entries_.equal_range({domain, place.Path});
    for (auto it = same.first; it != same.second; ++it)
        if (!place.HasPart || !it->second.HasPart || it->second.Part == place.Part)
            return &it->second.List;
    if (place.Domain == TEntryPlace::TDomain::Cookie)
        return nullptr;
    // Kept entries below it: removing the whole key or folder would take them along.
    if (!place.HasPart) {
        const std::wstring below = place.Path + L"\\";
        const auto first = Entries_.lower_bound({domain, below});
        if (first != Entries_.end() && first->first.first == domain &&
            first->first.second.compare(0, below.size(), below) == 0)
            return &first->second.List;
    }
    // Kept keys or folders above it: removing it would change what the user kept.
    for (size_t slash = place.Path.rfind(L'\\'); slash != std::wstring::npos && slash > 0;
         slash = place.Path.rfind(L'\\', slash - 1)) {
        const auto above = Entries_.equal_range({domain, place.Path.substr(0, slash)});
        for (auto it = above.first; it != above.second; ++it)
            if (!it->second.HasPart)
                return &it->second.List;
    }
    return nullptr;
}
