#include "common/IniFile.h"

#include "common/AppFrame.h"
#include "common/CodePage.h"
#include "common/Handles.h"
#include "common/Paths.h"
#include "common/SafeDelete.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace {

// GetPrivateProfile* answer with size - 1 (or size - 2 for lists) when the buffer was too small. The
// buffer grows up to cap characters; complete, when given, tells whether the answer fitted.
template <typename Call>
std::wstring AskProfile(Call call, DWORD reserve, size_t cap, bool* complete = nullptr)
{
    std::wstring buffer(std::min<size_t>(2048, cap), L'\0');
    for (;;) {
        const DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        const bool fits = length + reserve < buffer.size();
        if (fits || buffer.size() >= cap) {
            if (complete)
                *complete = fits;
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(std::min(buffer.size() * 4, cap));
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

bool IsIniBlank(wchar_t c)
{
    return c <= L' ' || std::iswspace(c);
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
        1, ReadCap);
}

int TIniFile::ReadInteger(const std::wstring& section, const std::wstring& key, int defaultValue) const
{
    return WholeNumber(ReadString(section, key, L"")).value_or(defaultValue);
}

std::optional<int> WholeNumber(const std::wstring& text)
{
    if (text.empty())
        return std::nullopt;
    wchar_t* end = nullptr;
    errno = 0;
    const long long value = std::wcstoll(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != L'\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

TWideStrings TIniFile::ReadSectionLines(const std::wstring& section, bool* complete) const
{
    return SplitDoubleNull(AskProfile(
        [&](wchar_t* buffer, DWORD size) {
            return GetPrivateProfileSectionW(section.c_str(), buffer, size, PathWithinMaxPath(FileName).c_str());
        },
        2, ReadCap, complete));
}

TWideStrings TIniFile::ReadSectionKeys(const std::wstring& section) const
{
    return SplitDoubleNull(AskProfile(
        [&](wchar_t* buffer, DWORD size) {
            return GetPrivateProfileStringW(section.c_str(), nullptr, L"", buffer, size, PathWithinMaxPath(FileName).c_str());
        },
        2, ReadCap));
}

uint32_t TIniFile::PrepareWrite() const
{
    const size_t slash = FileName.find_last_of(L'\\');
    if (slash != std::wstring::npos && !CreateFolderChain(FileName.substr(0, slash)))
        return GetLastError();
    // CREATE_NEW: a file that appears meanwhile is never replaced.
    THandle created(CreateFileW(PathWithinMaxPath(FileName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (created) {
        const unsigned char byteOrderMark[2] = {0xFF, 0xFE};
        DWORD written = 0;
        const BOOL ok = WriteFile(created.Get(), byteOrderMark, 2, &written, nullptr);
        const DWORD error = ok && written == 2 ? ERROR_SUCCESS : GetLastError();
        created.Reset();
        if (error != ERROR_SUCCESS) {
            (void)DeleteFileSafe(PathWithinMaxPath(FileName)); // our own new file; if it stays, the error below still stands
            return error ? error : ERROR_WRITE_FAULT;
        }
    } else if (GetLastError() != ERROR_FILE_EXISTS) {
        return GetLastError();
    }
    // The service opens the file this way when it writes; what fails here fails there.
    THandle probe(CreateFileW(PathWithinMaxPath(FileName).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
    return probe ? ERROR_SUCCESS : GetLastError();
}

bool TIniFile::IsUnicodeFile() const
{
    THandle file(CreateFileW(PathWithinMaxPath(FileName).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    unsigned char start[2] = {};
    DWORD got = 0;
    // Only UTF-16 with its byte-order mark is Unicode to every system's INI service.
    return file && ReadFile(file.Get(), start, 2, &got, nullptr) && got == 2 && start[0] == 0xFF && start[1] == 0xFE;
}

bool TIniFile::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) const
{
    return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(),
                                      PathWithinMaxPath(FileName).c_str()) != FALSE;
}

bool TIniFile::WriteSectionLines(const std::wstring& section, const TWideStrings& lines) const
{
    const std::wstring path = PathWithinMaxPath(FileName);
    if (lines.empty())
        return WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, path.c_str()) != FALSE;
    std::wstring block;
    for (const std::wstring& line : lines) {
        block += line;
        block += L'\0';
    }
    block += L'\0';
    return WritePrivateProfileSectionW(section.c_str(), block.c_str(), path.c_str()) != FALSE;
}

TIniChange TIniFile::EditSection(const std::wstring& section,
                                 const std::function<void(TWideStrings& lines)>& edit) const
{
    using TStatus = TIniChange::TStatus;
    bool complete = false;
    TWideStrings lines = ReadSectionLines(section, &complete);
    if (!complete)
        return {TStatus::SectionTooLarge, 0, section, {}};
    for (const std::wstring& line : lines)
        if (!LineSurvivesIni(line))
            return {TStatus::LineNotKept, 0, section, line};
    const TWideStrings before = lines;
    edit(lines);
    if (lines == before)
        return {};
    for (const std::wstring& line : lines)
        if (!LineSurvivesIni(line))
            return {TStatus::LineNotKept, 0, section, line};
    if (const uint32_t error = PrepareWrite())
        return {TStatus::NotWritable, error, section, {}};
    const bool unicode = IsUnicodeFile();
    for (const std::wstring& line : lines)
        if (!unicode && !FitsAnsiCodePage(line))
            return {TStatus::NotStorable, 0, section, line};
    if (!WriteSectionLines(section, lines))
        return {TStatus::NotWritable, GetLastError(), section, {}};
    return {};
}

TIniChange TIniFile::WriteEntries(const std::vector<TIniEntry>& entries) const
{
    using TStatus = TIniChange::TStatus;
    if (const uint32_t error = PrepareWrite())
        return {TStatus::NotWritable, error, {}, {}};
    const bool unicode = IsUnicodeFile();
    for (const TIniEntry& entry : entries)
        for (const std::wstring* text : {&entry.Section, &entry.Key, &entry.Value})
            if (!unicode && !FitsAnsiCodePage(*text))
                return {TStatus::NotStorable, 0, entry.Section, *text};
    for (const TIniEntry& entry : entries)
        if (!WriteString(entry.Section, entry.Key, entry.Value))
            return {TStatus::NotWritable, GetLastError(), entry.Section, {}};
    return {};
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

bool LineSurvivesIni(const std::wstring& line)
{
    if (line.find_first_of(std::wstring(L"\r\n\x1A\0", 4)) != std::wstring::npos)
        return false;
    const size_t equals = line.find(L'=');
    if (equals == std::wstring::npos)
        return false;
    const std::wstring name = line.substr(0, equals);
    const std::wstring value = line.substr(equals + 1);
    if (!name.empty() && (name.front() == L';' || name.front() == L'['))
        return false;
    for (const std::wstring* part : {&name, &value})
        if (!part->empty() && (IsIniBlank(part->front()) || IsIniBlank(part->back())))
            return false;
    return true;
}
