#include "common/ExpectedPath.h"

#include "common/FileFind.h"
#include "common/GrowingBuffer.h"
#include "common/Handles.h"
#include "common/Paths.h"
#include "common/SystemFolders.h"

#include <winternl.h>

#include <algorithm>
#include <vector>

namespace {

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

bool IsDriveLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

std::wstring Join(const std::wstring& folder, const std::wstring& name)
{
    return folder.empty() || folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

// A step that names exactly one entry of its folder; anything else would let the listing pick one.
bool IsSingleName(const std::wstring& step)
{
    return !step.empty() && step != L"." && step != L".." && step.find_first_of(L"*?<>\"|/:") == std::wstring::npos;
}

} // namespace

// The kernel's name of an open file in its "\\?\C:\..." form where it has one. Wine gives the final path
// of a path beyond MAX_PATH characters only this way (its GetFinalPathNameByHandleW answers
// ERROR_MORE_DATA whatever the buffer), and names it so.
std::wstring ObjectNameAsDosPath(HANDLE item)
{
    std::vector<BYTE> buffer(sizeof(UNICODE_STRING) + 65536 * sizeof(wchar_t));
    ULONG size = 0;
    if (NtQueryObject(item, ObjectNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &size) < 0)
        return {};
    const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer.data());
    const std::wstring text(name->Buffer, name->Length / sizeof(wchar_t));
    return text.compare(0, 4, L"\\??\\") == 0 ? L"\\\\?\\" + text.substr(4) : std::wstring();
}

std::wstring FinalPath(const std::wstring& path, DWORD flags)
{
    THandle handle(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, flags, nullptr));
    if (!handle)
        return {};
    const std::wstring final = AskWithGrowingBuffer([&](wchar_t* buffer, DWORD size) {
        return GetFinalPathNameByHandleW(handle.Get(), buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
    return !final.empty() || GetLastError() != ERROR_MORE_DATA ? final : ObjectNameAsDosPath(handle.Get());
}

std::wstring HandleFinalPath(HANDLE item)
{
    const std::wstring final = AskWithGrowingBuffer([&](wchar_t* buffer, DWORD size) {
        return GetFinalPathNameByHandleW(item, buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
    return PlainFinalPath(!final.empty() || GetLastError() != ERROR_MORE_DATA ? final : ObjectNameAsDosPath(item));
}

std::wstring PlainFinalPath(const std::wstring& raw)
{
    if (StartsWith(raw, L"\\\\?\\UNC\\"))
        return raw.size() > 8 ? L"\\\\" + raw.substr(8) : std::wstring();
    if (StartsWith(raw, L"\\\\?\\") && raw.size() >= 6 && IsDriveLetter(raw[4]) && raw[5] == L':' &&
        (raw.size() == 6 || raw[6] == L'\\'))
        return raw.size() == 6 ? raw.substr(4) + L'\\' : raw.substr(4);
    return {};
}

std::wstring ResolvedPath(const std::wstring& path)
{
    return path.empty() ? std::wstring() : PlainFinalPath(FinalPath(path, FILE_FLAG_BACKUP_SEMANTICS));
}

std::wstring ExpectedPath(const std::wstring& root, const std::wstring& path)
{
    if (root.empty() || !PathIsAtOrBelow(path, root))
        return {};
    std::wstring base = root;
    while (base.size() > 1 && base.back() == L'\\')
        base.pop_back();
    std::wstring expected = ResolvedPath(WithBackslash(base));
    if (expected.empty())
        return {};
    if (expected.size() > 3 && expected.back() == L'\\')
        expected.pop_back();
    std::wstring reached = base;
    size_t at = base.size();
    // Steps are separated by backslashes or, as Windows also reads them, forward slashes.
    const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    while (at < path.size()) {
        if (separator(path[at]) && at + 1 == path.size())
            break; // a folder given with its trailing backslash
        const size_t start = separator(path[at]) ? at + 1 : at;
        const size_t end = std::min(path.find_first_of(L"\\/", start), path.size());
        const std::wstring step = path.substr(start, end - start);
        if (!IsSingleName(step))
            return {};
        WIN32_FIND_DATAW entry;
        reached = Join(reached, step);
        if (!FindFirstEntry(reached, entry))
            return {};
        expected = Join(expected, entry.cFileName);
        at = end;
    }
    return expected;
}

std::wstring ExpectedChild(const std::wstring& expectedFolder, const wchar_t* listedName)
{
    return expectedFolder.empty() ? std::wstring() : Join(expectedFolder, listedName);
}

bool FileLinksLookPlain()
{
    return RunsUnderWine();
}

bool IsPlainEntry(const std::wstring& path, const std::wstring& expected, DWORD listedAttributes)
{
    if (listedAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return false;
    if (!FileLinksLookPlain())
        return true;
    const std::wstring resolved = ResolvedPath(path);
    return !resolved.empty() && resolved == expected;
}
