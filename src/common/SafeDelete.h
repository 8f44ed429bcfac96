#pragma once
// Every deletion of the program goes through here. Each routine refuses to act through a link:
// under Wine deleting a link deletes its target (DeleteFileW on a symlink removes the file it points
// to, RemoveDirectoryW on a link to an empty folder removes that folder, RegDeleteTreeW follows
// registry links and empties their targets).
#include "common/ExpectedPath.h"
#include "common/Handles.h"
#include "common/RepairOutcome.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

bool IsFolderLink(const std::wstring& path);
bool IsFileLink(const std::wstring& path);
bool IsLink(const std::wstring& path);

// The files and folders are deleted through one handle: opened without following a reparse point,
// checked on that handle (no link, and its final path is exactly the expected one, see ExpectedPath),
// marked for deletion through it, and looked at again after it is closed. Each returns
//   Removed      the path names nothing any more;
//   AlreadyGone  nothing was there;
//   Refused      a link, or the item does not lie where the scan found it (a link on the way);
//   InUse        another program holds it without delete sharing, it stays as it was;
//   Pending      the same item is still there: another program holds it open with delete sharing,
//                and it goes when that program lets go of it;
//   NotRemoved   the deletion was taken, but the path now names something else or cannot be reached;
//   Failed       anything else (rights, a read-only file that may not be changed, a folder not empty).
// An empty expected path is refused: nothing may be deleted that cannot be told apart from a link.
[[nodiscard]] TOutcome DeleteFileSafe(const std::wstring& path, const std::wstring& expected);
// Removes an empty folder only.
[[nodiscard]] TOutcome RemoveFolderSafe(const std::wstring& path, const std::wstring& expected);
// The program's own files and folders (and the tests'): the item itself may not be a link, the folder
// it lies in is taken as it resolves now.
[[nodiscard]] TOutcome DeleteFileSafe(const std::wstring& path);
[[nodiscard]] TOutcome RemoveFolderSafe(const std::wstring& path);

// A file or folder opened by the gate as the deletions above open it: never through a reparse point,
// not a link, its final path exactly the expected one. The quarantine reads, moves and deletes it
// through this one handle, so that nothing can be swapped between the check and the act.
class TGateItem {
public:
    enum class TKind { File, Folder };
    static constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

    // access: what the caller needs besides deleting and reading attributes (FILE_READ_DATA to copy,
    // READ_CONTROL | WRITE_DAC for the access list); share: what others may do with it meanwhile.
    // Nothing when it is open; otherwise what a deletion would have come to (AlreadyGone, Refused,
    // InUse, Failed), and nothing is open.
    std::optional<TOutcome> Open(const std::wstring& path, const std::wstring& expected, TKind kind,
                                 DWORD access = 0, DWORD share = kShareAll);
    bool IsOpen() const { return static_cast<bool>(Handle_); }
    HANDLE Handle() const { return Handle_.Get(); }
    // Size, times and attributes as the handle gave them when it was opened.
    const BY_HANDLE_FILE_INFORMATION& Info() const { return Info_; }
    // Renames the item into the open folder as name (no folder part); what is there already is never
    // replaced. Removed when it left its place; the handle stays open on the moved item.
    [[nodiscard]] TOutcome MoveInto(HANDLE folder, const std::wstring& name);
    // Marks the item for deletion, closes the handle and looks at the path again (see DeleteFileSafe).
    [[nodiscard]] TOutcome Delete();
    void Close();

private:
    THandle Handle_;
    std::wstring Path_;
    BY_HANDLE_FILE_INFORMATION Info_{};
    bool CanWriteAttributes_ = false;
};

// Tests only: called with the item's path once the gate has checked its handle and before it marks it
// for deletion, to stand in for another program that changes the path meanwhile. nullptr: none.
using TDeletionHook = std::function<void(const std::wstring& path)>;
void SetDeletionHook(TDeletionHook hook);

// The registry routines reach the key one step at a time from the root, each step opened as itself:
// a link at any step is refused, never followed, and the deletion goes through the handle of the key
// so reached. The scanners locate a key named through the system's own links (KeyLocation.h) before
// it comes here. view is 0 or KEY_WOW64_32KEY / KEY_WOW64_64KEY.
enum class TRegDeletion { Value, Tree };
// What a deletion of the key (Tree: with everything below it; Value: one of its values) would come
// to before anything is deleted: nothing when it may go, else AlreadyGone (no such key), Refused (a
// link at a step, or for a tree anywhere below) or Failed (it cannot be looked at). For a plan made
// before deleting, such as the registry fixer's undo file; the deletion itself checks again.
[[nodiscard]] std::optional<TOutcome> RegDeletionBlocked(HKEY root, const std::wstring& keyPath, REGSAM view,
                                                         TRegDeletion what);
[[nodiscard]] TOutcome DeleteRegValueSafe(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                                          REGSAM view = 0);
// What a tree deletion does with registry links in the tree: the program refuses the whole tree (an
// undo file could not bring a link back); cleaning up scratch keys removes the links themselves,
// never entering them.
enum class TLinkPolicy { Refuse, RemoveLinks };
// Deletes the key with everything below it. An empty key path (the root itself) is refused.
[[nodiscard]] TOutcome DeleteRegTreeSafe(HKEY root, const std::wstring& keyPath, REGSAM view = 0,
                                         TLinkPolicy links = TLinkPolicy::Refuse);
