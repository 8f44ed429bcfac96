#pragma once
// The junk-file scanner: a worker thread that lists browser-cache files, old temporary files and the
// files of the switches of today's Windows, and sizes the recycle bin; its removal is handed to
// Ravenwick.dll.
#include "common/Handles.h"
#include "common/KeptEntries.h"
#include "common/Pacing.h"
#include "common/RepairOutcome.h"
#include "common/Types.h"
#include "junk/JunkList.h"
#include "junk/JunkWalk.h"
#include "ui/Thread.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TLabel;
class TProgressBar;
class TLineList;

// How long a repair report waits for the removal library before it reads what it has done so far.
inline constexpr DWORD kRemovalWaitMs = 10 * 60 * 1000;

// What one switch of today's Windows found.
struct TSwitchTally {
    bool On = false;
    // Listed for removal.
    int32_t Count = 0;
    int64_t Bytes = 0;
    // Only an administrator may remove them and this process is not elevated: measured, never listed.
    bool HeldBack = false;
    int32_t HeldCount = 0;
    int64_t HeldBytes = 0;
    // One of its administrator-only folders could not be read, so its size is not known.
    bool Unreadable = false;
};

class TempThread : public TThread {
public:
    TempThread(TLabel& statusLabel, TProgressBar& progressBar, TLineList& memo, const TWideStrings& texts);

    ~TempThread() override;

    // Hands the removal to the library at LibraryPath, with the scan's list written for it, and shows the
    // paced progress. False, with nothing removed and every listed file reported as failed, when it
    // cannot be loaded or lacks its functions. A listed file that is, lies inside or holds a kept entry
    // is not handed over (nor is the bin emptied when it holds one): the report names it as kept.
    bool Repair(TLabel& statusLabel, const TKeptEntries& kept = {});
    // Waits (pumping messages) up to timeoutMs for the library's thread, then fills LastRepair from the
    // library's result file: a listed file it names no outcome for was not reached (or is gone). False
    // when the thread was still running; its list and result stay until it has ended. Once the result
    // of a finished removal has been read, later calls keep LastRepair as it is.
    bool CompleteRepairReport(DWORD timeoutMs);
    // The removal library's thread, for a caller that must wait for it; nullptr when none was started.
    HANDLE RemovalThread() const { return RemovalThread_.Get(); }
    // Keeps the window alive until Finished is set, sleeping while no message is waiting. Returns the
    // number of times it slept.
    int WaitUntilFinished();

    TLabel& StatusLabel;
    TProgressBar& ProgressBar;
    std::wstring CachePath;
    std::wstring CurrentFile;
    std::wstring UserTag;
    // The page's lines: the heading, the refused folders and switches, then Listed, shared and not copied.
    TLineList& Memo;
    TWideStrings Texts;
    std::atomic<unsigned char> Finished{0};
    int32_t JunkCount = 0;
    // Sizes are 64-bit: a junk total of 2 GiB or more must not wrap.
    int64_t TotalBytes = 0;
    int64_t CacheBytes = 0;
    int64_t TempBytes = 0;
    int64_t RecycleBytes = 0;
    // By position in kJunkSwitches.
    std::array<TSwitchTally, kJunkSwitchCount> Switches{};
    std::wstring SizeText;
    TStopFlag Stopped{0};
    std::wstring ScanPrefix;
    // The Windows folder (its temp is walked), the drive root whose recycle bin is sized, ProgramData,
    // the local application data and the elevation query: the system's, unless a test puts stand-ins
    // in before Start.
    TJunkPlaces Places;
    // Where the policy values that override Main.ini's junk settings are read.
    TPolicyRoots PolicyRoots;
    // The removal library: Ravenwick.dll in the program's own folder, never one from the search path.
    std::wstring LibraryPath;
    // Set by Repair when Ravenwick.dll was loaded and its thread started.
    bool RemovalStarted = false;
    // The files the scan listed, in the order found (held once: the page shows this list), the paths
    // each must resolve to when removed (ExpectedOf: ListedExpected keeps no copy of a path that
    // resolves to itself), their sizes and where each was found (the browser cache, a temporary folder,
    // a switch's folders).
private:
    std::shared_ptr<std::vector<std::wstring>> ListedShared_ = std::make_shared<std::vector<std::wstring>>();

public:
    std::vector<std::wstring>& Listed = *ListedShared_;
    std::vector<std::wstring> ListedExpected;
    std::vector<int64_t> ListedSize;
    std::vector<TJunkArea> ListedArea;
    // The path the listed file at index must resolve to.
    const std::wstring& ExpectedOf(size_t index) const;
    // The recycle-bin folder whose size the scan measured (empty when it measured none).
    std::wstring RecycleFolder;
    // What the last removal did with each listed file (complete after CompleteRepairReport).
    TRepairReport LastRepair;
    // The pacing of Repair's progress.
    TPause Pause = SystemPause();
    // The status line and bar follow the scan a few times a second, at a fifth file once this much
    // time has passed since they last changed: a change for every fifth file cost the worker a
    // round trip to the window each time. Tests that follow every change set 0.
    DWORD UpdateEveryMs = 200;

protected:
    void Execute() override;

private:
    void Scan();
    void ListFile(const TJunkFile& file);
    void TallySwitches(const TJunkWalker& walker, bool elevated);
    std::vector<std::wstring> SwitchLines() const;
    // The list for the removal with this id; false when it cannot be written.
    bool WriteRemovalList(const std::wstring& removalId);
    // Reads the removal's result into LastRepair; once the removal has finished, deletes the list and
    // the result.
    void ReadRemovalResult(bool finished);
    void HandLines();
    void FlushLines();
    bool IsKept(size_t index) const;
    // Every listed file gets outcome in LastRepair, but those kept, which are named as kept.
    void AddListed(TOutcome outcome);
    void RunOnUiThread(const std::function<void()>& call);

    std::vector<std::wstring> PendingSkips_; // worker side: a line per refused folder, before the files
    std::vector<bool> ExpectedIsPath_; // per listed file: it must resolve to its listed path
    bool LinesHanded_ = false; // the page has been handed the list
    ULONGLONG LastUpdate_ = 0; // worker side: when the status line and bar last changed (0: never)
    // Loaded once and freed only after its removal thread has ended (the thread runs its code).
    TModule Library_;
    THandle RemovalThread_;
    // The list the removal thread reads, held open without write sharing while it may read it.
    TJunkListFile RemovalList_;
    bool ResultRead_ = false; // the finished removal's result is in LastRepair
    std::wstring RecycleExpected_; // the measured bin folder as it resolved at the scan
    // Per listed file of the last repair: the list that keeps it, empty when it is handed over.
    std::vector<std::wstring> KeptBy_;
    std::wstring BinKeptBy_; // the list that keeps something in the measured bin
};
