// Repair: deletes what the checked rows name, from their typed findings, after writing the undo file.
#include "common/Registry.h"
#include "common/SafeDelete.h"
#include "registry/RegistryScan.h"
#include "registry/UndoFile.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/MessagePump.h"
#include "ui/ProgressBar.h"

#include <algorithm>
#include <map>
#include <optional>
#include <tuple>

namespace {

// Hive locations name the key itself: nothing may be redirected on the way there. In a 64-bit program
// that is no view flag at all (and a flag would make Wine bypass a redirected HKEY_CLASSES_ROOT).
constexpr REGSAM kNoRedirect = 0;

struct TPlace {
    HKEY Root = nullptr;
    std::wstring Path;
    REGSAM View = 0;
};

// Where the finding's key lives; the place it was read in while that is unknown. A 32-bit view's key
// of unknown place cannot be named in an undo file: no place then.
std::optional<TPlace> HivePlace(const TRegFinding& finding)
{
    if (finding.HiveRoot)
        return TPlace{finding.HiveRoot, finding.HivePath, kNoRedirect};
    if (finding.View == KEY_WOW64_32KEY)
        return std::nullopt;
    return TPlace{finding.Root, finding.KeyPath, finding.View};
}

std::wstring RowText(const TRegFinding& finding)
{
    if (finding.Kind == TFindingKind::Key)
        return finding.KeyText;
    return finding.KeyText + (finding.ValueName.empty() ? L", default value" : L", value \"" + finding.ValueName + L"\"");
}

// The row of a checked item: its finding and, when it is settled before anything is deleted, its outcome.
struct TRowPlan {
    int Row = 0;
    const TRegFinding* Finding = nullptr;
    std::wstring Text;
    std::optional<TOutcome> Settled;
    std::wstring Reason; // why it was settled so, where that says more than the outcome
    const std::wstring* KeptBy = nullptr; // the list that keeps it
};

std::optional<TOutcome> FromExport(TExportResult result)
{
    switch (result) {
    case TExportResult::Added:
        return std::nullopt;
    case TExportResult::Missing:
        return TOutcome::AlreadyGone;
    case TExportResult::Unwritable:
        return TOutcome::Refused;
    case TExportResult::Unreadable:
        break;
    }
    return TOutcome::Failed;
}

} // namespace

TOutcome TScanRegistry::RemoveFinding(const TRegFinding& finding)
{
    const std::optional<TPlace> place = HivePlace(finding);
    if (!place)
        return TOutcome::Refused;
    if (finding.Kind == TFindingKind::Key)
        return DeleteRegTreeSafe(place->Root, place->Path, place->View, TLinkPolicy::Refuse);
    return DeleteRegValueSafe(place->Root, place->Path, finding.ValueName, place->View);
}

std::optional<TEntryPlace> TScanRegistry::PlaceOf(const TRegFinding& finding)
{
    const std::optional<TPlace> place = HivePlace(finding);
    if (!place)
        return std::nullopt;
    return RegistryPlace(place->Root, place->Path, place->View,
                         finding.Kind == TFindingKind::Value ? std::optional(finding.ValueName) : std::nullopt);
}

std::vector<TEntryPlace> TScanRegistry::UntickedPlaces(const TListView& list) const
{
    std::vector<TEntryPlace> places;
    for (int row = 0; row < list.Count(); ++row)
        if (!list.Checked(row))
            if (const TRegFinding* finding = Recorder.RowFinding(list, row))
                if (auto place = PlaceOf(*finding))
                    places.push_back(std::move(*place));
    return places;
}

