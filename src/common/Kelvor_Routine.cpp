#include "common/Kelvor_Routine.h"

#include "common/FileFind.h"
#include "common/Paths.h"
#include "common/SystemFolders.h"

#include <windows.h>

#include <cstdio>
#include <memory>

namespace {

std::wstring DecimalSeparator()
{
    wchar_t buffer[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) > 1)
        return buffer;
    return L".";
}

std::wstring TwoDecimals(double value, const wchar_t* unit)
{
    wchar_t buffer[64];
    swprintf(buffer, 64, L"%.2f", value);
    std::wstring text = buffer;
    ReplaceAll(text, L".", DecimalSeparator());
    return text + unit;
}

std::wstring SizeText(int64_t bytes, bool smallAsZero)
{
    const int64_t kilo = bytes / 1024;
    if (kilo <= 0)
        return smallAsZero ? L"0 bytes" : std::to_wstring(bytes) + L" bytes";
    const double value = static_cast<double>(bytes);
    if (kilo < 1024)
        return TwoDecimals(value / 1024, L" KB");
    if (kilo <= 1048575)
        return TwoDecimals(value / 1024 / 1024, L" MB");
    return TwoDecimals(value / 1024 / 1024 / 1024, L" GB");
}

} // namespace

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring WindowsVersionName()
{
    OSVERSIONINFOW info;
    if (!SystemVersion(info) || info.dwPlatformId != VER_PLATFORM_WIN32_NT)
        return {};
    switch (info.dwMajorVersion) {
    case 3:
    case 4: return L"Windows NT";
    case 5:
        if (info.dwMinorVersion == 1)
            return L"Windows XP";
        if (info.dwMinorVersion == 2)
            return L"Windows 2003 Server";
        return L"Windows 2000";
    case 6: return L"Windows Vista";
    default: return {};
    }
}

std::wstring TextAfterLast(const std::wstring& text, int count, wchar_t ch)
{
    if (ch == L'\0') {
        const size_t n = count < 0 ? 0 : static_cast<size_t>(count);
        return n >= text.size() ? text : text.substr(text.size() - n);
    }
    const size_t at = text.rfind(ch);
    return at == std::wstring::npos ? text : text.substr(at + 1);
}

std::wstring TextBeforeLast(const std::wstring& text, int count, wchar_t ch)
{
    if (ch == L'\0')
        return text.substr(0, count < 0 ? 0 : static_cast<size_t>(count));
    const size_t at = text.rfind(ch);
    return at == std::wstring::npos ? std::wstring() : text.substr(0, at);
}

std::wstring TrimText(const std::wstring& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && text[first] <= L' ')
        ++first;
    while (last > first && text[last - 1] <= L' ')
        --last;
    return text.substr(first, last - first);
}

std::wstring FormatSize(int64_t bytes) { return SizeText(bytes, false); }
std::wstring FormatSizeZero(int64_t bytes) { return SizeText(bytes, true); }

int64_t FolderSize(const std::wstring& path, bool recurse)
{
    std::wstring folder = path;
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
    WIN32_FIND_DATAW entry;
    const TFindHandle find = FindFirstEntry(folder + L"*.*", entry);
    if (!find)
        return 0;
    int64_t total = 0;
    do {
        total += FindDataSize(entry);
        const bool folderEntry = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // A link is counted as an entry but never followed: its target lies outside this folder.
        if (recurse && folderEntry && entry.cFileName[0] != L'.' &&
            !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            total += FolderSize(folder + entry.cFileName, true);
    } while (FindNextFileW(find.Get(), &entry));
    return total;
}

bool IsFileLocked(const std::wstring& path)
{
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    const THandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file;
}

std::wstring FileVersionText(const std::wstring& path, int index)
{
    static const wchar_t* const kNames[] = {
        L"Comments", L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName",
        L"LegalCopyright", L"LegalTrademarks", L"OriginalFileName", L"ProductName", L"ProductVersion",
    };
    if (index < 0 || index >= static_cast<int>(std::size(kNames)))
        return {};
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return {};
    std::unique_ptr<BYTE[]> data(new BYTE[size]);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.get()))
        return {};
    struct Translation {
        WORD Language;
        WORD CodePage;
    }* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.get(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof(Translation))
        return {};
    wchar_t query[128];
    swprintf(query, 128, L"\\StringFileInfo\\%04X%04X\\%ls", translation->Language, translation->CodePage,
             kNames[index]);
    wchar_t* value = nullptr;
    if (!VerQueryValueW(data.get(), query, reinterpret_cast<void**>(&value), &length) || !value || length == 0)
        return {};
    return std::wstring(value, wcsnlen(value, length));
}
