#include "app/Locations.h"

#include "common/Registry.h"

#include <windows.h>
#include <shellapi.h>

namespace {

bool IsRegistryPath(const std::wstring& text)
{
    return text.compare(0, 5, L"HKEY_") == 0;
}

bool IsFullPath(const std::wstring& text)
{
    return (text.size() >= 3 && text[1] == L':' && text[2] == L'\\') || text.compare(0, 2, L"\\\\") == 0;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring WithoutTrailingBackslashes(std::wstring text)
{
    while (text.size() > 1 && text.back() == L'\\')
        text.pop_back();
    return text;
}

// The editor writes its last key with the name of the tree's top ("Computer\" on some systems,
// nothing on others) before the root name; a key written the way it last wrote one is one it finds.
std::wstring EditorKeyText(const std::wstring& key)
{
    std::wstring previous;
    TRegKey settings;
    if (settings.Open(HKEY_CURRENT_USER, kRegeditSettingsKey) == ERROR_SUCCESS)
        settings.ReadString(L"LastKey", previous);
    const size_t root = previous.find(L"\\HKEY_");
    const std::wstring top = root == std::wstring::npos ? std::wstring() : previous.substr(0, root + 1);
    return top + key;
}

// A path for Explorer's command line. A quoted path must not end in a backslash (it would escape the
// closing quote); a drive root needs its backslash and has no blank to quote.
std::wstring ExplorerPath(const std::wstring& path)
{
    const std::wstring bare = WithoutTrailingBackslashes(path);
    return bare.size() == 2 && bare[1] == L':' ? bare + L"\\" : L"\"" + bare + L"\"";
}

bool ShowInExplorer(const std::wstring& path, const TLaunch& launch)
{
    if (Exists(path))
        return launch(L"explorer.exe", L"/select," + ExplorerPath(path));
    std::wstring folder = WithoutTrailingBackslashes(path);
    for (size_t slash = folder.rfind(L'\\'); slash != std::wstring::npos && slash > 1; slash = folder.rfind(L'\\')) {
        folder.resize(slash);
        if (Exists(folder + L"\\"))
            return launch(L"explorer.exe", ExplorerPath(folder));
    }
    return false;
}

bool ShowInRegistryEditor(const std::wstring& key, const TLaunch& launch)
{
    TRegKey settings;
    if (settings.Create(HKEY_CURRENT_USER, kRegeditSettingsKey, KEY_READ | KEY_WRITE) != ERROR_SUCCESS ||
        settings.WriteString(L"LastKey", EditorKeyText(WithoutTrailingBackslashes(key))) != ERROR_SUCCESS)
        return false;
    return launch(L"regedit.exe", L"");
}

} // namespace

TLocation LocationOfEntry(const std::wstring& entry)
{
    if (IsRegistryPath(entry))
        return {TLocation::TKind::RegistryKey, entry.substr(0, entry.find(L'|'))};
    if (IsFullPath(entry))
        return {TLocation::TKind::Path, entry};
    return {};
}

TLocation LocationOfFile(const std::wstring& line)
{
    return IsFullPath(line) ? TLocation{TLocation::TKind::Path, line} : TLocation{};
}

TLocation LocationOfKey(const std::wstring& key)
{
    return IsRegistryPath(key) ? TLocation{TLocation::TKind::RegistryKey, key} : TLocation{};
}

TLaunch SystemLaunch()
{
    return [](const std::wstring& program, const std::wstring& parameters) {
        const auto result = reinterpret_cast<INT_PTR>(
            ShellExecuteW(nullptr, L"open", program.c_str(), parameters.empty() ? nullptr : parameters.c_str(), nullptr,
                          SW_SHOWNORMAL));
        return result > 32;
    };
}

bool OpenLocation(const TLocation& location, const TLaunch& launch)
{
    switch (location.Kind) {
    case TLocation::TKind::Path: return ShowInExplorer(location.Text, launch);
    case TLocation::TKind::RegistryKey: return ShowInRegistryEditor(location.Text, launch);
    case TLocation::TKind::None: break;
    }
    return false;
}
