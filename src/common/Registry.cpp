#include "common/Registry.h"

#include "common/TextCompare.h"

#include <winternl.h>

#include <cstring>
#include <cwchar>

extern "C" NTSTATUS NTAPI NtQueryKey(HANDLE key, int informationClass, void* information, ULONG length,
                                     ULONG* resultLength);

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

constexpr int kKeyNameInformation = 3;

} // namespace

std::wstring TRegValue::Text() const
{
    std::wstring text(Data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty())
        std::memcpy(text.data(), Data.data(), text.size() * sizeof(wchar_t));
    const size_t end = text.find(L'\0');
    if (end != std::wstring::npos)
        text.resize(end);
    return text;
}

uint32_t TRegValue::Dword() const
{
    if (Data.size() < 4)
        return 0;
    return static_cast<uint32_t>(Data[0]) | static_cast<uint32_t>(Data[1]) << 8 | static_cast<uint32_t>(Data[2]) << 16 |
           static_cast<uint32_t>(Data[3]) << 24;
}

TRegKey& TRegKey::operator=(TRegKey&& other) noexcept
{
    if (this != &other) {
        Close();
        Key_ = other.Key_;
        other.Key_ = nullptr;
    }
    return *this;
}

namespace {

// The 32-bit classes lie below HKEY_CLASSES_ROOT\Wow6432Node. Naming that place instead of asking for
// the view keeps keys that both views share out of the 32-bit answer, and keeps the classes root's
// redirection by RegOverridePredefKey (an explicit view on it opens the machine's own classes).
std::wstring ClassesPath(const std::wstring& path, REGSAM& access)
{
    std::wstring relative = Relative(path);
    if (access & KEY_WOW64_32KEY)
        relative = relative.empty() ? L"Wow6432Node" : L"Wow6432Node\\" + relative;
    access &= ~(KEY_WOW64_32KEY | KEY_WOW64_64KEY);
    return relative;
}

} // namespace

LSTATUS TRegKey::Open(HKEY root, const std::wstring& path, REGSAM access, DWORD options)
{
    Close();
    if (root == HKEY_CLASSES_ROOT && (access & (KEY_WOW64_32KEY | KEY_WOW64_64KEY))) {
        const std::wstring classes = ClassesPath(path, access);
        return RegOpenKeyExW(root, classes.c_str(), options, access, &Key_);
    }
    return RegOpenKeyExW(root, Relative(path), options, access, &Key_);
}

LSTATUS TRegKey::Create(HKEY root, const std::wstring& path, REGSAM access)
{
    Close();
    std::wstring relative = Relative(path);
    if (root == HKEY_CLASSES_ROOT && (access & (KEY_WOW64_32KEY | KEY_WOW64_64KEY)))
        relative = ClassesPath(path, access);
    return RegCreateKeyExW(root, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &Key_,
                           nullptr);
}

