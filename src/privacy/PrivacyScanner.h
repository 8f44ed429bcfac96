#pragma once
// The privacy sweeper: lists traces of use in the ticked categories, reports them in the details
// window's memo, and deletes every listed trace on repair (files in use at the next restart).
#include "common/AppFrame.h"
#include "common/KeptEntries.h"
#include "common/Pacing.h"
#include "common/RepairOutcome.h"
#include "common/Types.h"
#include "junk/FolderGuard.h"
#include "privacy/CookieKeepList.h"
#include "privacy/PrivacyItems.h"
#include "privacy/PrivacyPlatform.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TLabel;
class TProgressBar;
class TMemo;

class TPrivacyScanner {
public:
    // texts: the lines of language section "M_PrivacyScan".
    explicit TPrivacyScanner(const TWideStrings& texts);

    // Runs the categories whose character of selection is "1" (position 1 first), writes the report
    // into the memo and returns the number of listed items that are not already waiting for a restart.
    int32_t Scan(TLabel& status, TProgressBar& progress, const std::wstring& selection, TMemo& memo);
    // Deletes what the last scan listed; fills LastRepair with one outcome per listed item. An item
    // that is, lies inside or holds a kept entry stays (the items of categories unticked since the
    // scan are among the kept entries: see UntickedPlaces).
    void Repair(TLabel& status, TProgressBar& progress, const TKeptEntries& kept = {});
    // The places of the last scan's items whose categories selection does not tick (any longer).
    std::vector<TEntryPlace> UntickedPlaces(const std::wstring& selection) const;

    // Reads the cookie ignore list (section "Cookie" of Ignore.ini in the settings folder).
    void LoadIgnoreList();
    // True when the last repair scheduled this item path for deletion at restart.
    bool IsPendingDelete(const std::wstring& itemPath) const;
    // The last scan's items less those already waiting for a restart; never below 0.
    int32_t ReportedCount() const;

    TWideStrings Texts;
    TAppFrame Folders;
    // The last scan's findings; only the collectors and handlers add to them, through the recorder.
    TPrivacyRecorder Findings;
    // Item paths that the last repair scheduled for deletion at the next restart.
    TWideStrings PendingDeletes;
    int32_t PendingCount = 0;
    TWideStrings CookieIgnore;
    // The hosts whose cookies every browser keeps (from CookieIgnore), as the last scan read them.
    TCookieKeepList KeepList;
    std::wstring ScanPrefix;
    std::wstring RepairPrefix;
    TStopFlag Stopped{0};
    // What the last Repair did with each listed item.
    TRepairReport LastRepair;
    TPrivacyPlatform Platform = SystemPrivacyPlatform();
    // The pause after each category position.
    TPause Pause = SystemPause();

    // What every folder walk of a scan is guarded by: the junk walks' protected folders, with the
    // Windows folder the platform names; the folders of the application table are walked on purpose.
    TProtectedFolders ProtectedFolders() const;

private:
    // Processes pending window messages, then says whether the repair goes on.
    bool KeepGoing();
    void WriteReport(TMemo& memo) const;
    struct TRepairState;
    TOutcome RepairItem(const TPrivacyItem& item, const TRepairState& state, std::wstring& message);
    TOutcome RepairBrowserFile(const TPrivacyItem& item, const TRepairState& state);
    TOutcome RepairDatabase(const TPrivacyItem& item, const TRepairState& state, std::wstring& message);
};
