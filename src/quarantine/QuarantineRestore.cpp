// Restoring a run: folders first, then files, then the registry entries through the undo reader.
#include "quarantine/Quarantine.h"

#include "common/Paths.h"
#include "common/Registry.h"
#include "common/SafeDelete.h"
#include "common/Sha256.h"
#include "common/SystemError.h"
#include "common/TextCompare.h"
#include "quarantine/FolderTrust.h"
#include "quarantine/FolderWalk.h"
#include "quarantine/SecurityText.h"
#include "registry/UndoFile.h"

#include <algorithm>
#include <vector>

namespace {

using TKind = TItemResult::TKind;

TItemResult Result(const TQuarantineItem& item, TKind kind, std::wstring text)
{
    return {item.Number, item.Path, kind, std::move(text)};
}

bool Exists(const std::wstring& path)
{
    // Anything that answers, also what cannot be opened, takes the place.
    return GetFileAttributesW(LongPathForm(path).c_str()) != INVALID_FILE_ATTRIBUTES ||
           (GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND);
}

std::wstring VolumeOf(const std::wstring& path)
{
    std::vector<wchar_t> buffer(32768);
    if (!GetVolumePathNameW(LongPathForm(path).c_str(), buffer.data(), static_cast<DWORD>(buffer.size())))
        return {};
    std::wstring volume = buffer.data();
    return volume.compare(0, 4, L"\\\\?\\") == 0 ? volume.substr(4) : volume;
}

DWORD VolumeSerial(HANDLE item)
{
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileInformationByHandle(item, &info) ? info.dwVolumeSerialNumber : 0;
}

// Times and attributes as the manifest kept them; a time of 0 is left as it is.
bool SetTimesAndAttributes(HANDLE item, const TQuarantineItem& kept, bool times)
{
    FILE_BASIC_INFO basic{};
    if (times) {
        basic.CreationTime.QuadPart = static_cast<LONGLONG>(kept.Created);
        basic.LastAccessTime.QuadPart = static_cast<LONGLONG>(kept.Accessed);
        basic.LastWriteTime.QuadPart = static_cast<LONGLONG>(kept.Written);
    }
    basic.FileAttributes = kept.Attributes & ~(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
    if (basic.FileAttributes == 0)
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(item, FileBasicInfo, &basic, sizeof basic);
}

// What did not come back exactly, said after "restored".
std::wstring Finish(HANDLE item, const TQuarantineItem& kept, bool times)
{
    std::wstring notes;
    if (!kept.Sddl.empty())
        if (const DWORD error = ApplySddl(item, kept.Sddl); error != ERROR_SUCCESS)
            notes += L", its access list could not be put back (" + SystemErrorText(error) + L")";
    if (!SetTimesAndAttributes(item, kept, times))
        notes += L", its times and attributes could not be put back (" + SystemErrorText(GetLastError()) + L")";
    return L"restored" + notes;
}

class TRestorer {
public:
    TRestorer(const TQuarantinePlaces& places, const TRunEntry& run, const std::wstring& folder)
        : Places_(places), Run_(run), Folder_(folder)
    {
    }

    TItemResult Restore(const TQuarantineItem& item)
    {
        if (!item.Restorable())
            return Result(item, TKind::Nothing, L"a tracking cookie cannot be restored");
        if (item.Left)
            return Result(item, TKind::Nothing, L"it was not removed (" + item.LeftText + L"), so it is still in place");
        switch (item.Kind) {
        case TItemKind::File: return File(item);
        case TItemKind::Folder: return Folder(item);
        default: return Registry(item);
        }
    }

private:
    // The item's place (target) and its folder (parent), made where missing and never reached through a
    // link; or why it cannot go back.
    std::optional<std::wstring> Place(const TQuarantineItem& item, TFolderWalk& parent, std::wstring& leaf,
                                      std::wstring& target) const
    {
        const std::optional<TPlainPath> plain = SplitPlainPath(item.Real);
        if (!plain)
            return L"not restored: its place " + item.Real + L" is not a plain full path";
        for (const std::wstring& base : {Places_.MachineBase, Places_.UserBase})
            if (!base.empty() && PathIsAtOrBelow(item.Real, QuarantineFolder(base)))
                return std::wstring(L"not restored: its place lies inside the quarantine");
        leaf = plain->Steps.back();
        const std::vector<std::wstring> steps(plain->Steps.begin(), plain->Steps.end() - 1);
        parent = WalkFolders(plain->Root, steps, {true, L"", nullptr});
        if (!parent.Reached())
            return L"not restored: " + parent.Reason;
        target = JoinPath(parent.Real, leaf);
        return std::nullopt;
    }

    TItemResult File(const TQuarantineItem& item)
    {
        const std::wstring held = JoinPath(Folder_, item.PlaceName());
        if (!Exists(held)) {
            if (item.Restored)
                return Result(item, TKind::Nothing, L"restored already");
            if (!item.Done)
                return Result(item, TKind::Nothing, L"it was never moved, so it is still in place");
            return Result(item, TKind::NotRestored, L"not restored: the quarantine no longer holds it");
        }
        TFolderWalk parent;
        std::wstring leaf, target;
        if (const std::optional<std::wstring> refused = Place(item, parent, leaf, target))
            return Result(item, TKind::NotRestored, *refused);
        if (Exists(target))
            return Result(item, TKind::NotRestored, L"not restored: the place is taken");

        TGateItem file;
        constexpr DWORD access = FILE_READ_DATA | READ_CONTROL | WRITE_DAC;
        std::optional<TOutcome> refused = file.Open(LongPathForm(held), JoinPath(Folder_, item.PlaceName()),
                                                    TGateItem::TKind::File, access | WRITE_OWNER,
                                                    FILE_SHARE_READ | FILE_SHARE_DELETE);
        if (refused == TOutcome::Failed)
            refused = file.Open(LongPathForm(held), JoinPath(Folder_, item.PlaceName()), TGateItem::TKind::File,
                                access, FILE_SHARE_READ | FILE_SHARE_DELETE);
        if (refused)
            return Result(item, TKind::NotRestored,
                          L"not restored: the quarantined file cannot be opened (" + std::wstring(OutcomeName(*refused)) +
                              L")");
        if (FileSha256(file.Handle()) != item.ExpectedSha256())
            return Result(item, TKind::NotRestored, L"not restored: its SHA-256 no longer matches");

        const bool sameVolume = SameText(VolumeOf(parent.Real), VolumeOf(Folder_)) &&
                                VolumeSerial(parent.Handle.Get()) == VolumeSerial(file.Handle());
        if (sameVolume) {
            const TOutcome moved = file.MoveInto(parent.Handle.Get(), leaf);
            if (moved != TOutcome::Removed)
                return Result(item, TKind::NotRestored,
                              Exists(target) ? L"not restored: the place is taken"
                                             : L"not restored: it cannot be moved back (" +
                                                   std::wstring(OutcomeName(moved)) + L")");
            return Marked(item, Finish(file.Handle(), item, true));
        }
        return CopyOut(item, file, target);
    }

    TItemResult CopyOut(const TQuarantineItem& item, TGateItem& file, const std::wstring& target)
    {
        THandle copy(CreateFileW(LongPathForm(target).c_str(), GENERIC_READ | GENERIC_WRITE | WRITE_DAC | WRITE_OWNER,
                                 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!copy)
            copy.Reset(CreateFileW(LongPathForm(target).c_str(), GENERIC_READ | GENERIC_WRITE | WRITE_DAC, 0, nullptr,
                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!copy)
            return Result(item, TKind::NotRestored,
                          GetLastError() == ERROR_FILE_EXISTS
                              ? L"not restored: the place is taken"
                              : L"not restored: it cannot be written there (" + SystemErrorText(GetLastError()) + L")");
        const std::wstring read = CopyFileData(file.Handle(), copy.Get());
        if (read.empty() || read != item.ExpectedSha256() || FileSha256(copy.Get()) != read) {
            copy.Reset();
            (void)DeleteFileSafe(LongPathForm(target)); // our own unfinished copy
            return Result(item, TKind::NotRestored, L"not restored: it could not be copied back whole");
        }
        const std::wstring text = Finish(copy.Get(), item, true);
        copy.Reset();
        // The quarantine's copy is not needed any more; if it stays, the restore still stands.
        (void)file.Delete();
        return Marked(item, text);
    }

    TItemResult Folder(const TQuarantineItem& item)
    {
        if (!item.Done)
            return Result(item, TKind::Nothing, L"it was not removed, so it is still in place");
        TFolderWalk parent;
        std::wstring leaf, target;
        if (const std::optional<std::wstring> refused = Place(item, parent, leaf, target))
            return Result(item, TKind::NotRestored, *refused);
        if (Exists(target)) {
            const DWORD attributes = GetFileAttributesW(LongPathForm(target).c_str());
            const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                                !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
            return folder ? Result(item, TKind::Nothing, L"the folder is there")
                          : Result(item, TKind::NotRestored, L"not restored: the place is taken");
        }
        if (!CreateDirectoryW(LongPathForm(target).c_str(), nullptr))
            return Result(item, TKind::NotRestored,
                          L"not restored: the folder cannot be made (" + SystemErrorText(GetLastError()) + L")");
        TFolderWalk made = WalkFolders(parent.Real, {leaf}, {false, L"", nullptr});
        if (!made.Reached())
            return Result(item, TKind::NotRestored, L"not restored: " + made.Reason);
        THandle writable(ReOpenFile(made.Handle.Get(), READ_CONTROL | WRITE_DAC | FILE_WRITE_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_FLAG_BACKUP_SEMANTICS));
        return Marked(item, writable ? Finish(writable.Get(), item, false) : std::wstring(L"restored"));
    }

    TItemResult Registry(const TQuarantineItem& item)
    {
        if (!Keys_) {
            Keys_.emplace();
            const std::wstring& name = Run_.Manifest.UndoFile;
            if (name.empty() || name.find_first_of(L"\\/:") != std::wstring::npos || name == L"." || name == L"..")
                UndoError_ = L"the run has no undo file";
            else if (std::wstring error; !ReadUndoFile(LongPathForm(JoinPath(Folder_, name)), *Keys_, error))
                UndoError_ = L"its undo file cannot be read: " + error;
        }
        if (!UndoError_.empty())
            return Result(item, TKind::NotRestored, L"not restored: " + UndoError_);
        const HKEY root = RootFromName(item.Root);
        std::vector<TUndoKey> keys;
        for (const TUndoKey& key : *Keys_) {
            if (key.Root != root)
                continue;
            if (item.Kind == TItemKind::Key && (SameText(key.Path, item.Key) ||
                                                StartsWithText(key.Path, item.Key + L"\\")))
                keys.push_back(key);
            if (item.Kind == TItemKind::Value && SameText(key.Path, item.Key)) {
                TUndoKey value = key;
                value.Values.erase(std::remove_if(value.Values.begin(), value.Values.end(),
                                                  [&](const TRegNamedValue& v) { return !SameText(v.Name, item.Value); }),
                                   value.Values.end());
                if (!value.Values.empty())
                    keys.push_back(std::move(value));
            }
        }
        if (keys.empty())
            return Result(item, TKind::NotRestored, L"not restored: the undo file does not hold it");
        const TRestoreReport restored = RestoreUndoKeys(keys);
        if (!restored.Failures.empty())
            return Result(item, TKind::NotRestored, L"not restored: " + restored.Failures.front());
        return Marked(item, L"restored");
    }

    TItemResult Marked(const TQuarantineItem& item, const std::wstring& text)
    {
        std::wstring error;
        (void)AppendToManifest(JoinPath(Folder_, kManifestName), RestoredLine(item.Number), error);
        return Result(item, TKind::Restored, text);
    }

    const TQuarantinePlaces& Places_;
    const TRunEntry& Run_;
    std::wstring Folder_;
    std::optional<std::vector<TUndoKey>> Keys_;
    std::wstring UndoError_;
};

int Order(const TQuarantineItem& item)
{
    switch (item.Kind) {
    case TItemKind::Folder: return 0;
    case TItemKind::File: return 1;
    case TItemKind::Key:
    case TItemKind::Value: return 2;
    case TItemKind::Cookie: break;
    }
    return 3;
}

} // namespace

TRestoreResult TQuarantine::Restore(const TRunEntry& run, int number) const
{
    TRestoreResult result;
    // The run is read again, through folders that must still be trusted.
    const TFolderTrust trust = TFolderTrust::ForPlace(run.Place);
    std::vector<std::wstring> steps(std::begin(kQuarantineSteps), std::end(kQuarantineSteps));
    steps.push_back(run.Name);
    const TFolderWalk folder = WalkFolders(Places_.Base(run.Place), steps, {false, L"", &trust});
    if (!folder.Reached()) {
        result.Problem = L"the run " + run.Name + L" cannot be read: " + folder.Reason;
        return result;
    }
    TRunEntry current = run;
    current.Folder = folder.Real;
    std::wstring error;
    if (!ReadManifest(JoinPath(folder.Real, kManifestName), current.Manifest, error)) {
        result.Problem = L"the run " + run.Name + L" cannot be read: " + error;
        return result;
    }
    std::vector<const TQuarantineItem*> items;
    for (const TQuarantineItem& item : current.Manifest.Items)
        if (number == 0 || item.Number == number)
            items.push_back(&item);
    if (items.empty()) {
        result.Problem = L"the run " + run.Name + L" has no item " + std::to_wstring(number);
        result.Skipped = current.Manifest.Damaged;
        return result;
    }
    result.Read = true;
    result.Skipped = current.Manifest.Damaged;
    // Folders before what goes into them, the shallow before the deep.
    std::stable_sort(items.begin(), items.end(), [](const TQuarantineItem* a, const TQuarantineItem* b) {
        if (Order(*a) != Order(*b))
            return Order(*a) < Order(*b);
        return a->Kind == TItemKind::Folder && a->Real.size() < b->Real.size();
    });
    TRestorer restorer(Places_, current, folder.Real);
    for (const TQuarantineItem* item : items)
        result.Items.push_back(restorer.Restore(*item));
    return result;
}
