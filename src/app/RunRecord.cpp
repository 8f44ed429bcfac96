#include "app/RunRecord.h"

#include "app/ResultRows.h"
#include "app/ScanRun.h"
#include "app/Unit2.h"
#include "common/Kelvor_Routine.h"
#include "common/RunAccount.h"
#include "common/SystemFolders.h"
#include "common/TextCompare.h"
#include "junk/TempFileThread.h"
#include "privacy/PrivacyCategories.h"
#include "privacy/PrivacyScanner.h"
#include "registry/RegFinding.h"
#include "registry/RegistryScan.h"
#include "spyware/SpywareScan.h"

#include <BrisfoldVersion.h>

#include <cwchar>

namespace {

// The reason a per-user row gives when the program runs without an interactive user.
const wchar_t kNoInteractiveUser[] = L"no interactive user";
// The columns of the two findings lists.
constexpr int kSpyDescriptionColumn = 1;
constexpr int kSpyEntryColumn = 3;
constexpr int kRegKeyColumn = 1;
constexpr int kRegValueColumn = 2;
constexpr int kRegDataColumn = 3;
// A summary line names an error by its first line, and no more of it than this.
constexpr size_t kMaxErrorInSummary = 200;

std::optional<int64_t> FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

std::vector<TFindingRecord> SpywareFindings(const TSpyScan& scanner, const TListView& list)
{
    std::vector<TFindingRecord> findings;
    for (int row = 0; row < list.Count(); ++row) {
        TFindingRecord finding{TrimText(list.Caption(row)), list.SubItem(row, kSpyDescriptionColumn),
                               list.SubItem(row, kSpyEntryColumn), std::nullopt, std::nullopt, list.Checked(row)};
        if (scanner.FindingOfRow(list, row).Kind == TSpyFinding::TKind::File)
            finding.Size = FileSize(scanner.FindingOfRow(list, row).Path);
        findings.push_back(std::move(finding));
    }
    return findings;
}

std::vector<TFindingRecord> RegistryFindings(const TListView& list)
{
    std::vector<TFindingRecord> findings;
    for (int row = 0; row < list.Count(); ++row) {
        TFindingRecord finding{TrimText(list.Caption(row)), list.SubItem(row, kRegDataColumn),
                               list.SubItem(row, kRegKeyColumn), std::nullopt, std::nullopt, list.Checked(row)};
        const std::wstring value = list.SubItem(row, kRegValueColumn);
        if (value != kWholeKey)
            finding.ValueName = value;
        findings.push_back(std::move(finding));
    }
    return findings;
}

std::vector<TFindingRecord> PrivacyFindings(const TPrivacyScanner& scanner)
{
    std::vector<TFindingRecord> findings;
    for (const TPrivacyItem& item : scanner.Findings.Items()) {
        TFindingRecord finding{CategoryPathName(item.Category), item.Line, item.Path, std::nullopt, std::nullopt, true};
        switch (item.Kind) {
        case TPrivacyItemKind::Key:
        case TPrivacyItemKind::Value:
            finding.Location = L"HKEY_CURRENT_USER" + item.Key;
            if (item.Kind == TPrivacyItemKind::Value)
                finding.ValueName = item.ValueName;
            break;
        case TPrivacyItemKind::File:
        case TPrivacyItemKind::FolderEntry:
        case TPrivacyItemKind::CacheEntry:
            finding.Size = item.Size;
            break;
        case TPrivacyItemKind::Database:
            break;
        }
        findings.push_back(std::move(finding));
    }
    return findings;
}

// The junk finding's kind: the two classic areas by name, a switch of today's Windows by its Main.ini key.
std::wstring JunkAreaName(TJunkArea area)
{
    if (area == TJunkArea::Cache)
        return L"Internet cache";
    const int index = JunkSwitchIndex(area);
    if (index >= 0 && index < kJunkSwitchCount)
        return kJunkSwitches[index].Key;
    return L"Temporary files";
}

std::vector<TFindingRecord> JunkFindings(const TempThread& junk)
{
    std::vector<TFindingRecord> findings;
    for (size_t i = 0; i < junk.Listed.size(); ++i) {
        const TJunkArea area = i < junk.ListedArea.size() ? junk.ListedArea[i] : TJunkArea::Temp;
        const int64_t size = i < junk.ListedSize.size() ? junk.ListedSize[i] : 0;
        findings.push_back({JunkAreaName(area), junk.Listed[i], junk.Listed[i], std::nullopt, size, true});
    }
    if (junk.RecycleBytes > 0)
        findings.push_back({L"Recycle bin", L"Recycle bin " + junk.Places.RecycleDrive, junk.RecycleFolder,
                            std::nullopt, junk.RecycleBytes, true});
    return findings;
}

// The first line of an error, short enough for a summary line.
std::wstring FirstLine(const std::wstring& text)
{
    std::wstring line = TrimText(text.substr(0, text.find_first_of(L"\r\n")));
    if (line.size() > kMaxErrorInSummary)
        line = line.substr(0, kMaxErrorInSummary) + L"...";
    return line;
}

std::wstring Plural(int64_t count, const wchar_t* one, const wchar_t* many)
{
    return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

} // namespace

std::wstring IsoTime(const SYSTEMTIME& utc)
{
    wchar_t text[32];
    std::swprintf(text, std::size(text), L"%04u-%02u-%02uT%02u:%02u:%02uZ", utc.wYear, utc.wMonth, utc.wDay, utc.wHour,
                  utc.wMinute, utc.wSecond);
    return text;
}

TRunRecord BeginRecord(const std::wstring& command)
{
    TRunRecord record;
    GetSystemTime(&record.Start);
    record.End = record.Start;
    record.Command = command;
    record.Version = L"" BRISFOLD_VERSION_TEXT;
    record.Computer = ComputerName();
    record.User = UserName();
    record.Elevated = ProcessIsElevated();
    return record;
}

void RecordSettings(TRunRecord& record, const TSettings& settings)
{
    record.Settings.clear();
    for (const TSettingRule& rule : kSettingRules) {
        TSettingRecord setting{&rule, settings.Value(rule)};
        switch (rule.Type) {
        case TSettingType::Switch: setting.On = settings.SwitchOn(rule); break;
        case TSettingType::Number: setting.Number = settings.Number(rule); break;
        case TSettingType::Text: setting.Text = setting.Value.Text; break;
        }
        // The privacy selection the scan takes: completed to every category, its defaults when none is set.
        if (SameText(rule.Section, kPrivacySection))
            setting.Text = setting.Text.empty() ? DefaultPrivacySelection() : CompletedPrivacySelection(setting.Text);
        record.Settings.push_back(std::move(setting));
    }
    record.PolicyProblems = settings.PolicyProblems();
}

void RecordScan(TRunRecord& record, const TScanRun& run, TW_Details& details)
{
    record.Scanners.clear();
    record.InteractiveUser = !(run.NoInteractiveUser && run.NoInteractiveUser());
    for (int row = 0; row < kRowCount; ++row) {
        TScannerRecord scanner;
        scanner.Name = kResultRows[static_cast<size_t>(row)].Title;
        const TResultLine& line = run.Lines[static_cast<size_t>(row)];
        scanner.ResultLine = line.Shown ? line.Text : L"";
        if (run.NotRun[static_cast<size_t>(row)]) {
            scanner.NotRunReason = kNoInteractiveUser;
            record.Scanners.push_back(std::move(scanner));
            continue;
        }
        switch (row) {
        case kSpywareRow:
            scanner.Ran = run.SpyScanner != nullptr;
            if (scanner.Ran)
                scanner.Findings = SpywareFindings(*run.SpyScanner, details.SpyListView);
            break;
        case kRegistryRow:
            scanner.Ran = run.RegScanner != nullptr;
            if (scanner.Ran)
                scanner.Findings = RegistryFindings(details.RegListView);
            break;
        case kPrivacyRow:
            scanner.Ran = run.PrivScanner != nullptr;
            if (scanner.Ran) {
                scanner.Findings = PrivacyFindings(*run.PrivScanner);
                scanner.Notes = run.PrivScanner->Findings.Notes();
            }
            break;
        case kJunkRow:
            scanner.Ran = run.JunkThread != nullptr;
            if (scanner.Ran)
                scanner.Findings = JunkFindings(*run.JunkThread);
            break;
        default:
            break;
        }
        record.Scanners.push_back(std::move(scanner));
    }
}

void RecordRepair(TRunRecord& record, const TScanRun& run)
{
    for (int row = 0; row < kRowCount && row < static_cast<int>(record.Scanners.size()); ++row) {
        TScannerRecord& scanner = record.Scanners[static_cast<size_t>(row)];
        const TResultLine& line = run.Lines[static_cast<size_t>(row)];
        scanner.ResultLine = line.Shown ? line.Text : L"";
        if (const TRepairReport* repair = run.LastRepair(row))
            scanner.Repair = *repair;
        if (row == kRegistryRow && run.RegScanner) {
            scanner.UndoFile = run.RegScanner->LastUndoFile;
            scanner.UndoError = run.RegScanner->LastUndoError;
        }
        if (row == kSpywareRow && run.SpyScanner) {
            scanner.QuarantineRun = run.SpyScanner->LastQuarantineRun;
            scanner.QuarantineFolder = run.SpyScanner->LastQuarantineFolder;
            scanner.QuarantineError = run.SpyScanner->LastQuarantineError;
        }
    }
}

TRunTotals Totals(const TRunRecord& record)
{
    TRunTotals totals;
    for (const TScannerRecord& scanner : record.Scanners) {
        if (!scanner.Ran) {
            totals.ScannersNotRun += scanner.NotRunReason.empty() ? 0 : 1;
            continue;
        }
        ++totals.ScannersRun;
        totals.Found += static_cast<int64_t>(scanner.Findings.size());
        if (!scanner.Repair.Ran)
            continue;
        totals.Repaired = true;
        for (const TRepairReport::TItem& item : scanner.Repair.Items()) {
            if (item.Outcome == TOutcome::Scheduled)
                ++totals.Scheduled;
            else if (item.Outcome == TOutcome::Kept)
                ++totals.Kept;
            else if (OutcomeDone(item.Outcome))
                ++totals.Removed;
            else
                ++totals.Left;
        }
    }
    return totals;
}

std::wstring SummaryLine(const TRunRecord& record)
{
    std::wstring text;
    if (record.Restore) {
        const TRestoreRecord& restore = *record.Restore;
        text = L"restored " + Plural(restore.Keys, L"key", L"keys") + L" and " +
               Plural(restore.Values, L"value", L"values") + L" from " + restore.File;
        if (!restore.Failures.empty())
            text += L", " + std::to_wstring(restore.Failures.size()) + L" not restored";
    } else if (record.Quarantine) {
        text = L"quarantine";
        for (const std::wstring& word : record.Quarantine->Arguments)
            text += L" " + word;
    } else if (!record.Scanners.empty()) {
        const TRunTotals totals = Totals(record);
        text = Plural(totals.ScannersRun, L"scanner", L"scanners") + L" found " +
               Plural(totals.Found, L"item", L"items");
        if (totals.Repaired) {
            text += L", " + std::to_wstring(totals.Removed) + L" removed";
            if (totals.Scheduled)
                text += L", " + std::to_wstring(totals.Scheduled) + L" at the next restart";
            text += L", " + std::to_wstring(totals.Left) + L" left";
            if (totals.Kept)
                text += L", " + std::to_wstring(totals.Kept) + L" kept as unticked";
        }
        if (totals.ScannersNotRun)
            text += L", " + std::to_wstring(totals.ScannersNotRun) + L" not run (" + kNoInteractiveUser + L")";
    } else if (record.Command == L"scan" || record.Command == L"repair") {
        text = L"no scan was run";
    }
    if (!record.Errors.empty())
        text += (text.empty() ? L"" : L": ") + FirstLine(record.Errors.front());
    return L"Brisfold: " + text + L" (status " + std::to_wstring(record.Status) + L")";
}
