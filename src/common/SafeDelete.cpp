#include "common/SafeDelete.h"

#include "common/Handles.h"
#include "common/KeyLocation.h"
#include "common/Paths.h"
#include "common/Registry.h"
#include "common/TextCompare.h"

#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>
#include <vector>

// Deleting through a handle opened with REG_OPTION_OPEN_LINK removes a link key itself; the Reg*
// delete calls reopen the key by name and so would follow the link.
extern "C" NTSTATUS NTAPI NtDeleteKey(HANDLE key);
// The status behind the last error: a deletion waiting for another handle shows only there.
extern "C" NTSTATUS NTAPI RtlGetLastNtStatus();

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

// The information class and flags of the disposition that Windows 10 added; the headers offer them only
// to programs that require Windows 10.
constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
struct TFileDispositionInfoEx {
    DWORD Flags;
};
constexpr DWORD kDispositionDelete = 0x1;
constexpr DWORD kDispositionPosixSemantics = 0x2;       // the name goes at once, even while others hold it
constexpr DWORD kDispositionIgnoreReadOnly = 0x10;
constexpr NTSTATUS kStatusDeletePending = static_cast<NTSTATUS>(0xC0000056);

TDeletionHook& DeletionHook()
{
    static TDeletionHook hook;
    return hook;
}

bool Missing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

TOutcome FromDeleteError(DWORD error)
{
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return TOutcome::InUse;
    return Missing(error) ? TOutcome::AlreadyGone : TOutcome::Failed;
}

// The item itself, never what a reparse point leads to. Windows refuses the attribute change of a
// read-only file without FILE_WRITE_ATTRIBUTES; a user who may delete but not change the item still
// gets the handle without it, and such a read-only file then stays.
THandle OpenForDeletion(const std::wstring& path, DWORD access, DWORD share, bool& canWriteAttributes)
{
    constexpr DWORD flags = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;
    access |= DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
    canWriteAttributes = true;
    THandle handle(CreateFileW(path.c_str(), access | FILE_WRITE_ATTRIBUTES, share, nullptr, OPEN_EXISTING, flags,
                               nullptr));
    if (handle || GetLastError() != ERROR_ACCESS_DENIED)
        return handle;
    canWriteAttributes = false;
    return THandle(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, flags, nullptr));
}

bool SetAttributes(HANDLE handle, DWORD attributes)
{
    FILE_BASIC_INFO basic{}; // times of 0 stay as they are
    basic.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic);
}

// Marks the open item for deletion. Windows 10 takes the POSIX disposition, which also ignores the
// read-only attribute; older systems (and Wine, which answers ERROR_INVALID_PARAMETER) only the plain
// one, which refuses a read-only item until its attribute is cleared.
TOutcome MarkForDeletion(HANDLE handle, DWORD attributes, bool canWriteAttributes)
{
    TFileDispositionInfoEx extended{kDispositionDelete | kDispositionPosixSemantics | kDispositionIgnoreReadOnly};
    if (SetFileInformationByHandle(handle, kFileDispositionInfoEx, &extended, sizeof extended))
        return TOutcome::Removed;
    DWORD error = GetLastError();
    if (error != ERROR_INVALID_PARAMETER && error != ERROR_NOT_SUPPORTED && error != ERROR_INVALID_FUNCTION)
        return FromDeleteError(error);
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && (!canWriteAttributes || !SetAttributes(handle, attributes & ~FILE_ATTRIBUTE_READONLY)))
        return TOutcome::Failed;
    FILE_DISPOSITION_INFO plain{TRUE};
    if (SetFileInformationByHandle(handle, FileDispositionInfo, &plain, sizeof plain))
        return TOutcome::Removed;
    error = GetLastError();
    if (readOnly)
        SetAttributes(handle, attributes); // left in place as it was
    return FromDeleteError(error);
}

