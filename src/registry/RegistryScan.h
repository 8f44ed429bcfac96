#pragma once
// The registry fixer: lists invalid or empty registry entries and deletes the checked ones, after
// saving them in an undo file.
#include "common/AppFrame.h"
#include "common/KeptEntries.h"
#include "common/Pacing.h"
#include "common/RepairOutcome.h"
#include "common/Settings.h"
#include "common/Types.h"
#include "registry/FindingRecorder.h"
#include "registry/KeyCheck.h"
#include "registry/PathJudge.h"
#include "registry/PathTests.h"
#include "registry/RegFinding.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TLabel;
class TProgressBar;
class TListView;
struct TClassesView;
class TRegKey;

class TScanRegistry {
public:
    explicit TScanRegistry(const TWideStrings& texts);

    // Clears the stop flag and the findings, and makes sure the backup folders exist.
    void ResetFindings();
    int32_t Scan(TLabel& status, TProgressBar& progress, TListView& list);
    // Deletes what the checked rows of list name (list must be the one the last Scan filled); every
    // checked row gets one outcome in LastRepair. A row that is, lies inside or holds a kept entry stays.
    void Repair(TListView& list, TLabel& status, TProgressBar& progress, TWideStrings& repairLog,
                const TKeptEntries& kept = {});
    // The places of the rows the user unticked (rows of this scan only).
    std::vector<TEntryPlace> UntickedPlaces(const TListView& list) const;

    // Category checks: each sets the label, steps the bar and returns its number of findings.
    int32_t ScanComClasses(TLabel& status, TProgressBar& progress);
    int32_t ScanTypeLibraries(TLabel& status, TProgressBar& progress);
    int32_t ScanFileTypes(TLabel& status, TProgressBar& progress);
    int32_t ScanFileExtensions(TLabel& status, TProgressBar& progress);
    int32_t ScanEmptyClasses(TLabel& status, TProgressBar& progress);
    // The deep value scan of the current user's and of every user's keys.
    int32_t ScanDeep(TLabel& status, TProgressBar& progress);
    // A check of the key-check table (registry/KeyCheck.h): the row's key walked by one routine.
    int32_t RunKeyCheck(TKeyCheckId id, TLabel& status, TProgressBar& progress);

    // Sizes of the progress plan.
    int32_t CountComEntries() const;
    int32_t CountSharedDllValues() const;
    int32_t CountRootClasses() const;
    int32_t CountMachineClasses() const;

    // Every finding of the last scan, ignored ones included, and their backup lines.
    const std::vector<TRegFinding>& Findings() const { return Recorder.Findings(); }
    const TWideStrings& BackupLines() const { return Recorder.BackupLines(); }
    // "\Kelvor\Dornique\Backup\Registry\" below the data folder, where the undo files go.
    std::wstring BackupFolder() const;

    TAppFrame Folders;
    TWideStrings Texts;
    // The deep value scan's findings, and the display name of the root it is walking.
    int32_t DeepCount = 0;
    std::wstring DeepRootName;
    // The only writer of the findings and backup lines; Scan resets it and fills the list from it.
    TFindingRecorder Recorder;
    std::wstring ScanPrefix;
    std::wstring RepairPrefix;
    TStopFlag Stopped{0};
    // 1: Repair hands BackupLines to its caller's list.
    uint8_t BackupEnabled = 0;
    int32_t FirstImageIndex = 0;
    int32_t SecondImageIndex = 0;
    // What the last Repair did with each checked row, and the undo file it wrote (or why none).
    TRepairReport LastRepair;
    std::wstring LastUndoFile;
    std::wstring LastUndoError;

    // The pacing of Repair's progress.
    TPause Pause = SystemPause();
    // Where the policy values that override Main.ini's switches are read.
    TPolicyRoots PolicyRoots;
    // What the scanner asks of the system, replaceable in tests: the drive type of a path's root, a
    // path's attributes, and the deletion of one finding.
    struct THooks {
        TDriveTypeQuery DriveType = [](const std::wstring& root) { return GetDriveTypeW(root.c_str()); };
        TAttributesQuery Attributes = QueryPathAttributes;
        std::function<TOutcome(const TRegFinding&)> Remove = RemoveFinding;
    };
    THooks Hooks;

    // Deletes the key or value of a finding where it lives, through the safe deletion routines.
    static TOutcome RemoveFinding(const TRegFinding& finding);
    // Where the finding's key (or value) lives; nothing when its place cannot be named.
    static std::optional<TEntryPlace> PlaceOf(const TRegFinding& finding);

private:
    // Pumps the window messages, then says whether to go on (no stop asked for).
    bool KeepGoing();
    const std::wstring& Text(int line) const;
    std::wstring DataFolder() const;
    // Walks the keys below HKEY_CLASSES_ROOT\key in each view, one progress step and one stop test per
    // key, and sums what the check of each key found.
    using TEntryCheck = int32_t (TScanRegistry::*)(const TClassesView& view, const TPathJudge& judge, HKEY parent,
                                                   const std::wstring& name);
    int32_t WalkClassesEntries(const std::wstring& key, TProgressBar& progress, TEntryCheck check);
    // The checks of one class key and of one library key, in one view.
    int32_t CheckClass(const TClassesView& view, const TPathJudge& judge, HKEY classKey, const std::wstring& name);
    int32_t CheckLibrary(const TClassesView& view, const TPathJudge& judge, HKEY libraryKey, const std::wstring& name);
    int32_t CheckLibraryGroup(const TClassesView& view, const TPathJudge& judge, const TRegKey& versionKey,
                              const std::wstring& path);
    // The file-type walk: one class key, its default icon and its shell verbs.
    int32_t CheckFileType(const TPathJudge& judge, const TRegKey& classes, const std::wstring& name);
    int32_t CheckDefaultIcon(const TPathJudge& judge, const TRegKey& type, const std::wstring& name,
                             const std::wstring& sub, const std::wstring& reported);
    int32_t CheckShell(const TPathJudge& judge, const TRegKey& type, const std::wstring& name,
                       const std::wstring& sub, const std::wstring& reported, const std::wstring& typeDefault);
    // The deep value scan below one open root key, and the text values of one key (path below root).
    void ScanDeepKey(HKEY root, const TRegKey& start, const TPathJudge& judge);
    void ScanDeepValues(HKEY root, const TRegKey& key, const std::vector<TRegNamedValue>& values,
                        const std::wstring& path, const TPathJudge& judge);

};