void TScanRegistry::Repair(TListView& list, TLabel& status, TProgressBar& progress, TWideStrings& repairLog,
                           const TKeptEntries& kept)
{
    LastRepair.Clear();
    LastRepair.Ran = true;
    LastUndoFile.clear();
    LastUndoError.clear();

    const int count = list.Count();
    progress.SetPosition(0);
    progress.SetMin(0);
    progress.SetMax(count);
    status.SetCaption(L"");
    status.SetCaption(RepairPrefix);
    if (BackupEnabled == 1)
        repairLog.insert(repairLog.end(), BackupLines().begin(), BackupLines().end());

    // Everything a checked row would delete goes into the undo file first. A row is refused when the
    // gate would refuse it (a link on the way, or for a key anywhere in it: a link cannot be brought
    // back), or when a name in it cannot be written.
    std::vector<TRowPlan> plan;
    TUndoWriter undo;
    // Rows often share a key: the gate is asked once per key and kind of deletion. Nothing changes in
    // the registry while the plan is made.
    std::map<std::tuple<HKEY, std::wstring, REGSAM, TRegDeletion>, std::optional<TOutcome>> gateAnswers;
    const auto blocked = [&gateAnswers](const TPlace& place, TRegDeletion what) {
        auto key = std::make_tuple(place.Root, place.Path, place.View, what);
        auto found = gateAnswers.find(key);
        if (found == gateAnswers.end())
            found = gateAnswers.emplace(std::move(key), RegDeletionBlocked(place.Root, place.Path, place.View, what)).first;
        return found->second;
    };
    for (int row = 0; row < count; ++row) {
        if (!list.Checked(row))
            continue;
        TRowPlan entry{row, Recorder.RowFinding(list, row)};
        if (!entry.Finding) {
            entry.Text = list.SubItem(row, 1);
            entry.Settled = TOutcome::Refused; // not a row of this scan: nothing is known to delete
            entry.Reason = L"not a finding of this scan";
            plan.push_back(std::move(entry));
            continue;
        }
        const TRegFinding& finding = *entry.Finding;
        entry.Text = RowText(finding);
        const std::optional<TPlace> place = HivePlace(finding);
        const TRegDeletion what = finding.Kind == TFindingKind::Key ? TRegDeletion::Tree : TRegDeletion::Value;
        if (!kept.Empty())
            if (const auto where = PlaceOf(finding))
                entry.KeptBy = kept.KeptBy(*where);
        if (entry.KeptBy)
            entry.Settled = TOutcome::Kept; // not in the undo file: nothing of it is deleted
        else if (!place) {
            entry.Settled = TOutcome::Refused;
            entry.Reason = L"where the key lives is unknown, so an undo file could not name it";
        } else if (const std::optional<TOutcome> answer = blocked(*place, what)) {
            entry.Settled = *answer;
            if (*answer == TOutcome::Refused)
                entry.Reason = L"a registry link is on the way to the key or in it; a link cannot be brought back";
        } else if (finding.Kind == TFindingKind::Key) {
            entry.Settled = FromExport(undo.AddKeyTree(place->Root, place->Path));
        } else {
            entry.Settled = FromExport(undo.AddValue(place->Root, place->Path, finding.ValueName));
        }
        if (entry.Settled == TOutcome::Refused && entry.Reason.empty())
            entry.Reason = L"a name in it cannot be written into the undo file";
        plan.push_back(std::move(entry));
    }
    // Nothing is deleted that the undo file could not bring back.
    if (!undo.Empty() && !WriteUndoFile(BackupFolder(), undo.Text(), LastUndoFile, LastUndoError))
        for (TRowPlan& entry : plan)
            if (!entry.Settled) {
                entry.Settled = TOutcome::Failed;
                entry.Reason = L"no undo file, so nothing was deleted: " + LastUndoError;
            }

    // Ten opening steps, then a pause only where a row moves the bar (at most 101 positions), so that
    // ten thousand rows are not paced one by one.
    constexpr int kOpeningSteps = 10;
    TPacedSteps pacing(Pause, kOpeningSteps + std::min(count, 101));
    for (int k = 0; k < kOpeningSteps; ++k) {
        ProcessMessages();
        progress.SetPosition(progress.Position() + 10);
        pacing.Step(150);
    }
    size_t next = 0;
    int shown = -1;
    for (int row = 0; row < count; ++row) {
        ProcessMessages();
        const int position = count != 1 ? row * 100 / (count - 1) : 100;
        if (count != 1 && position != progress.Position())
            progress.SetPosition(position);
        if (position != shown) {
            shown = position;
            pacing.Step(10);
        }
        if (next == plan.size() || plan[next].Row != row)
            continue;
        const TRowPlan& entry = plan[next++];
        if (entry.KeptBy) {
            LastRepair.Keep(entry.Text, *entry.KeptBy);
            continue;
        }
        LastRepair.Add(entry.Text, entry.Settled ? *entry.Settled : Hooks.Remove(*entry.Finding), entry.Reason);
    }
    progress.SetMax(100);
}
