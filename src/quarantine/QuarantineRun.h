#pragma once
// One removal's run in the quarantine. Everything is planned first: each file read whole for its
// SHA-256, each registry entry exported into the run's undo file. The undo file and the manifest are
// written and flushed before anything is removed; if either cannot be, nothing is. Then each file is
// moved into the run's folder (on another volume: copied, checked and only then deleted), and each item
// marked in the manifest once it is dealt with.
#include "common/Handles.h"
#include "common/RepairOutcome.h"
#include "quarantine/FolderTrust.h"
#include "quarantine/Manifest.h"
#include "quarantine/QuarantinePlaces.h"
#include "registry/UndoFile.h"

#include <optional>
#include <string>

// Where an item came from: the definition that named it and its risk.
struct TItemOrigin {
    std::wstring Definition;
    std::wstring Risk;
};

class TQuarantineRun {
public:
    explicit TQuarantineRun(TQuarantinePlaces places);
    ~TQuarantineRun();
    TQuarantineRun(const TQuarantineRun&) = delete;
    TQuarantineRun& operator=(const TQuarantineRun&) = delete;

    // Picks the place by elevation, checks each folder on the way (making those that are missing) and
    // makes the run's own folder, named by the start time. Nothing when the run can take items, else
    // why not: nothing may be removed then.
    std::optional<std::wstring> Begin();

    // A planned item has a number; an item that is settled already has its outcome, and a reason
    // where the outcome alone does not tell.
    struct TPlan {
        int Number = 0;
        std::optional<TOutcome> Settled;
        std::wstring Reason;
    };
    // Planning, after Begin and before Commit. A file or folder must resolve to expected (see
    // ExpectedPath). A registry key or value is exported as it is at root\key (no view flag); shown is
    // how the removal listed it.
    TPlan AddFile(const std::wstring& path, const std::wstring& expected, const TItemOrigin& origin);
    TPlan AddFolder(const std::wstring& path, const std::wstring& expected, const TItemOrigin& origin);
    TPlan AddRegistry(HKEY root, const std::wstring& key, const std::wstring* valueName, const std::wstring& shown,
                      const TItemOrigin& origin);
    TPlan AddCookie(const std::wstring& url, const TItemOrigin& origin);

    // Writes the undo file and the manifest. Nothing when the items may be removed now, else why not.
    // A run without planned items leaves nothing behind.
    std::optional<std::wstring> Commit();

    // Moves the planned file into the run's folder and marks it; reason says why it stayed.
    TOutcome MoveFile(int number, std::wstring& reason);
    // Marks a planned item that the removal dealt with itself (a folder, a registry entry, a cookie).
    void Record(int number, TOutcome outcome, const std::wstring& reason = {});
    // False once the test hook ended the removal.
    bool KeepGoing();

    const std::wstring& Name() const { return Manifest_.Name; }
    // The run's folder; empty while there is none.
    const std::wstring& Folder() const { return Folder_; }
    bool Committed() const { return Committed_; }

private:
    TPlan Planned(TQuarantineItem item);
    void Append(const std::wstring& line);
    void Discard();
    bool OnOtherVolume(const std::wstring& real, DWORD serial) const;
    TOutcome CopyIn(TQuarantineItem& item, std::wstring& reason);

    TQuarantinePlaces Places_;
    TQuarantinePlace Place_ = TQuarantinePlace::User;
    std::optional<TFolderTrust> Trust_;
    THandle FolderHandle_;
    std::wstring Folder_;
    std::wstring VolumePath_;
    DWORD VolumeSerial_ = 0;
    TManifest Manifest_;
    TUndoWriter Undo_;
    bool Committed_ = false;
    bool Stopped_ = false;
};

// The local time of a FILETIME (UTC) as a run's name, YYYYMMDD-HHMMSS; and the UTC time a run's name
// stands for (its "-2" and so on ignored). Nothing for a name that is none.
std::wstring RunNameOf(const FILETIME& utc);
std::optional<ULONGLONG> RunNameTime(const std::wstring& name);
