#include "spyware/RegistryEntry.h"

#include "common/Registry.h"
#include "common/SafeDelete.h"

namespace {

// The subkey starts where it would start if the root name stood at the beginning of the key path,
// and is at most 255 characters long.
std::wstring SubKeyAt(const std::wstring& keyPath, size_t start)
{
    if (keyPath.size() <= start)
        return {};
    std::wstring subKey = keyPath.substr(start, 255);
    // The leading backslash makes the path absolute within the root; the registry wants it relative.
    const size_t first = subKey.find_first_not_of(L'\\');
    return first == std::wstring::npos ? std::wstring() : subKey.substr(first);
}

} // namespace

TRegistryEntry ParseRegistryEntry(const std::wstring& entry)
{
    TRegistryEntry result;
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

bool RegistryEntryPresent(const TRegistryEntry& entry)
{
    if (entry.Locations.empty())
        return false;
    const TRegistryLocation& location = entry.Locations.back();
    // A root on its own is never a finding: it could only be "removed" by emptying the root.
    if (location.SubKey.empty())
        return false;
    TRegKey key;
    if (key.Open(location.Root, location.SubKey, KEY_READ) != ERROR_SUCCESS)
        return false;
    return !entry.IsValue || key.ValueExists(entry.ValueName);
}

TOutcome DeleteRegistryEntry(const TRegistryEntry& entry)
{
    TOutcome outcome = TOutcome::AlreadyGone;
    for (const TRegistryLocation& location : entry.Locations) {
        if (location.SubKey.empty()) {
            outcome = TOutcome::Refused;
            continue;
        }
        outcome = entry.IsValue ? DeleteRegValueSafe(location.Root, location.SubKey, entry.ValueName)
                                : DeleteRegTreeSafe(location.Root, location.SubKey);
    }
    return outcome;
}
