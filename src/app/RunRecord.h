#pragma once
// What one console command did, gathered once: the JSON report is written from it and the summary line
// counts from it, so that the two cannot tell different stories.
#include "common/RepairOutcome.h"
#include "common/Settings.h"
#include "common/Types.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TScanRun;
class TW_Details;

struct TFindingRecord {
    std::wstring Category; // the kind of finding ("Adware", a registry check, a privacy category)
    std::wstring Text;     // what the details window shows for it
    std::wstring Location; // its path, or its registry key
    std::optional<std::wstring> ValueName; // a registry value's name (empty: the key's default value)
    std::optional<int64_t> Size; // bytes, where the finding is a file (or the recycle bin)
    bool Ticked = true;    // left ticked for the repair
};

struct TScannerRecord {
    std::wstring Name;
    bool Ran = false;
    std::wstring NotRunReason; // why it did not run ("no interactive user"); empty when it ran
    std::wstring ResultLine;   // as the main window shows it
    std::vector<TFindingRecord> Findings;
    // With /repair: what became of each item (Ran set when the scanner's repair ran).
    TRepairReport Repair;
    // The registry fixer's undo file, or why it wrote none.
    std::wstring UndoFile;
    std::wstring UndoError;
    // The spyware removal's quarantine run and its folder, or why there was no quarantine.
    std::wstring QuarantineRun;
    std::wstring QuarantineFolder;
    std::wstring QuarantineError;
    // Lines the scanner adds after its findings (folders it refused, keep-list entries ignored).
    TWideStrings Notes;
};

struct TSettingRecord {
    const TSettingRule* Rule = nullptr;
    TSettingValue Value;
    // The value as the scanners take it: a switch on or off, a number, a text.
    bool On = false;
    int Number = 0;
    std::wstring Text;
};

struct TRestoreRecord {
    std::wstring File;
    int Keys = 0;
    int Values = 0;
    TWideStrings Failures;
};

// "/quarantine ...": its words and the lines it printed (the runs and items listed, restored or purged).
struct TQuarantineRecord {
    TWideStrings Arguments;
    TWideStrings Lines;
};

struct TRunRecord {
    std::wstring Command; // "scan", "repair", "restore" or "quarantine"
    std::wstring Version;
    std::wstring Computer;
    std::wstring User;
    bool Elevated = false;
    bool InteractiveUser = true;
    SYSTEMTIME Start{};
    SYSTEMTIME End{};
    std::vector<TSettingRecord> Settings;
    TWideStrings PolicyProblems;
    std::vector<TScannerRecord> Scanners;
    TWideStrings Errors;
    std::optional<TRestoreRecord> Restore;
    std::optional<TQuarantineRecord> Quarantine;
    int Status = 0;
};

// The record of a command that starts now: program, machine, user and start time.
TRunRecord BeginRecord(const std::wstring& command);
// Every setting of the table as it takes effect, and the policy values that were ignored.
void RecordSettings(TRunRecord& record, const TSettings& settings);
// The scanners' findings after a scan, from the run and the details window's lists.
void RecordScan(TRunRecord& record, const TScanRun& run, TW_Details& details);
// Each scanner's repair report after a repair (and the registry fixer's undo file).
void RecordRepair(TRunRecord& record, const TScanRun& run);

struct TRunTotals {
    int ScannersRun = 0;
    int ScannersNotRun = 0;
    int64_t Found = 0;
    int64_t Removed = 0;   // removed, or already gone
    int64_t Scheduled = 0; // deleted at the next restart
    int64_t Left = 0;      // in use, refused, failed, ... : still there
    int64_t Kept = 0;      // left because the user unticked it (or what holds it or lies in it) in a list
    bool Repaired = false;
};
TRunTotals Totals(const TRunRecord& record);

// The one line fleet tools read: "Brisfold: 3 scanners found 147 items, 142 removed, 5 left (status 3)".
std::wstring SummaryLine(const TRunRecord& record);

// ISO 8601 in UTC: "2024-05-06T07:08:09Z".
std::wstring IsoTime(const SYSTEMTIME& utc);
