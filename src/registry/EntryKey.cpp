#include "registry/EntryKey.h"

bool HoldsNull(const std::wstring& name)
{
    return name.find(L'\0') != std::wstring::npos;
}

bool OpenEntryKey(HKEY parent, const std::wstring& name, TRegKey& key)
{
    key.Close();
    // The open call reads a name up to its first null and would reach another key.
    if (HoldsNull(name))
        return false;
    if (key.Open(parent, name, KEY_READ, REG_OPTION_OPEN_LINK) != ERROR_SUCCESS)
        return false;
    if (!IsLinkKey(key.Handle()))
        return true;
    key.Close();
    return false;
}

bool OpenEntryContents(HKEY parent, const std::wstring& name, TRegKey& key, TRegKey::TContents& contents)
{
    contents = {};
    key.Close();
    if (HoldsNull(name) || key.Open(parent, name, KEY_READ, REG_OPTION_OPEN_LINK) != ERROR_SUCCESS)
        return false;
    contents = key.Contents();
    for (const TRegNamedValue& value : contents.Values) {
        if (value.Value.Type == REG_LINK && value.Name == L"SymbolicLinkValue") {
            key.Close();
            contents = {};
            return false;
        }
    }
    return true;
}
