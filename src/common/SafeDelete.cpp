#include "common/SafeDelete.h"

#include "common/GrowingBuffer.h"
#include "common/Handles.h"
#include "common/Registry.h"
#include "common/TextCompare.h"

#include <winternl.h>

// Deleting through a handle opened with REG_OPTION_OPEN_LINK removes a link key itself; the Reg*
// delete calls reopen the key by name and so would follow the link.
extern "C" NTSTATUS NTAPI NtDeleteKey(HANDLE key);

namespace {

constexpr REGSAM kTreeAccess = KEY_READ | DELETE | KEY_SET_VALUE;

// Removes everything below an open key, then the key itself; link keys are removed, never entered.
bool DeleteOpenTree(HKEY key, REGSAM view)
{
    if (!IsLinkKey(key)) {
        TRegKey probe;
        const auto names = probe.Open(key, L"", KEY_READ) == ERROR_SUCCESS ? probe.SubKeyNames()
                                                                             : std::vector<std::wstring>();
        for (const std::wstring& name : names) {
            TRegKey child;
            if (child.Open(key, name, kTreeAccess | view, REG_OPTION_OPEN_LINK) != ERROR_SUCCESS)
                return false;
            if (!DeleteOpenTree(child.Handle(), view))
                return false;
        }
    }
    return NtDeleteKey(key) >= 0;
}

TOutcome FromStatus(LSTATUS status)
{
    if (status == ERROR_SUCCESS)
        return TOutcome::Removed;
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND)
        return TOutcome::AlreadyGone;
    return TOutcome::Failed;
}

} // namespace

std::wstring FinalPath(const std::wstring& path, DWORD flags)
{
    THandle handle(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, flags, nullptr));
    if (!handle)
        return {};
    return AskWithGrowingBuffer([&](wchar_t* buffer, DWORD size) {
        return GetFinalPathNameByHandleW(handle.Get(), buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
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
    if (!TFindHandle(FindFirstFileW(path.c_str(), &entry)))
        return false;
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

TOutcome DeleteFileSafe(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return TOutcome::AlreadyGone;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return TOutcome::Failed;
    if (IsFileLink(path))
        return TOutcome::Refused;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (DeleteFileW(path.c_str()))
        return TOutcome::Removed;
    const DWORD error = GetLastError();
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(path.c_str(), attributes); // left in place as it was
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return TOutcome::InUse;
    return error == ERROR_FILE_NOT_FOUND ? TOutcome::AlreadyGone : TOutcome::Failed;
}

TOutcome RemoveFolderSafe(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return TOutcome::AlreadyGone;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return TOutcome::Failed;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return TOutcome::Refused;
    return RemoveDirectoryW(path.c_str()) ? TOutcome::Removed : TOutcome::Failed;
}

TOutcome DeleteRegValueSafe(HKEY root, const std::wstring& keyPath, const std::wstring& valueName, REGSAM view)
{
    TRegKey key;
    const LSTATUS status = key.Open(root, keyPath, KEY_READ | KEY_SET_VALUE | view, REG_OPTION_OPEN_LINK);
    if (status != ERROR_SUCCESS)
        return FromStatus(status);
    if (IsLinkKey(key.Handle()))
        return TOutcome::Refused;
    return FromStatus(RegDeleteValueW(key.Handle(), valueName.c_str()));
}

TOutcome DeleteRegTreeSafe(HKEY root, const std::wstring& keyPath, REGSAM view, TLinkPolicy links)
{
    const size_t start = keyPath.find_first_not_of(L'\\');
    if (start == std::wstring::npos)
        return TOutcome::Refused; // never the whole root
    TRegKey key;
    const LSTATUS status = key.Open(root, keyPath, kTreeAccess | view, REG_OPTION_OPEN_LINK);
    if (status != ERROR_SUCCESS)
        return FromStatus(status);
    if (links == TLinkPolicy::Refuse && TreeHoldsLink(key.Handle(), view))
        return TOutcome::Refused;
    return DeleteOpenTree(key.Handle(), view) ? TOutcome::Removed : TOutcome::Failed;
}
