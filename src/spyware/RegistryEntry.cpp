#include "spyware/RegistryEntry.h"

#include "common/KeyLocation.h"
#include "common/Registry.h"
#include "common/SafeDelete.h"

namespace {

// The subkey starts where it would start if the root name stood at the beginning of the key path.
// It is never cut: a cut could land on a backslash and name the parent key.
std::wstring SubKeyAt(const std::wstring& keyPath, size_t start)
{
    if (keyPath.size() <= start)
        return {};
    const std::wstring subKey = keyPath.substr(start);
    // The leading backslash makes the path absolute within the root; the registry wants it relative.
    const size_t first = subKey.find_first_not_of(L'\\');
    return first == std::wstring::npos ? std::wstring() : subKey.substr(first);
}

bool PresentIn(const TRegistryEntry& entry, const TRegistryLocation& location, REGSAM view, TRegKey& key)
{
    if (key.Open(location.Root, location.SubKey, KEY_READ | view) != ERROR_SUCCESS)
        return false;
    return !entry.IsValue || key.ValueExists(entry.ValueName);
}

} // namespace

TRegistryEntry ParseRegistryEntry(const std::wstring& entry)
{
    TRegistryEntry result;
    result.Text = entry;
    const size_t firstBar = entry.find(L'|');
    if (firstBar == std::wstring::npos) {
        result.KeyPath = entry;
    } else {
        result.KeyPath = entry.substr(0, firstBar);
        result.ValueName = entry.substr(entry.rfind(L'|') + 1);
        result.IsValue = true;
    }

    struct TRootName {
        const wchar_t* Name;
        HKEY Root;
    };
    static const TRootName firstRoots[] = {
        {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    };
    for (const TRootName& root : firstRoots) {
        if (result.KeyPath.find(root.Name) != std::wstring::npos) {
            result.Locations.push_back({root.Root, SubKeyAt(result.KeyPath, wcslen(root.Name))});
            break;
        }
    }
    if (result.KeyPath.find(L"HKEY_USERS") != std::wstring::npos)
        result.Locations.push_back({HKEY_USERS, SubKeyAt(result.KeyPath, wcslen(L"HKEY_USERS"))});
    return result;
}

std::vector<TRegistryHit> FindRegistryEntry(const TRegistryEntry& entry)
{
    std::vector<TRegistryHit> hits;
    if (entry.Locations.empty())
        return hits;
    const TRegistryLocation& location = entry.Locations.back();
    // A root on its own is never a finding: it could only be "removed" by emptying the root.
    if (location.SubKey.empty())
        return hits;
    // Each place is named where the key really lies, so that the removal reaches it one step at a time
    // without a link on the way; a link that is not the system's own stays on the way, and the removal
    // refuses it.
    const TKeyLocator locator;
    const std::wstring valuePart = entry.IsValue ? L"|" + entry.ValueName : L"";
    TRegKey key;
    if (PresentIn(entry, location, KEY_WOW64_64KEY, key)) {
        const TKeyLocation place = locator.Locate(location.Root, location.SubKey, KEY_WOW64_64KEY, key.Handle());
        if (place.Found() && !place.Path.empty())
            hits.push_back({place.Root, place.Path, 0, entry.Text});
    }
    if (IsSeparate32BitKey(location.Root, location.SubKey) && PresentIn(entry, location, KEY_WOW64_32KEY, key)) {
        const TKeyLocation place = locator.Locate(location.Root, location.SubKey, KEY_WOW64_32KEY, key.Handle());
        if (place.Found() && !place.Path.empty())
            hits.push_back({place.Root, place.Path, 0, place.Display() + valuePart});
    }
    return hits;
}

TOutcome DeleteRegistryHit(const TRegistryHit& hit, const TRegistryEntry& entry)
{
    if (hit.SubKey.empty())
        return TOutcome::Refused;
    return entry.IsValue ? DeleteRegValueSafe(hit.Root, hit.SubKey, entry.ValueName, hit.View)
                         : DeleteRegTreeSafe(hit.Root, hit.SubKey, hit.View);
}
