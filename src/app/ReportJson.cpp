#include "app/ReportJson.h"

#include "common/CodePage.h"

#include <nlohmann/json.hpp>

namespace {

using json = nlohmann::ordered_json;

// The version of the report's layout; a reader checks it before it relies on a field.
constexpr int kReportLayout = 1;

std::string Text(const std::wstring& text)
{
    return WideToUtf8(text);
}

json Texts(const TWideStrings& texts)
{
    json list = json::array();
    for (const std::wstring& text : texts)
        list.push_back(Text(text));
    return list;
}

json OrNull(const std::wstring& text)
{
    return text.empty() ? json(nullptr) : json(Text(text));
}

json Setting(const TSettingRecord& setting)
{
    json entry = {{"section", Text(setting.Rule->Section)}, {"key", Text(setting.Rule->Key)}};
    switch (setting.Rule->Type) {
    case TSettingType::Switch: entry["type"] = "switch"; entry["value"] = setting.On; break;
    case TSettingType::Number: entry["type"] = "number"; entry["value"] = setting.Number; break;
    case TSettingType::Text: entry["type"] = "text"; entry["value"] = Text(setting.Text); break;
    }
    const TSettingSource source = setting.Value.Source;
    entry["source"] = IsPolicy(source) ? "policy" : source == TSettingSource::MainIni ? "Main.ini" : "default";
    entry["policyScope"] = source == TSettingSource::MachinePolicy ? json("machine")
                           : source == TSettingSource::UserPolicy  ? json("user")
                                                                   : json(nullptr);
    return entry;
}

json Finding(const TFindingRecord& finding)
{
    json entry = {{"category", Text(finding.Category)},
                  {"text", Text(finding.Text)},
                  {"location", Text(finding.Location)}};
    entry["valueName"] = finding.ValueName ? json(Text(*finding.ValueName)) : json(nullptr);
    entry["size"] = finding.Size ? json(*finding.Size) : json(nullptr);
    entry["ticked"] = finding.Ticked;
    return entry;
}

std::wstring ItemReason(const TRepairReport::TItem& item)
{
    if (item.Outcome == TOutcome::Kept)
        return L"kept: unticked in " + item.List;
    return item.Reason.empty() ? OutcomeReason(item.Outcome) : item.Reason;
}

json Repair(const TScannerRecord& scanner)
{
    const TRepairReport& repair = scanner.Repair;
    json counts = json::object();
    for (int i = 0; i < kOutcomeCount; ++i)
        counts[OutcomeId(static_cast<TOutcome>(i))] = repair.Count(static_cast<TOutcome>(i));
    json items = json::array();
    for (const TRepairReport::TItem& item : repair.Items())
        items.push_back({{"item", Text(item.Text)},
                         {"outcome", OutcomeId(item.Outcome)},
                         {"reason", Text(ItemReason(item))}});
    json entry = {{"counts", counts}, {"items", items}};
    entry["undoFile"] = OrNull(scanner.UndoFile);
    entry["undoError"] = OrNull(scanner.UndoError);
    entry["quarantineRun"] = OrNull(scanner.QuarantineRun);
    entry["quarantineFolder"] = OrNull(scanner.QuarantineFolder);
    entry["quarantineError"] = OrNull(scanner.QuarantineError);
    return entry;
}

json Scanner(const TScannerRecord& scanner)
{
    json entry = {{"name", Text(scanner.Name)}, {"ran", scanner.Ran}};
    entry["notRunReason"] = OrNull(scanner.NotRunReason);
    entry["resultLine"] = Text(scanner.ResultLine);
    json findings = json::array();
    for (const TFindingRecord& finding : scanner.Findings)
        findings.push_back(Finding(finding));
    entry["findings"] = std::move(findings);
    entry["notes"] = Texts(scanner.Notes);
    entry["repair"] = scanner.Repair.Ran ? Repair(scanner) : json(nullptr);
    return entry;
}

json Summary(const TRunRecord& record)
{
    const TRunTotals totals = Totals(record);
    return {{"line", Text(SummaryLine(record))},
            {"scannersRun", totals.ScannersRun},
            {"scannersNotRun", totals.ScannersNotRun},
            {"found", totals.Found},
            {"repaired", totals.Repaired},
            {"removed", totals.Removed},
            {"scheduledForRestart", totals.Scheduled},
            {"left", totals.Left},
            {"kept", totals.Kept}};
}

} // namespace

const char* OutcomeId(TOutcome outcome)
{
    switch (outcome) {
    case TOutcome::Removed: return "removed";
    case TOutcome::AlreadyGone: return "alreadyGone";
    case TOutcome::InUse: return "inUse";
    case TOutcome::Scheduled: return "scheduled";
    case TOutcome::Refused: return "refused";
    case TOutcome::Failed: return "failed";
    case TOutcome::Pending: return "pending";
    case TOutcome::NotRemoved: return "notRemoved";
    case TOutcome::NotReached: return "notReached";
    case TOutcome::Kept: return "kept";
    }
    return "failed";
}

std::string ReportJson(const TRunRecord& record)
{
    json report;
    report["layout"] = kReportLayout;
    report["program"] = {{"name", "Quillmar Brisfold"}, {"version", Text(record.Version)}};
    report["command"] = Text(record.Command);
    report["computer"] = Text(record.Computer);
    report["user"] = Text(record.User);
    report["elevated"] = record.Elevated;
    report["interactiveUser"] = record.InteractiveUser;
    report["startTime"] = Text(IsoTime(record.Start));
    report["endTime"] = Text(IsoTime(record.End));
    report["status"] = record.Status;
    report["summary"] = Summary(record);
    json settings = json::array();
    for (const TSettingRecord& setting : record.Settings)
        settings.push_back(Setting(setting));
    report["settings"] = std::move(settings);
    report["policyProblems"] = Texts(record.PolicyProblems);
    report["errors"] = Texts(record.Errors);
    json scanners = json::array();
    for (const TScannerRecord& scanner : record.Scanners)
        scanners.push_back(Scanner(scanner));
    report["scanners"] = std::move(scanners);
    if (record.Restore)
        report["restore"] = {{"file", Text(record.Restore->File)},
                             {"keys", record.Restore->Keys},
                             {"values", record.Restore->Values},
                             {"failures", Texts(record.Restore->Failures)}};
    else
        report["restore"] = nullptr;
    if (record.Quarantine)
        report["quarantine"] = {{"arguments", Texts(record.Quarantine->Arguments)},
                                {"lines", Texts(record.Quarantine->Lines)}};
    else
        report["quarantine"] = nullptr;
    // The texts are valid UTF-8 already; the replacing handler keeps dump from throwing regardless.
    return report.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}
