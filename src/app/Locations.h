#pragma once
// "Open location": the place a finding names, shown in Explorer or in the registry editor.
#include <functional>
#include <string>

struct TLocation {
    enum class TKind { None, Path, RegistryKey };
    TKind Kind = TKind::None;
    std::wstring Text; // a full path, or a registry display path (root name, backslash, key path)
};

// A spyware row's Entry: a registry entry (its key; a "|" starts the value name), a drive or network
// path, or none (a cookie is known by its URL only).
TLocation LocationOfEntry(const std::wstring& entry);
// A junk-file row: a full path is the file's; any other row names no place.
TLocation LocationOfFile(const std::wstring& line);
// A registry row's key column: the whole text is the key.
TLocation LocationOfKey(const std::wstring& key);

// Starts a program with its parameters; true when it started. Tests put their own in: an Explorer or
// a registry editor left running would keep the system busy.
using TLaunch = std::function<bool(const std::wstring& program, const std::wstring& parameters)>;
TLaunch SystemLaunch();

// Where the registry editor keeps the key it opens with.
inline constexpr wchar_t kRegeditSettingsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit";

// A file or folder: Explorer with it selected (a path that is gone: its nearest folder that is still
// there). A registry key: the editor's last key set to it, then the editor started.
bool OpenLocation(const TLocation& location, const TLaunch& launch);
