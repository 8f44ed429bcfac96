#pragma once
// The scan run: start-up, the four scanners it owns, "Start Scan", "Stop Scan" and "Repair" in the
// fixed row order, the counts of the last scan, each row's result line and each scanner's last repair
// report. The main window and the console report drive it; it knows neither of them, only the
// controls the scanners write into.
#include "app/LeftItemsDialog.h"
#include "app/ResultRows.h"
#include "common/AppFrame.h"
#include "common/KeptEntries.h"
#include "common/MultiLan.h"
#include "common/Pacing.h"
#include "common/RunAccount.h"
#include "common/RepairOutcome.h"
#include "common/Settings.h"
#include "common/Types.h"
#include "junk/JunkWalk.h"
#include "privacy/PrivacyPlatform.h"
#include "quarantine/QuarantinePlaces.h"
#include "spyware/archive/ZLIBArchive.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class TLabel;
class TListView;
class TLineList;
class TMemo;
class TProgressBar;
class TSpyScan;
class TScanRegistry;
class TPrivacyScanner;
class TempThread;

// The controls the scanners write into: the status line and progress bar shared by every row, and the
// lists and memos of the details window.
struct TScanControls {
    TLabel& Status;
    TProgressBar& Progress;
    TListView& SpyList;
    TListView& RegList;
    TMemo& PrivacyMemo;
    TLineList& JunkMemo;
    // The privacy categories ticked now (the details window's selection string).
    std::function<std::wstring()> Selection;
};

// What a row's result line shows.
struct TResultLine {
    bool Shown = false;
    std::wstring Text;
    bool Clean = false; // nothing found or repaired (green), else red
    bool Bold = false;  // the line's style becomes bold; otherwise it stays as it is
    bool OpensLeft = false; // a repair left items: the line opens their list
};

// Told about the rows as a command reaches them.
struct TRowCalls {
    std::function<void(int row)> Begins;       // before the row's scanner runs
    std::function<void(int row)> Ends;         // after the row's result line changed
    std::function<void(const std::wstring& text)> Failed; // a row whose repair could not start
};

class TScanRun {
public:
    // programFolder: where Def.dbd and Language\ are looked for; empty for the program's own folder.
    explicit TScanRun(std::wstring programFolder = L"");
    ~TScanRun();
    TScanRun(const TScanRun&) = delete;
    TScanRun& operator=(const TScanRun&) = delete;

    // The folder start-up will take the program's files from.
    std::wstring ExpectedProgramFolder() const;
    // Start-up: the shared objects, the language texts, the archive's integrity test and the scanners.
    // The text to tell the user when it cannot start (each cause told once, and nothing after it);
    // nothing when every module is on. Errors of the archive reader are raised.
    std::optional<std::wstring> Start();
    bool Started() const { return SpywareOn || RegistryOn || PrivacyOn || JunkOn; }

    // "Start Scan": every row that is on, while Scanning stays set. An error ends the command with
    // Scanning cleared; the counts of an earlier scan are gone by then.
    void Scan(const TScanControls& controls, const TRowCalls& calls);
    // "Repair": every row that is on and found something.
    void Repair(const TScanControls& controls, const TRowCalls& calls);
    // "Stop Scan": the running command skips every remaining row and shows no further line.
    // junkRowCurrent: the junk-file thread is asked to stop too.
    void Stop(bool junkRowCurrent);
    // The user took findings out of a row's list: its count and result line follow the list.
    void FindingsChanged(int row, int count);
    // Frees the scanners; waits for the junk-file thread.
    void Release();

    // The result lines: after a scan (count of findings), after a repair, of the junk-file row.
    TResultLine FoundLine(int64_t count) const;
    TResultLine RepairedLine() const;
    TResultLine JunkLine(int64_t bytes, const std::wstring& sizeText) const;
    // A repair that left items: how many, in red.
    TResultLine LeftLine(size_t left) const;
    // A per-user row that did not run for want of an interactive user.
    TResultLine NotRunLine() const;
    // The items the row's last repair left, with why, as the list its red line opens shows them.
    TLeftItemsView LeftItems(int row) const;
    // The row's scanner's last repair report; nullptr where the row has no scanner yet.
    const TRepairReport* LastRepair(int row) const;

    std::unique_ptr<TAppFrame> FolderInfo;
    std::wstring ProgramFolder;  // ends in a backslash
    std::wstring SettingsFolder; // ends in a backslash
    std::unique_ptr<TMultiLan> LangTexts;
    // The settings as the last start-up or scan read them (policy values over Main.ini).
    std::unique_ptr<TSettings> Settings;
    TWideStrings MessageTexts;
    TWideStrings OptionTexts; // language section "M_Options"
    TZLBArchive MyZip;
    // [0] spyware, [1] registry, [2] privacy findings, [3] junk bytes (64-bit: no wrap at 2 GiB).
    std::array<int64_t, kRowCount> ProblemCounts{};
    std::array<TResultLine, kRowCount> Lines;
    // The per-user rows that the last scan did not run: no interactive user stands behind the program.
    std::array<bool, kRowCount> NotRun{};
    bool SpywareOn = false;
    bool RegistryOn = false;
    bool PrivacyOn = false;
    bool JunkOn = false;
    bool Scanning = false;
    std::unique_ptr<TSpyScan> SpyScanner;
    std::unique_ptr<TScanRegistry> RegScanner;
    std::unique_ptr<TPrivacyScanner> PrivScanner;
    std::unique_ptr<TempThread> JunkThread;
    TWideStrings RegRepairLog;

    // What the scanners take from the machine, replaceable so that tests reach only scratch places:
    // the pacing pause every scanner gets, the privacy sweeper's platform, the junk-file places (the
    // system's when empty) and the quarantine's places. Set before Start; the junk places are read by
    // every scan.
    TPause Pause = SystemPause();
    TPrivacyPlatform PrivacyPlatform = SystemPrivacyPlatform();
    std::optional<TJunkPlaces> JunkPlaces;
    // Where the policy values are read, and whether the program runs without an interactive user
    // (as a service or the system account): both the system's unless a test puts stand-ins in.
    TPolicyRoots PolicyRoots;
    std::function<bool()> NoInteractiveUser = RunsWithoutInteractiveUser;
    TQuarantinePlaces Quarantine = SystemQuarantinePlaces();

    // Line position of the language section "Message" (MessageText).
    std::wstring Text(int position) const;

private:
    void ScanRows(const TScanControls& controls, const TRowCalls& calls);
    void RepairRows(const TScanControls& controls, const TRowCalls& calls);
    void SetLine(int row, TResultLine line, const TRowCalls& calls);
    // What the user unticked in the lists (and the privacy categories unticked since the scan).
    TKeptEntries KeptEntries(const TScanControls& controls) const;

    std::wstring ProgramFolderOverride_;
};
