#include "common/SafeDelete.h"

#include "common/GrowingBuffer.h"
#include "common/Registry.h"

#include <winternl.h>

#include <memory>

// Deleting through a handle opened with REG_OPTION_OPEN_LINK removes a link key itself; the Reg*
// delete calls reopen the key by name and so would follow the link.
extern "C" NTSTATUS NTAPI NtDeleteKey(HANDLE key);

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const
    {
        if (handle && handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};
using THandle = std::unique_ptr<void, HandleCloser>;

bool SameText(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

bool IsLinkKey(HKEY key)
{
    DWORD type = 0;
    return RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
           type == REG_LINK;
}

// Removes everything below an open key, then the key itself; link keys are removed, never entered.
bool DeleteOpenTree(HKEY key)
{
    if (!IsLinkKey(key)) {
        TRegKey probe;
        for (const std::wstring& name : probe.Open(key, L"", KEY_READ) == ERROR_SUCCESS ? probe.SubKeyNames()
                                                                                           : std::vector<std::wstring>()) {
            TRegKey child;
            if (child.Open(key, name, KEY_READ | DELETE | KEY_SET_VALUE, REG_OPTION_OPEN_LINK) != ERROR_SUCCESS)
                return false;
            if (!DeleteOpenTree(child.Handle()))
                return false;
        }
    }
    return NtDeleteKey(key) >= 0;
}

} // namespace

std::wstring FinalPath(const std::wstring& path, DWORD flags)
{
    THandle handle(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, flags, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE)
        return {};
    return AskWithGrowingBuffer([&](wchar_t* buffer, DWORD size) {
        return GetFinalPathNameByHandleW(handle.get(), buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
}

bool IsFolderLink(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool FileLinksLookPlain()
{
    static const bool underWine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return underWine;
}

bool IsFileLink(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return true;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) || !FileLinksLookPlain())
        return false;
    // A plain file's final path is its folder's final path and its own (long) name.
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(path.c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
    const std::wstring own = FinalPath(path, FILE_ATTRIBUTE_NORMAL);
    const std::wstring parent = FinalPath(folder, FILE_FLAG_BACKUP_SEMANTICS);
    if (own.empty() || parent.empty())
        return true; // cannot tell: treat as a link, so nothing is deleted through it
    std::wstring expected = parent;
    if (expected.back() != L'\\')
        expected += L'\\';
    expected += entry.cFileName;
    return !SameText(own, expected);
}

bool IsLink(const std::wstring& path) { return IsFolderLink(path) || IsFileLink(path); }

TDeleteResult DeleteFileSafe(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return TDeleteResult::NotFound;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return TDeleteResult::Failed;
    if (IsFileLink(path))
        return TDeleteResult::RefusedLink;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return DeleteFileW(path.c_str()) ? TDeleteResult::Deleted : TDeleteResult::Failed;
}

TDeleteResult RemoveFolderSafe(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return TDeleteResult::NotFound;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return TDeleteResult::Failed;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return TDeleteResult::RefusedLink;
    return RemoveDirectoryW(path.c_str()) ? TDeleteResult::Deleted : TDeleteResult::Failed;
}

TDeleteResult DeleteRegValueSafe(HKEY root, const std::wstring& keyPath, const std::wstring& valueName)
{
    TRegKey key;
    const LSTATUS status = key.Open(root, keyPath, KEY_READ | KEY_SET_VALUE, REG_OPTION_OPEN_LINK);
    if (status == ERROR_FILE_NOT_FOUND)
        return TDeleteResult::NotFound;
    if (status != ERROR_SUCCESS)
        return TDeleteResult::Failed;
    if (IsLinkKey(key.Handle()))
        return TDeleteResult::RefusedLink;
    const LSTATUS deleted = RegDeleteValueW(key.Handle(), valueName.c_str());
    if (deleted == ERROR_FILE_NOT_FOUND)
        return TDeleteResult::NotFound;
    return deleted == ERROR_SUCCESS ? TDeleteResult::Deleted : TDeleteResult::Failed;
}

TDeleteResult DeleteRegTreeSafe(HKEY root, const std::wstring& keyPath)
{
    const size_t start = keyPath.find_first_not_of(L'\\');
    if (start == std::wstring::npos)
        return TDeleteResult::Failed; // never the whole root
    TRegKey key;
    const LSTATUS status = key.Open(root, keyPath, KEY_READ | DELETE | KEY_SET_VALUE, REG_OPTION_OPEN_LINK);
    if (status == ERROR_FILE_NOT_FOUND)
        return TDeleteResult::NotFound;
    if (status != ERROR_SUCCESS)
        return TDeleteResult::Failed;
    return DeleteOpenTree(key.Handle()) ? TDeleteResult::Deleted : TDeleteResult::Failed;
}
