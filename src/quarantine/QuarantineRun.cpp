#include "quarantine/QuarantineRun.h"

#include "common/Registry.h"
#include "common/SafeDelete.h"
#include "common/Sha256.h"
#include "common/SystemError.h"
#include "common/TextCompare.h"
#include "quarantine/FolderWalk.h"
#include "quarantine/SecurityText.h"

#include <sddl.h>

#include <cwchar>
#include <vector>

namespace {

std::wstring WithoutLongPrefix(std::wstring path)
{
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        return L"\\\\" + path.substr(8);
    if (path.compare(0, 4, L"\\\\?\\") == 0)
        return path.substr(4);
    return path;
}

// The folder a path's volume is mounted at ("C:\", or a folder where another volume is mounted).
std::wstring VolumeOf(const std::wstring& path)
{
    std::vector<wchar_t> buffer(path.size() + 64 < 32768 ? 32768 : path.size() + 64);
    if (!GetVolumePathNameW(LongPathForm(path).c_str(), buffer.data(), static_cast<DWORD>(buffer.size())))
        return {};
    return WithoutLongPrefix(buffer.data());
}

// A file made in the quarantine: the quarantine's access list from the start.
THandle CreateQuarantineFile(const std::wstring& path, const std::wstring& sddl)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return THandle();
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    THandle file(CreateFileW(LongPathForm(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, &attributes, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD error = GetLastError();
    LocalFree(descriptor);
    SetLastError(error);
    return file;
}

std::wstring OwnedSddl(TQuarantinePlace place, const TFolderTrust& trust)
{
    // In the machine's place what is held belongs to the Administrators, so that its former owner
    // cannot open it up again.
    return (place == TQuarantinePlace::Machine ? L"O:BA" : L"") + trust.FileSddl();
}

} // namespace

TQuarantineRun::TQuarantineRun(TQuarantinePlaces places) : Places_(std::move(places)) {}

TQuarantineRun::~TQuarantineRun()
{
    if (!Committed_)
        Discard();
}

std::optional<std::wstring> TQuarantineRun::Begin()
{
    Place_ = Places_.PlaceForRemoval();
    const std::wstring& base = Places_.Base(Place_);
    if (base.empty())
        return std::wstring(L"the system names no folder for the quarantine");
    Trust_.emplace(TFolderTrust::ForPlace(Place_));
    const std::vector<std::wstring> steps(std::begin(kQuarantineSteps), std::end(kQuarantineSteps));
    const TFolderWalk chain = WalkFolders(base, steps, {true, Trust_->FolderSddl(), &*Trust_});
    if (!chain.Reached())
        return L"the quarantine cannot be used: " + chain.Reason;

    FILETIME now{};
    if (Places_.Now)
        now = Places_.Now();
    else
        GetSystemTimeAsFileTime(&now);
    const std::wstring stamp = RunNameOf(now);
    std::wstring name;
    for (int attempt = 1; attempt <= 1000 && name.empty(); ++attempt) {
        const std::wstring candidate = stamp + (attempt == 1 ? L"" : L"-" + std::to_wstring(attempt));
        // Made inside a folder only the trusted may write to, it inherits the quarantine's access list.
        if (CreateDirectoryW(LongPathForm(JoinPath(chain.Real, candidate)).c_str(), nullptr))
            name = candidate;
        else if (GetLastError() != ERROR_ALREADY_EXISTS)
            return L"the run's folder cannot be made in " + chain.Real + L" (" + SystemErrorText(GetLastError()) + L")";
    }
    if (name.empty())
        return L"no free name for the run in " + chain.Real;
    TFolderWalk run = WalkFolders(chain.Real, {name}, {false, L"", &*Trust_});
    if (!run.Reached())
        return L"the run's folder cannot be used: " + run.Reason;
    FolderHandle_ = std::move(run.Handle);
    Folder_ = run.Real;
    BY_HANDLE_FILE_INFORMATION info{};
    GetFileInformationByHandle(FolderHandle_.Get(), &info);
    VolumeSerial_ = info.dwVolumeSerialNumber;
    VolumePath_ = VolumeOf(Folder_);
    Manifest_.Name = name;
    Manifest_.Started = FileTimeValue(now);
    return std::nullopt;
}

bool TQuarantineRun::OnOtherVolume(const std::wstring& real, DWORD serial) const
{
    // Decided by the volume, never by a rename that fails: under Wine a rename across two drive
    // letters of one Unix file system succeeds.
    const std::wstring volume = VolumeOf(real);
    return volume.empty() || !SameText(volume, VolumePath_) || serial != VolumeSerial_;
}

TQuarantineRun::TPlan TQuarantineRun::Planned(TQuarantineItem item)
{
    item.Number = static_cast<int>(Manifest_.Items.size()) + 1;
    Manifest_.Items.push_back(std::move(item));
    return {Manifest_.Items.back().Number, std::nullopt, {}};
}

TQuarantineRun::TPlan TQuarantineRun::AddFile(const std::wstring& path, const std::wstring& expected,
                                              const TItemOrigin& origin)
{
    TGateItem file;
    if (const std::optional<TOutcome> refused =
            file.Open(LongPathForm(path), expected, TGateItem::TKind::File, FILE_READ_DATA | READ_CONTROL))
        return {0, *refused, {}};
    TQuarantineItem item;
    item.Kind = TItemKind::File;
    item.Path = path;
    item.Real = expected;
    const BY_HANDLE_FILE_INFORMATION& info = file.Info();
    item.Size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    item.Created = FileTimeValue(info.ftCreationTime);
    item.Accessed = FileTimeValue(info.ftLastAccessTime);
    item.Written = FileTimeValue(info.ftLastWriteTime);
    item.Attributes = info.dwFileAttributes;
    item.Sha256 = FileSha256(file.Handle());
    if (item.Sha256.empty())
        return {0, TOutcome::Failed, L"it cannot be read whole, so it could not be restored"};
    item.Sddl = SecuritySddl(file.Handle());
    item.OtherVolume = OnOtherVolume(expected, info.dwVolumeSerialNumber);
    item.Definition = origin.Definition;
    item.Risk = origin.Risk;
    return Planned(std::move(item));
}

TQuarantineRun::TPlan TQuarantineRun::AddFolder(const std::wstring& path, const std::wstring& expected,
                                                const TItemOrigin& origin)
{
    TGateItem folder;
    if (const std::optional<TOutcome> refused =
            folder.Open(LongPathForm(path), expected, TGateItem::TKind::Folder, READ_CONTROL))
        return {0, *refused, {}};
    TQuarantineItem item;
    item.Kind = TItemKind::Folder;
    item.Path = path;
    item.Real = expected;
    const BY_HANDLE_FILE_INFORMATION& info = folder.Info();
    item.Created = FileTimeValue(info.ftCreationTime);
    item.Accessed = FileTimeValue(info.ftLastAccessTime);
    item.Written = FileTimeValue(info.ftLastWriteTime);
    item.Attributes = info.dwFileAttributes;
    item.Sddl = SecuritySddl(folder.Handle());
    item.Definition = origin.Definition;
    item.Risk = origin.Risk;
    return Planned(std::move(item));
}

TQuarantineRun::TPlan TQuarantineRun::AddRegistry(HKEY root, const std::wstring& key, const std::wstring* valueName,
                                                  const std::wstring& shown, const TItemOrigin& origin)
{
    // What the gate would refuse (a link at any step, or for a key anywhere in it: a link cannot be
    // brought back) is settled before anything of it is saved.
    if (const std::optional<TOutcome> blocked =
            RegDeletionBlocked(root, key, 0, valueName ? TRegDeletion::Value : TRegDeletion::Tree))
        return {0, *blocked, {}};
    const TExportResult exported = valueName ? Undo_.AddValue(root, key, *valueName) : Undo_.AddKeyTree(root, key);
    switch (exported) {
    case TExportResult::Added: break;
    case TExportResult::Missing: return {0, TOutcome::AlreadyGone, {}};
    case TExportResult::Unwritable: return {0, TOutcome::Refused, L"a name the undo file cannot hold"};
    case TExportResult::Unreadable: return {0, TOutcome::Failed, L"it cannot be read whole, so it could not be restored"};
    }
    TQuarantineItem item;
    item.Kind = valueName ? TItemKind::Value : TItemKind::Key;
    item.Path = shown;
    item.Root = RootName(root);
    item.Key = key;
    if (valueName)
        item.Value = *valueName;
    item.Definition = origin.Definition;
    item.Risk = origin.Risk;
    return Planned(std::move(item));
}

TQuarantineRun::TPlan TQuarantineRun::AddCookie(const std::wstring& url, const TItemOrigin& origin)
{
    TQuarantineItem item;
    item.Kind = TItemKind::Cookie;
    item.Path = url;
    item.Definition = origin.Definition;
    item.Risk = origin.Risk;
    return Planned(std::move(item));
}

std::optional<std::wstring> TQuarantineRun::Commit()
{
    if (Folder_.empty())
        return std::wstring(L"the run has no folder");
    if (Manifest_.Items.empty()) {
        Discard();
        return std::nullopt;
    }
    if (!Undo_.Empty()) {
        std::wstring path, error;
        if (!WriteUndoFile(Folder_, Undo_.Text(), path, error)) {
            Discard();
            return L"the registry entries could not be saved, so nothing was removed: " + error;
        }
        Manifest_.UndoFile = path.substr(path.find_last_of(L'\\') + 1);
    }
    std::wstring text = ManifestHead(Manifest_);
    for (const TQuarantineItem& item : Manifest_.Items)
        text += ItemLine(item);
    std::wstring error;
    if (!CreateManifestFile(JoinPath(Folder_, kManifestName), text, error)) {
        Discard();
        return L"nothing was removed: " + error;
    }
    Committed_ = true;
    return std::nullopt;
}

void TQuarantineRun::Append(const std::wstring& line)
{
    std::wstring error;
    // A mark that cannot be written loses nothing: a restore goes by what the run's folder holds.
    (void)AppendToManifest(JoinPath(Folder_, kManifestName), line, error);
}

void TQuarantineRun::Record(int number, TOutcome outcome, const std::wstring& reason)
{
    if (!Committed_ || !Manifest_.Find(number))
        return;
    if (outcome == TOutcome::Removed || outcome == TOutcome::Pending)
        Append(DoneLine(number, {}));
    else
        Append(LeftLine(number, std::wstring(OutcomeName(outcome)) + (reason.empty() ? L"" : L": " + reason)));
}

TOutcome TQuarantineRun::MoveFile(int number, std::wstring& reason)
{
    TQuarantineItem* item = Committed_ ? Manifest_.Find(number) : nullptr;
    if (!item || item->Kind != TItemKind::File)
        return TOutcome::Failed;
    if (item->OtherVolume) {
        const TOutcome outcome = CopyIn(*item, reason);
        if (outcome != TOutcome::Removed && outcome != TOutcome::Pending)
            Record(number, outcome, reason);
        return outcome;
    }
    const DWORD ownerRight = Place_ == TQuarantinePlace::Machine ? WRITE_OWNER : 0;
    TGateItem file;
    std::optional<TOutcome> refused = file.Open(LongPathForm(item->Path), item->Real, TGateItem::TKind::File,
                                                FILE_READ_DATA | READ_CONTROL | WRITE_DAC | ownerRight);
    // Someone who may move the file but not change its access list: it keeps its own meanwhile.
    if (refused == TOutcome::Failed)
        refused = file.Open(LongPathForm(item->Path), item->Real, TGateItem::TKind::File, FILE_READ_DATA);
    if (refused) {
        Record(number, *refused);
        return *refused;
    }
    // The same volume: a rename keeps the file's data streams and times.
    const TOutcome moved = file.MoveInto(FolderHandle_.Get(), item->PlaceName());
    if (moved != TOutcome::Removed) {
        Record(number, moved);
        return moved;
    }
    (void)ApplySddl(file.Handle(), OwnedSddl(Place_, *Trust_)); // the run's folder shuts others out anyway
    // What the quarantine holds, which a restore checks.
    Append(DoneLine(number, FileSha256(file.Handle())));
    return TOutcome::Removed;
}

TOutcome TQuarantineRun::CopyIn(TQuarantineItem& item, std::wstring& reason)
{
    // Nobody may write to the file while it is copied, and it is deleted through the same handle.
    TGateItem source;
    if (const std::optional<TOutcome> refused =
            source.Open(LongPathForm(item.Path), item.Real, TGateItem::TKind::File, FILE_READ_DATA,
                        FILE_SHARE_READ | FILE_SHARE_DELETE))
        return *refused;
    const std::wstring target = JoinPath(Folder_, item.PlaceName());
    THandle copy = CreateQuarantineFile(target, OwnedSddl(Place_, *Trust_));
    if (!copy) {
        reason = L"it cannot be copied into the quarantine (" + SystemErrorText(GetLastError()) + L")";
        return TOutcome::Failed;
    }
    const std::wstring read = CopyFileData(source.Handle(), copy.Get());
    const std::wstring held = read.empty() ? std::wstring() : FileSha256(copy.Get());
    copy.Reset();
    if (read.empty() || held != read) {
        (void)DeleteFileSafe(target); // our own unfinished copy; the original stays in any case
        reason = L"it could not be copied whole into the quarantine, so it was left in place";
        return TOutcome::Failed;
    }
    const TOutcome deleted = source.Delete();
    if (deleted != TOutcome::Removed && deleted != TOutcome::Pending) {
        (void)DeleteFileSafe(target); // the original stays: its copy is not needed
        return deleted;
    }
    Append(DoneLine(item.Number, held));
    return deleted;
}

bool TQuarantineRun::KeepGoing()
{
    if (!Stopped_ && Places_.KeepGoing && !Places_.KeepGoing())
        Stopped_ = true;
    return !Stopped_;
}

void TQuarantineRun::Discard()
{
    if (Folder_.empty())
        return;
    FolderHandle_.Reset();
    // Only what this run made itself: the undo file and the manifest.
    if (!Manifest_.UndoFile.empty())
        (void)DeleteFileSafe(JoinPath(Folder_, Manifest_.UndoFile));
    (void)DeleteFileSafe(JoinPath(Folder_, kManifestName));
    (void)RemoveFolderSafe(Folder_); // left behind when it holds more: the run stays then, unreadable
    Folder_.clear();
}

std::wstring RunNameOf(const FILETIME& utc)
{
    SYSTEMTIME universal{}, local{};
    if (!FileTimeToSystemTime(&utc, &universal) || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return L"00000000-000000";
    wchar_t name[32];
    std::swprintf(name, 32, L"%04u%02u%02u-%02u%02u%02u", local.wYear, local.wMonth, local.wDay, local.wHour,
                  local.wMinute, local.wSecond);
    return name;
}

std::optional<ULONGLONG> RunNameTime(const std::wstring& name)
{
    if (name.size() < 15 || name[8] != L'-')
        return std::nullopt;
    for (size_t i = 0; i < 15; ++i)
        if (i != 8 && (name[i] < L'0' || name[i] > L'9'))
            return std::nullopt;
    if (name.size() > 15) {
        const std::wstring suffix = name.substr(15);
        if (suffix.size() < 2 || suffix.size() > 6 || suffix[0] != L'-' ||
            suffix.find_first_not_of(L"0123456789", 1) != std::wstring::npos)
            return std::nullopt;
    }
    const auto number = [&](size_t at, size_t count) { return static_cast<WORD>(std::stoi(name.substr(at, count))); };
    SYSTEMTIME local{};
    local.wYear = number(0, 4);
    local.wMonth = number(4, 2);
    local.wDay = number(6, 2);
    local.wHour = number(9, 2);
    local.wMinute = number(11, 2);
    local.wSecond = number(13, 2);
    SYSTEMTIME universal{};
    FILETIME time{};
    if (local.wMonth < 1 || local.wMonth > 12 || local.wDay < 1 || local.wDay > 31 || local.wHour > 23 ||
        local.wMinute > 59 || local.wSecond > 59 || !TzSpecificLocalTimeToSystemTime(nullptr, &local, &universal) ||
        !SystemTimeToFileTime(&universal, &time))
        return std::nullopt;
    return FileTimeValue(time);
}
