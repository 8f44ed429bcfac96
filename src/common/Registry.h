#pragma once
// RAII registry key and the root names used in registry display paths.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A value as stored: its type and raw bytes.
struct TRegValue {
    DWORD Type = REG_NONE;
    std::vector<BYTE> Data;

    bool IsText() const { return Type == REG_SZ || Type == REG_EXPAND_SZ; }
    // The data read as UTF-16 up to its first null (whatever the type); an odd last byte is dropped.
    std::wstring Text() const;
    // The first four bytes as a little-endian number (0 when shorter).
    uint32_t Dword() const;
};

struct TRegNamedValue {
    std::wstring Name;
    TRegValue Value;
};

class TRegKey {
public:
    TRegKey() = default;
    ~TRegKey() { Close(); }
    TRegKey(TRegKey&& other) noexcept : Key_(other.Key_) { other.Key_ = nullptr; }
    TRegKey& operator=(TRegKey&& other) noexcept;
    TRegKey(const TRegKey&) = delete;
    TRegKey& operator=(const TRegKey&) = delete;

    // A leading backslash in path is ignored (paths are relative to the root). access may carry
    // KEY_WOW64_32KEY or KEY_WOW64_64KEY to choose the view.
    LSTATUS Open(HKEY root, const std::wstring& path, REGSAM access = KEY_READ, DWORD options = 0);
    LSTATUS Create(HKEY root, const std::wstring& path, REGSAM access = KEY_READ | KEY_WRITE);
    // Opens an existing key for reading; creates it (then reads it) only when it is missing, so that a
    // user without write rights still reads what exists.
    LSTATUS OpenOrCreate(HKEY root, const std::wstring& path, REGSAM view = 0);
    void Close();
    bool IsOpen() const { return Key_ != nullptr; }
    HKEY Handle() const { return Key_; }

    bool ValueExists(const std::wstring& name) const;
    // REG_SZ or REG_EXPAND_SZ, unexpanded; ERROR_INVALID_DATATYPE for other types.
    LSTATUS ReadString(const std::wstring& name, std::wstring& value) const;
    // Any type, raw bytes.
    LSTATUS ReadValue(const std::wstring& name, TRegValue& value) const;
    LSTATUS WriteString(const std::wstring& name, const std::wstring& value, DWORD type = REG_SZ) const;
    LSTATUS WriteValue(const std::wstring& name, const TRegValue& value) const;
    std::vector<std::wstring> SubKeyNames() const { return Names(true); }
    std::vector<std::wstring> ValueNames() const { return Names(false); }
    // Every value with its type and data, in enumeration order, read in one pass.
    std::vector<TRegNamedValue> Values() const;
    // The values (as Values() reads them) and the subkeys' names, the key's sizes asked once for both.
    struct TContents {
        std::vector<TRegNamedValue> Values;
        std::vector<std::wstring> SubKeys;
    };
    TContents Contents() const;
    // Numbers of subkeys and values; false when the key cannot be asked.
    bool Counts(DWORD& subKeys, DWORD& values) const;
    // The key's name in the kernel's namespace (\REGISTRY\MACHINE\...); a key reached through a link
    // answers with its target's name. Empty when it cannot be asked.
    std::wstring KernelName() const;

private:
    std::vector<std::wstring> Names(bool subKeys) const;
    std::vector<std::wstring> EnumNames(bool subKeys, DWORD longest) const;
    std::vector<TRegNamedValue> EnumValues(DWORD longestName, DWORD longestData) const;
    HKEY Key_ = nullptr;
};

// "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS" -> root; nullptr otherwise.
HKEY RootFromName(const std::wstring& name);
std::wstring RootName(HKEY root);

// The kernel's name of any open key (as TRegKey::KernelName); empty when it cannot be asked.
std::wstring KeyKernelName(HKEY key);

// True when the open key is a registry link (it must have been opened with REG_OPTION_OPEN_LINK for
// the link itself to answer).
bool IsLinkKey(HKEY key);
// True when the open key holds a link anywhere below it (itself included when opened as a link).
bool TreeHoldsLink(HKEY key, REGSAM view = 0);

// The kernel's name of a predefined root as this process sees it now (RegOverridePredefKey may have
// redirected it); empty when the root holds no key to tell it by.
std::wstring RootKernelName(HKEY root);

// On 64-bit Windows 32-bit programs see some keys elsewhere (below Wow6432Node). True when the key
// that the 32-bit view opens at path exists and is not the key that the 64-bit view opens there.
bool IsSeparate32BitKey(HKEY root, const std::wstring& path);
