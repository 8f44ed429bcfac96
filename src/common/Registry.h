#pragma once
// RAII registry key and the root names used in registry display paths.
#include <windows.h>

#include <string>
#include <vector>

class TRegKey {
public:
    TRegKey() = default;
    ~TRegKey() { Close(); }
    TRegKey(TRegKey&& other) noexcept : Key_(other.Key_) { other.Key_ = nullptr; }
    TRegKey& operator=(TRegKey&& other) noexcept;
    TRegKey(const TRegKey&) = delete;
    TRegKey& operator=(const TRegKey&) = delete;

    // A leading backslash in path is ignored (paths are relative to the root).
    LSTATUS Open(HKEY root, const std::wstring& path, REGSAM access = KEY_READ, DWORD options = 0);
    LSTATUS Create(HKEY root, const std::wstring& path, REGSAM access = KEY_READ | KEY_WRITE);
    void Close();
    bool IsOpen() const { return Key_ != nullptr; }
    HKEY Handle() const { return Key_; }

    bool ValueExists(const std::wstring& name) const;
    // REG_SZ or REG_EXPAND_SZ, unexpanded; ERROR_INVALID_DATATYPE for other types.
    LSTATUS ReadString(const std::wstring& name, std::wstring& value) const;
    LSTATUS WriteString(const std::wstring& name, const std::wstring& value, DWORD type = REG_SZ) const;
    std::vector<std::wstring> SubKeyNames() const { return Names(true); }
    std::vector<std::wstring> ValueNames() const { return Names(false); }

private:
    std::vector<std::wstring> Names(bool subKeys) const;
    HKEY Key_ = nullptr;
};

// "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS" -> root; nullptr otherwise.
HKEY RootFromName(const std::wstring& name);
std::wstring RootName(HKEY root);
