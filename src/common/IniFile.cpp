#include "common/IniFile.h"

#include "common/AppFrame.h"
#include "common/Paths.h"

#include <windows.h>
#include <shlobj.h>

#include <cwchar>

namespace {

// GetPrivateProfile* answer with size - 1 (or size - 2 for lists) when the buffer was too small.
template <typename Call>
std::wstring AskProfile(Call call, DWORD reserve)
{
    std::wstring buffer(2048, L'\0');
    for (;;) {
        const DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length + reserve < buffer.size() || buffer.size() >= (1u << 24)) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 4);
    }
}

TWideStrings SplitDoubleNull(const std::wstring& block)
{
    TWideStrings items;
    for (size_t at = 0; at < block.size();) {
        const size_t end = block.find(L'\0', at);
        const size_t stop = end == std::wstring::npos ? block.size() : end;
        if (stop > at)
            items.emplace_back(block, at, stop - at);
        at = stop + 1;
    }
    return items;
}

template <typename Text>
Text NameOf(const Text& line)
{
    const size_t at = line.find('=');
    return at == Text::npos ? Text() : line.substr(0, at);
}

template <typename Text>
Text ValueOf(const Text& line)
{
    const size_t at = line.rfind('=');
    return at == Text::npos ? line : line.substr(at + 1);
}

} // namespace

std::wstring TIniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                  const std::wstring& defaultValue) const
{
    return AskProfile(
        [&](wchar_t* buffer, DWORD size) {
            return GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(), buffer, size,
                                            PathWithinMaxPath(FileName).c_str());
        },
        1);
}

int TIniFile::ReadInteger(const std::wstring& section, const std::wstring& key, int defaultValue) const
{
    const std::wstring text = ReadString(section, key, L"");
    if (text.empty())
        return defaultValue;
    wchar_t* end = nullptr;
    errno = 0;
    const long long value = std::wcstoll(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != L'\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return defaultValue;
    return static_cast<int>(value);
}

TWideStrings TIniFile::ReadSectionLines(const std::wstring& section) const
{
    return SplitDoubleNull(AskProfile(
        [&](wchar_t* buffer, DWORD size) {
            return GetPrivateProfileSectionW(section.c_str(), buffer, size, PathWithinMaxPath(FileName).c_str());
        },
        2));
}

TWideStrings TIniFile::ReadSectionKeys(const std::wstring& section) const
{
    return SplitDoubleNull(AskProfile(
        [&](wchar_t* buffer, DWORD size) {
            return GetPrivateProfileStringW(section.c_str(), nullptr, L"", buffer, size, PathWithinMaxPath(FileName).c_str());
        },
        2));
}

std::wstring SettingsFolderPath()
{
    return TAppFrame().GetSpecialFolder(CSIDL_APPDATA) + L"\\Kelvor\\Dornique\\";
}

std::wstring MainIniPath() { return SettingsFolderPath() + L"Main.ini"; }
std::wstring IgnoreIniPath() { return SettingsFolderPath() + L"Ignore.ini"; }

std::wstring LineName(const std::wstring& line) { return NameOf(line); }
std::wstring LineValue(const std::wstring& line) { return ValueOf(line); }
std::string LineName(const std::string& line) { return NameOf(line); }
std::string LineValue(const std::string& line) { return ValueOf(line); }