bool SameItem(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b)
{
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

// What the path names once the deletion handle is closed: the call's word alone is no removal.
TOutcome LookAgain(const std::wstring& path, const BY_HANDLE_FILE_INFORMATION& deleted)
{
    const THandle again(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!again) {
        if (Missing(GetLastError()))
            return TOutcome::Removed;
        // Windows refuses to open an item whose deletion waits for another program's handle.
        return RtlGetLastNtStatus() == kStatusDeletePending ? TOutcome::Pending : TOutcome::NotRemoved;
    }
    BY_HANDLE_FILE_INFORMATION now{};
    if (!GetFileInformationByHandle(again.Get(), &now))
        return TOutcome::NotRemoved;
    return SameItem(now, deleted) ? TOutcome::Pending : TOutcome::NotRemoved;
}

TOutcome FromRenameStatus(NTSTATUS status)
{
    switch (static_cast<DWORD>(status)) {
    case 0: return TOutcome::Removed;
    case 0xC0000043: return TOutcome::InUse;     // STATUS_SHARING_VIOLATION
    case 0xC0000034:                             // STATUS_OBJECT_NAME_NOT_FOUND
    case 0xC000003A: return TOutcome::AlreadyGone; // STATUS_OBJECT_PATH_NOT_FOUND
    default: return TOutcome::Failed;            // a name taken there, another volume, rights
    }
}

} // namespace

