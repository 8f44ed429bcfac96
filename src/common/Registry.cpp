#include "common/Registry.h"

namespace {

const wchar_t* Relative(const std::wstring& path)
{
    const wchar_t* p = path.c_str();
    while (*p == L'\\')
        ++p;
    return p;
}

struct RootEntry {
    const wchar_t* Name;
    HKEY Root;
};

const RootEntry kRoots[] = {
    {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {L"HKEY_USERS", HKEY_USERS},
};

} // namespace

TRegKey& TRegKey::operator=(TRegKey&& other) noexcept
{
    if (this != &other) {
        Close();
        Key_ = other.Key_;
        other.Key_ = nullptr;
    }
    return *this;
}

LSTATUS TRegKey::Open(HKEY root, const std::wstring& path, REGSAM access, DWORD options)
{
    Close();
    return RegOpenKeyExW(root, Relative(path), options, access, &Key_);
}

LSTATUS TRegKey::Create(HKEY root, const std::wstring& path, REGSAM access)
{
    Close();
    return RegCreateKeyExW(root, Relative(path), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &Key_, nullptr);
}

void TRegKey::Close()
{
    if (Key_)
        RegCloseKey(Key_);
    Key_ = nullptr;
}

bool TRegKey::ValueExists(const std::wstring& name) const
{
    return Key_ && RegQueryValueExW(Key_, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

LSTATUS TRegKey::ReadString(const std::wstring& name, std::wstring& value) const
{
    value.clear();
    if (!Key_)
        return ERROR_INVALID_HANDLE;
    DWORD type = 0;
    DWORD bytes = 0;
    LSTATUS status = RegQueryValueExW(Key_, name.c_str(), nullptr, &type, nullptr, &bytes);
    // The value may grow between the two calls; ask again with the size the second call reports.
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            return ERROR_INVALID_DATATYPE;
        std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        status = RegQueryValueExW(Key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (status == ERROR_SUCCESS) {
            buffer.resize(size / sizeof(wchar_t));
            while (!buffer.empty() && buffer.back() == L'\0')
                buffer.pop_back();
            value = std::move(buffer);
            return ERROR_SUCCESS;
        }
        bytes = size;
    }
    return status;
}

LSTATUS TRegKey::WriteString(const std::wstring& name, const std::wstring& value, DWORD type) const
{
    if (!Key_)
        return ERROR_INVALID_HANDLE;
    return RegSetValueExW(Key_, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::vector<std::wstring> TRegKey::Names(bool subKeys) const
{
    std::vector<std::wstring> names;
    if (!Key_)
        return names;
    DWORD longestKey = 0;
    DWORD longestValue = 0;
    if (RegQueryInfoKeyW(Key_, nullptr, nullptr, nullptr, nullptr, &longestKey, nullptr, nullptr, &longestValue,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    std::wstring buffer((subKeys ? longestKey : longestValue) + 1, L'\0');
    for (DWORD i = 0;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        const LSTATUS status = subKeys
            ? RegEnumKeyExW(Key_, i, buffer.data(), &size, nullptr, nullptr, nullptr, nullptr)
            : RegEnumValueW(Key_, i, buffer.data(), &size, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) { // the key changed since the size was asked
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (status != ERROR_SUCCESS)
            break;
        names.emplace_back(buffer.c_str(), size);
        ++i;
    }
    return names;
}

HKEY RootFromName(const std::wstring& name)
{
    for (const RootEntry& entry : kRoots)
        if (name == entry.Name)
            return entry.Root;
    return nullptr;
}

std::wstring RootName(HKEY root)
{
    for (const RootEntry& entry : kRoots)
        if (root == entry.Root)
            return entry.Name;
    return {};
}