LSTATUS TRegKey::OpenOrCreate(HKEY root, const std::wstring& path, REGSAM view)
{
    const LSTATUS status = Open(root, path, KEY_READ | view);
    if (status != ERROR_FILE_NOT_FOUND)
        return status;
    return Create(root, path, KEY_READ | view);
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

LSTATUS TRegKey::ReadValue(const std::wstring& name, TRegValue& value) const
{
    value = {};
    if (!Key_)
        return ERROR_INVALID_HANDLE;
    DWORD type = 0;
    DWORD bytes = 0;
    LSTATUS status = RegQueryValueExW(Key_, name.c_str(), nullptr, &type, nullptr, &bytes);
    // The value may grow between the two calls; ask again with the size the second call reports.
    for (int attempt = 0; attempt < 8 && (status == ERROR_SUCCESS || status == ERROR_MORE_DATA); ++attempt) {
        std::vector<BYTE> data(bytes);
        DWORD size = bytes;
        status = RegQueryValueExW(Key_, name.c_str(), nullptr, &type, data.empty() ? nullptr : data.data(), &size);
        if (status == ERROR_SUCCESS) {
            data.resize(size);
            value.Type = type;
            value.Data = std::move(data);
            return ERROR_SUCCESS;
        }
        bytes = size;
    }
    return status;
}

LSTATUS TRegKey::ReadString(const std::wstring& name, std::wstring& value) const
{
    value.clear();
    TRegValue raw;
    const LSTATUS status = ReadValue(name, raw);
    if (status != ERROR_SUCCESS)
        return status;
    if (!raw.IsText())
        return ERROR_INVALID_DATATYPE;
    value = raw.Text();
    return ERROR_SUCCESS;
}

LSTATUS TRegKey::WriteString(const std::wstring& name, const std::wstring& value, DWORD type) const
{
    if (!Key_)
        return ERROR_INVALID_HANDLE;
    return RegSetValueExW(Key_, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LSTATUS TRegKey::WriteValue(const std::wstring& name, const TRegValue& value) const
{
    if (!Key_)
        return ERROR_INVALID_HANDLE;
    return RegSetValueExW(Key_, name.c_str(), 0, value.Type, value.Data.empty() ? nullptr : value.Data.data(),
                          static_cast<DWORD>(value.Data.size()));
}

std::vector<std::wstring> TRegKey::Names(bool subKeys) const
{
    DWORD longestKey = 0;
    DWORD longestValue = 0;
    if (!Key_ || RegQueryInfoKeyW(Key_, nullptr, nullptr, nullptr, nullptr, &longestKey, nullptr, nullptr,
                                  &longestValue, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return {};
    return EnumNames(subKeys, subKeys ? longestKey : longestValue);
}

std::vector<std::wstring> TRegKey::EnumNames(bool subKeys, DWORD longest) const
{
    std::vector<std::wstring> names;
    std::wstring buffer(longest + 1, L'\0');
    for (DWORD i = 0;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        const LSTATUS status = subKeys
            ? RegEnumKeyExW(Key_, i, buffer.data(), &size, nullptr, nullptr, nullptr, nullptr)
            : RegEnumValueW(Key_, i, buffer.data(), &size, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA && buffer.size() < 65536) { // the key changed since the size was asked
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

std::vector<TRegNamedValue> TRegKey::Values() const
{
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (!Key_ || RegQueryInfoKeyW(Key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                                  &longestData, nullptr, nullptr) != ERROR_SUCCESS)
        return {};
    return EnumValues(longestName, longestData);
}

TRegKey::TContents TRegKey::Contents() const
{
    DWORD subKeys = 0;
    DWORD longestKey = 0;
    DWORD values = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (!Key_ || RegQueryInfoKeyW(Key_, nullptr, nullptr, nullptr, &subKeys, &longestKey, nullptr, &values,
                                  &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS)
        return {};
    TContents contents;
    if (values)
        contents.Values = EnumValues(longestName, longestData);
    if (subKeys)
        contents.SubKeys = EnumNames(true, longestKey);
    return contents;
}

std::vector<TRegNamedValue> TRegKey::EnumValues(DWORD longestName, DWORD longestData) const
{
    std::vector<TRegNamedValue> values;
    std::wstring name(longestName + 1, L'\0');
    std::vector<BYTE> data(longestData);
    for (DWORD i = 0;;) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LSTATUS status = RegEnumValueW(Key_, i, name.data(), &nameSize, nullptr, &type,
                                             data.empty() ? nullptr : data.data(), &dataSize);
        if (status == ERROR_MORE_DATA && name.size() < 65536 && data.size() < (64u << 20)) {
            // The key changed since the sizes were asked: grow whichever was short and ask again.
            name.resize(name.size() * 2);
            data.resize(dataSize > data.size() ? dataSize : data.size() * 2 + 16);
            continue;
        }
        if (status != ERROR_SUCCESS)
            break;
        TRegNamedValue entry;
        entry.Name.assign(name.c_str(), nameSize);
        entry.Value.Type = type;
        entry.Value.Data.assign(data.begin(), data.begin() + dataSize);
        values.push_back(std::move(entry));
        ++i;
    }
    return values;
}

bool TRegKey::Counts(DWORD& subKeys, DWORD& values) const
{
    subKeys = values = 0;
    return Key_ && RegQueryInfoKeyW(Key_, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                                    nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::wstring TRegKey::KernelName() const
{
    return KeyKernelName(Key_);
}

std::wstring KeyKernelName(HKEY key)
{
    if (!key)
        return {};
    std::vector<BYTE> buffer(1024);
    for (int attempt = 0; attempt < 4; ++attempt) {
        ULONG needed = 0;
        const NTSTATUS status = NtQueryKey(key, kKeyNameInformation, buffer.data(),
                                           static_cast<ULONG>(buffer.size()), &needed);
        if (status >= 0) {
            ULONG length = 0;
            std::memcpy(&length, buffer.data(), sizeof length);
            const size_t chars = length / sizeof(wchar_t);
            std::wstring name(chars, L'\0');
            std::memcpy(name.data(), buffer.data() + sizeof(ULONG), chars * sizeof(wchar_t));
            return name;
        }
        if (needed <= buffer.size())
            break;
        buffer.resize(needed);
    }
    return {};
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

bool IsLinkKey(HKEY key)
{
    DWORD type = 0;
    return RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
           type == REG_LINK;
}

bool TreeHoldsLink(HKEY key, REGSAM view)
{
    if (IsLinkKey(key))
        return true;
    TRegKey self;
    if (self.Open(key, L"", KEY_READ) != ERROR_SUCCESS)
        return false;
    for (const std::wstring& name : self.SubKeyNames()) {
        TRegKey child;
        if (child.Open(key, name, KEY_READ | view, REG_OPTION_OPEN_LINK) != ERROR_SUCCESS)
            return true; // cannot look inside: treat as a link, so nothing is deleted through it
        if (TreeHoldsLink(child.Handle(), view))
            return true;
    }
    return false;
}

bool IsSeparate32BitKey(HKEY root, const std::wstring& path)
{
    TRegKey key32;
    if (key32.Open(root, path, KEY_READ | KEY_WOW64_32KEY) != ERROR_SUCCESS)
        return false;
    TRegKey key64;
    if (key64.Open(root, path, KEY_READ | KEY_WOW64_64KEY) != ERROR_SUCCESS)
        return true;
    const std::wstring name32 = key32.KernelName();
    const std::wstring name64 = key64.KernelName();
    // Without names to compare, the safe answer is "the same key": nothing is listed twice.
    return !name32.empty() && !name64.empty() && !SameText(name32, name64);
}

std::wstring RootKernelName(HKEY root)
{
    // A predefined root opened by itself is only its pseudo handle, which has no name; the name of any
    // key below it, less that key's own name, is the root's.
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumKeyExW(root, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return {};
    TRegKey child;
    // Opened as itself even if it is a link, so that the name is not its target's.
    if (child.Open(root, std::wstring(name, length), KEY_QUERY_VALUE, REG_OPTION_OPEN_LINK) != ERROR_SUCCESS)
        return {};
    const std::wstring full = child.KernelName();
    if (full.size() <= length + 1 || full[full.size() - length - 1] != L'\\')
        return {};
    return full.substr(0, full.size() - length - 1);
}