std::optional<TOutcome> TGateItem::Open(const std::wstring& path, const std::wstring& expected, TKind kind,
                                        DWORD access, DWORD share)
{
    Close();
    const bool folder = kind == TKind::Folder;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Missing(GetLastError()) ? TOutcome::AlreadyGone : TOutcome::Failed;
    // The path's own attributes show a folder link that a handle opened under Wine does not.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return TOutcome::Refused;
    if (((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != folder)
        return TOutcome::Failed; // a folder is no file, nor a file a folder
    if (expected.empty())
        return TOutcome::Refused;

    THandle handle = OpenForDeletion(path, access, share, CanWriteAttributes_);
    if (!handle)
        return FromDeleteError(GetLastError());
    if (!GetFileInformationByHandle(handle.Get(), &Info_))
        return TOutcome::Failed;
    if ((Info_.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        ((Info_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != folder)
        return TOutcome::Refused;
    // Under Wine the handle of a Unix link is its target's, with no reparse bit: only the final path
    // shows a link, on the way or at the end.
    const std::wstring final = HandleFinalPath(handle.Get());
    if (final.empty() || final != expected)
        return TOutcome::Refused;
    Path_ = path;
    Handle_ = std::move(handle);
    return std::nullopt;
}

void TGateItem::Close()
{
    Handle_.Reset();
    Path_.clear();
}

TOutcome TGateItem::MoveInto(HANDLE folder, const std::wstring& name)
{
    if (!Handle_ || !folder || name.empty() || name.find_first_of(L"\\/:") != std::wstring::npos)
        return TOutcome::Failed;
    if (DeletionHook())
        DeletionHook()(Path_);
    // Relative to the open folder, never replacing: the target cannot be reached through a link either.
    const size_t nameBytes = name.size() * sizeof(wchar_t);
    std::vector<BYTE> buffer(offsetof(FILE_RENAME_INFORMATION, FileName) + nameBytes + sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = folder;
    rename->FileNameLength = static_cast<ULONG>(nameBytes);
    std::memcpy(rename->FileName, name.data(), nameBytes);
    IO_STATUS_BLOCK status{};
    const TOutcome outcome = FromRenameStatus(NtSetInformationFile(Handle_.Get(), &status, rename,
                                                                   static_cast<ULONG>(buffer.size()),
                                                                   FileRenameInformation));
    if (outcome == TOutcome::Removed)
        Path_.clear(); // it is known by its new name now
    return outcome;
}

TOutcome TGateItem::Delete()
{
    if (!Handle_)
        return TOutcome::Failed;
    if (DeletionHook())
        DeletionHook()(Path_);
    const TOutcome marked = MarkForDeletion(Handle_.Get(), Info_.dwFileAttributes, CanWriteAttributes_);
    if (marked != TOutcome::Removed)
        return marked;
    const std::wstring path = Path_;
    Close();
    return LookAgain(path, Info_);
}

namespace {

TOutcome DeleteItem(const std::wstring& path, const std::wstring& expected, TGateItem::TKind kind)
{
    TGateItem item;
    if (const std::optional<TOutcome> refused = item.Open(path, expected, kind))
        return *refused;
    return item.Delete();
}

TOutcome FromStatus(LSTATUS status)
{
    if (status == ERROR_SUCCESS)
        return TOutcome::Removed;
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND)
        return TOutcome::AlreadyGone;
    return TOutcome::Failed;
}

// Opens the key one step at a time from the root, each step relative to the one before and as
// itself (REG_OPTION_OPEN_LINK applies to the last step of a path only): a link at any step is
// refused, never followed, and the key reached is the one that is then deleted through. The last
// step is opened with lastAccess; it may be a link itself only when lastMayBeLink. Nothing when the
// key was reached, else what the deletion comes to.
std::optional<TOutcome> ReachKey(HKEY root, const std::wstring& keyPath, REGSAM view, REGSAM lastAccess,
                                 bool lastMayBeLink, TRegKey& reached)
{
    std::vector<std::wstring> steps = KeySteps(keyPath);
    // The classes root's 32-bit keys are its Wow6432Node: named, not reached through a view flag.
    if (root == HKEY_CLASSES_ROOT) {
        if (view & KEY_WOW64_32KEY)
            steps.insert(steps.begin(), L"Wow6432Node");
        view &= ~(KEY_WOW64_32KEY | KEY_WOW64_64KEY);
    }
    reached.Close();
    if (steps.empty()) {
        const LSTATUS status = reached.Open(root, L"", lastAccess | view);
        return status == ERROR_SUCCESS ? std::nullopt : std::optional<TOutcome>(FromStatus(status));
    }
    for (size_t i = 0; i < steps.size(); ++i) {
        const bool last = i + 1 == steps.size();
        TRegKey next;
        const LSTATUS status =
            next.Open(reached.IsOpen() ? reached.Handle() : root, steps[i],
                      (last ? lastAccess : KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS) | view, REG_OPTION_OPEN_LINK);
        if (status != ERROR_SUCCESS)
            return FromStatus(status);
        if (IsLinkKey(next.Handle()) && !(last && lastMayBeLink))
            return TOutcome::Refused;
        reached = std::move(next);
    }
    return std::nullopt;
}


} // namespace

bool IsFolderLink(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsFileLink(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return true;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return false;
    // Cannot tell (no expected path): a link, so nothing is deleted through it.
    return !IsPlainEntry(path, ExpectedPath(ParentFolder(path), path), attributes);
}

bool IsLink(const std::wstring& path) { return IsFolderLink(path) || IsFileLink(path); }

void SetDeletionHook(TDeletionHook hook)
{
    DeletionHook() = std::move(hook);
}

TOutcome DeleteFileSafe(const std::wstring& path, const std::wstring& expected)
{
    return DeleteItem(path, expected, TGateItem::TKind::File);
}

TOutcome RemoveFolderSafe(const std::wstring& path, const std::wstring& expected)
{
    return DeleteItem(path, expected, TGateItem::TKind::Folder);
}

TOutcome DeleteFileSafe(const std::wstring& path)
{
    return DeleteFileSafe(path, ExpectedPath(ParentFolder(path), path));
}

TOutcome RemoveFolderSafe(const std::wstring& path)
{
    std::wstring folder = path;
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    return RemoveFolderSafe(folder, ExpectedPath(ParentFolder(folder), folder));
}

std::optional<TOutcome> RegDeletionBlocked(HKEY root, const std::wstring& keyPath, REGSAM view, TRegDeletion what)
{
    if (what == TRegDeletion::Tree && keyPath.find_first_not_of(L'\\') == std::wstring::npos)
        return TOutcome::Refused; // never the whole root
    TRegKey key;
    const std::optional<TOutcome> blocked = ReachKey(root, keyPath, view, KEY_READ, false, key);
    if (blocked)
        return blocked;
    if (what == TRegDeletion::Tree && TreeHoldsLink(key.Handle(), view))
        return TOutcome::Refused;
    return std::nullopt;
}

TOutcome DeleteRegValueSafe(HKEY root, const std::wstring& keyPath, const std::wstring& valueName, REGSAM view)
{
    TRegKey key;
    if (const std::optional<TOutcome> blocked = ReachKey(root, keyPath, view, KEY_READ | KEY_SET_VALUE, false, key))
        return *blocked;
    return FromStatus(RegDeleteValueW(key.Handle(), valueName.c_str()));
}

TOutcome DeleteRegTreeSafe(HKEY root, const std::wstring& keyPath, REGSAM view, TLinkPolicy links)
{
    if (keyPath.find_first_not_of(L'\\') == std::wstring::npos)
        return TOutcome::Refused; // never the whole root
    TRegKey key;
    if (const std::optional<TOutcome> blocked =
            ReachKey(root, keyPath, view, kTreeAccess, links == TLinkPolicy::RemoveLinks, key))
        return *blocked;
    if (links == TLinkPolicy::Refuse && TreeHoldsLink(key.Handle(), view))
        return TOutcome::Refused;
    return DeleteOpenTree(key.Handle(), view) ? TOutcome::Removed : TOutcome::Failed;
}
