// Repair: every checked row's finding goes into a quarantine run before it is removed, so that the
// removal can be undone. Files are moved into the run, registry entries saved in its undo file;
// tracking cookies are removed from the URL cache and cannot be restored.
#include "spyware/SpywareScan.h"

#include "common/CodePage.h"
#include "common/Kelvor_Routine.h"
#include "common/SafeDelete.h"
#include "common/UrlCache.h"
#include "quarantine/QuarantineRun.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/MessagePump.h"
#include "ui/ProgressBar.h"

#include <algorithm>

struct TSpyScan::TRepairRow {
    int Row = 0;
    TSpyFinding Finding;
    std::wstring Text; // the row's Entry, as the report names it
    TQuarantineRun::TPlan Plan;
};

namespace {

// What the quarantine takes of one finding; a finding whose outcome is plain already is settled.
TQuarantineRun::TPlan PlanFinding(TQuarantineRun& run, const TSpyFinding& finding)
{
    const TItemOrigin origin{finding.Definition, finding.Risk};
    switch (finding.Kind) {
    case TSpyFinding::TKind::Registry:
        if (!finding.Hit.Root)
            return {0, TOutcome::AlreadyGone, {}};
        return run.AddRegistry(finding.Hit.Root, finding.Hit.SubKey,
                               finding.Entry.IsValue ? &finding.Entry.ValueName : nullptr, finding.Hit.Display, origin);
    case TSpyFinding::TKind::File:
        // A file in use is left in place (the gate says so); a read-only one goes.
        return run.AddFile(finding.Path, finding.Expected, origin);
    case TSpyFinding::TKind::Folder:
        return run.AddFolder(finding.Path, finding.Expected, origin);
    case TSpyFinding::TKind::Cookie:
        return run.AddCookie(AnsiToWide(finding.CookieUrl), origin);
    case TSpyFinding::TKind::None:
        break;
    }
    // Any other text names nothing this scanner knows how to remove.
    return {0, TOutcome::Refused, {}};
}

} // namespace

int32_t TSpyScan::Repair(TLabel& status, TProgressBar& progress, TListView& list, const TKeptEntries& kept)
{
    status.SetCaption(Text(kRepairTextLine));
    LastRepair.Clear();
    LastRepair.Ran = true;
    LastQuarantineRun.clear();
    LastQuarantineFolder.clear();
    LastQuarantineError.clear();
    // Bottom-up: cookies first, and within a definition its folders before its files before its keys.
    std::vector<TRepairRow> rows;
    for (int row = list.Count() - 1; row >= 0; --row) {
        if (!list.Checked(row))
            continue;
        TRepairRow entry{row, FindingOfRow(list, row), list.SubItem(row, kEntryColumn), {}};
        // What another list keeps is neither quarantined nor removed.
        if (const auto place = PlaceOf(entry.Finding); place && !kept.Empty())
            if (const std::wstring* keptBy = kept.KeptBy(*place)) {
                LastRepair.Keep(entry.Text, *keptBy);
                continue;
            }
        rows.push_back(std::move(entry));
    }
    if (!rows.empty())
        RemoveRows(rows);
    for (const TRepairRow& row : rows)
        list.SetImageIndex(row.Row, RemovedImage);
    TPacedSteps pacing(Pause, 10);
    for (int k = 0; k < 10; ++k) {
        ProcessMessages();
        progress.SetPosition(k * 100 / 10);
        pacing.Step(100);
    }
    return static_cast<int32_t>(rows.size());
}

void TSpyScan::RemoveRows(std::vector<TRepairRow>& rows)
{
    TQuarantineRun run(Quarantine);
    // Nothing is removed that the quarantine could not bring back.
    std::optional<std::wstring> refused = run.Begin();
    if (!refused) {
        for (TRepairRow& row : rows)
            row.Plan = PlanFinding(run, row.Finding);
        refused = run.Commit();
    }
    if (refused) {
        LastQuarantineError = *refused;
        for (const TRepairRow& row : rows)
            LastRepair.Add(row.Text, row.Plan.Settled.value_or(TOutcome::Failed),
                           row.Plan.Settled ? row.Plan.Reason : *refused);
        return;
    }
    if (run.Committed()) {
        LastQuarantineRun = run.Name();
        LastQuarantineFolder = run.Folder();
    }
    // A folder that still held a listed file is tried once more when the files are gone, deepest first.
    std::vector<const TRepairRow*> heldFolders;
    for (const TRepairRow& row : rows) {
        if (!run.KeepGoing())
            return; // stopped as if the program had ended: the manifest tells what was done
        if (row.Plan.Settled) {
            LastRepair.Add(row.Text, *row.Plan.Settled, row.Plan.Reason);
            continue;
        }
        const TSpyFinding& finding = row.Finding;
        const int number = row.Plan.Number;
        std::wstring reason;
        TOutcome outcome = TOutcome::Refused;
        switch (finding.Kind) {
        case TSpyFinding::TKind::File:
            outcome = run.MoveFile(number, reason); // marks the manifest itself
            LastRepair.Add(row.Text, outcome, reason);
            continue;
        case TSpyFinding::TKind::Folder:
            outcome = RemoveFolderSafe(finding.Path, finding.Expected);
            if (outcome == TOutcome::Failed) {
                heldFolders.push_back(&row);
                continue;
            }
            break;
        case TSpyFinding::TKind::Registry: outcome = DeleteRegistryHit(finding.Hit, finding.Entry); break;
        case TSpyFinding::TKind::Cookie: outcome = DeleteUrlCacheRecord(finding.CookieUrl); break;
        case TSpyFinding::TKind::None: break;
        }
        run.Record(number, outcome);
        LastRepair.Add(row.Text, outcome);
    }
    std::stable_sort(heldFolders.begin(), heldFolders.end(), [](const TRepairRow* a, const TRepairRow* b) {
        return a->Finding.Path.size() > b->Finding.Path.size();
    });
    for (const TRepairRow* row : heldFolders) {
        const TOutcome outcome = RemoveFolderSafe(row->Finding.Path, row->Finding.Expected);
        run.Record(row->Plan.Number, outcome);
        LastRepair.Add(row->Text, outcome);
    }
}
