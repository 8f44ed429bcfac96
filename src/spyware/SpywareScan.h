#pragma once
// The spyware scanner: loads every definition from Def.dbd at creation, matches them against the
// registry, the file system and the URL cache, and removes the checked findings.
#include "common/AppFrame.h"
#include "common/KeptEntries.h"
#include "common/Pacing.h"
#include "common/RepairOutcome.h"
#include "common/Types.h"
#include "quarantine/QuarantinePlaces.h"
#include "spyware/archive/ZLIBArchive.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "spyware/RegistryEntry.h"

class TLabel;
class TProgressBar;
class TListView;
struct TUrlCacheRecord;

// What a row names, as the scan found it: removal acts on exactly this, not on the row's text.
struct TSpyFinding {
    enum class TKind { None, Registry, File, Folder, Cookie };
    TKind Kind = TKind::None;
    TRegistryEntry Entry; // Registry: the entry as the definition wrote it
    TRegistryHit Hit;     // Registry: where it was present (Root null: nowhere)
    std::wstring Path;    // File, Folder
    std::wstring Expected; // File, Folder: the path it must resolve to when removed (see ExpectedPath)
    std::string CookieUrl; // Cookie: the source URL exactly as the URL cache gave it
    // The definition that named it and its risk, as the quarantine's manifest keeps them.
    std::wstring Definition;
    std::wstring Risk;
};

// Where the finding lives; nothing for a registry entry that is not present or a text naming nothing.
std::optional<TEntryPlace> PlaceOf(const TSpyFinding& finding);

class TSpyScan {
public:
    // The "M_SpywareScan" line shown while Repair runs, and the list view's column of the Entry text.
    static constexpr int kRepairTextLine = 15;
    static constexpr int kEntryColumn = 3;

    TSpyScan(const std::wstring& archivePath, const TWideStrings& texts);
    ~TSpyScan();

    int32_t Scan(TLabel& status, TProgressBar& progress, TListView& list);
    // Removes the checked rows' findings, except those that are, lie inside or hold an entry kept.
    int32_t Repair(TLabel& status, TProgressBar& progress, TListView& list, const TKeptEntries& kept = {});
    // What a row of the list names: the scan's finding, or the row's Entry text read back.
    TSpyFinding FindingOfRow(const TListView& list, int row) const;
    // The places of the rows the user unticked.
    std::vector<TEntryPlace> UntickedPlaces(const TListView& list) const;

    int32_t FirstDefinition = 0;
    std::unique_ptr<TZLBArchive> Archive;
    TWideStrings Texts;
    std::vector<TAnsiStrings> Definitions;
    TAnsiStrings CookieRules;
    TAnsiStrings MainLines;
    std::wstring ScanPrefix;
    std::wstring RepairPrefix;
    TStopFlag Stopped{0};
    int32_t RegistryImage = 0;
    int32_t CookieImage = 0;
    int32_t FileImage = 0;
    int32_t FolderImage = 0;
    int32_t RemovedImage = 0;
    // What the last Repair did with each checked row.
    TRepairReport LastRepair;
    // Where Repair keeps what it removes: the system's places unless a test puts its own in.
    TQuarantinePlaces Quarantine = SystemQuarantinePlaces();
    // The quarantine run the last Repair wrote (its name and folder), or why it could not write one, in
    // which case nothing was removed.
    std::wstring LastQuarantineRun;
    std::wstring LastQuarantineFolder;
    std::wstring LastQuarantineError;
    // The pacing of Repair's progress.
    TPause Pause = SystemPause();

private:
    std::wstring Text(int line) const;
    std::wstring CategoryText(const std::string& category) const;
    std::wstring RiskText(int32_t risk) const;
    int32_t ScanDefinitions(TLabel& status, TProgressBar& progress, TListView& list);
    int32_t ScanCookies(TLabel& status, TProgressBar& progress, TListView& list);
    void CheckCookie(const TUrlCacheRecord& record, TLabel& status, TListView& list);
    int32_t ApplyIgnoreList(TListView& list);
    // Processes pending messages, then says whether the scan goes on.
    bool KeepGoing();
    // Keeps the finding and returns the row data that names it.
    LPARAM Record(TSpyFinding finding);
    struct TRepairRow;
    // Moves the rows' files into a quarantine run, saves their registry entries in its undo file, and
    // removes the rest; each row's outcome goes into LastRepair.
    void RemoveRows(std::vector<TRepairRow>& rows);

    TAppFrame Folders_;
    std::vector<TSpyFinding> Findings_; // of the last scan; row data n names Findings_[n - 1]
};
