#include "quarantine/Quarantine.h"

#include "common/ExpectedPath.h"
#include "common/FileFind.h"
#include "common/SafeDelete.h"
#include "common/TextCompare.h"
#include "quarantine/FolderTrust.h"
#include "quarantine/FolderWalk.h"
#include "quarantine/QuarantineRun.h"

#include <algorithm>

namespace {

constexpr ULONGLONG kDay = 24ULL * 60 * 60 * 10000000;

std::vector<std::wstring> StepsTo(const std::wstring& run)
{
    std::vector<std::wstring> steps(std::begin(kQuarantineSteps), std::end(kQuarantineSteps));
    if (!run.empty())
        steps.push_back(run);
    return steps;
}

const wchar_t* PlaceName(TQuarantinePlace place)
{
    return place == TQuarantinePlace::Machine ? L"the machine's quarantine" : L"the user's quarantine";
}

// A file a run makes: its manifest, its undo file, or an item's "<n>.quarantined".
bool IsRunFile(const std::wstring& name)
{
    if (name == kManifestName || (EndsWithText(name, L".reg") && name.find(L'\\') == std::wstring::npos))
        return true;
    const size_t dot = name.find(L'.');
    return dot > 0 && dot != std::wstring::npos && name.substr(dot) == L".quarantined" &&
           name.find_first_not_of(L"0123456789") == dot;
}

// Lists a folder; each entry with its name and attributes and size.
template <typename Use>
void ListFolder(const std::wstring& folder, Use use)
{
    WIN32_FIND_DATAW entry;
    TFindHandle find = FindFirstEntry(LongPathForm(JoinPath(folder, L"*")), entry);
    if (!find)
        return;
    do {
        if (!IsDotEntry(entry.cFileName))
            use(entry);
    } while (FindNextFileW(find.Get(), &entry));
}

void ReadRun(TRunEntry& run)
{
    ListFolder(run.Folder, [&](const WIN32_FIND_DATAW& entry) {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            run.Bytes += static_cast<ULONGLONG>(FindDataSize(entry));
    });
    std::wstring error;
    run.Readable = ReadManifest(JoinPath(run.Folder, kManifestName), run.Manifest, error);
    if (!run.Readable) {
        run.Problem = error;
        return;
    }
    const bool undoHeld = !run.Manifest.UndoFile.empty() &&
                          GetFileAttributesW(LongPathForm(JoinPath(run.Folder, run.Manifest.UndoFile)).c_str()) !=
                              INVALID_FILE_ATTRIBUTES;
    for (const TQuarantineItem& item : run.Manifest.Items) {
        const bool held = item.Kind == TItemKind::File
                              ? GetFileAttributesW(LongPathForm(JoinPath(run.Folder, item.PlaceName())).c_str()) !=
                                    INVALID_FILE_ATTRIBUTES
                              : (item.Kind == TItemKind::Key || item.Kind == TItemKind::Value) && undoHeld;
        if (held)
            run.Held.push_back(item.Number);
    }
}

} // namespace

bool TRunEntry::Holds(int number) const
{
    return std::find(Held.begin(), Held.end(), number) != Held.end();
}

bool TRestoreResult::AllRestored() const
{
    return Read && std::none_of(Items.begin(), Items.end(),
                                [](const TItemResult& item) { return item.Kind == TItemResult::TKind::NotRestored; });
}

TQuarantine::TQuarantine(TQuarantinePlaces places) : Places_(std::move(places)) {}

std::vector<TRunEntry> TQuarantine::Runs(std::vector<std::wstring>* problems) const
{
    std::vector<TRunEntry> runs;
    for (TQuarantinePlace place : {TQuarantinePlace::Machine, TQuarantinePlace::User}) {
        const std::wstring& base = Places_.Base(place);
        if (base.empty() || (place == TQuarantinePlace::User && SameText(base, Places_.MachineBase)))
            continue;
        const TFolderTrust trust = TFolderTrust::ForPlace(place);
        const TFolderWalk folder = WalkFolders(base, StepsTo(L""), {false, L"", &trust});
        if (folder.Status == TFolderWalk::TStatus::Missing)
            continue; // no run was ever made there
        if (!folder.Reached()) {
            if (problems)
                problems->push_back(std::wstring(PlaceName(place)) + L" cannot be read: " + folder.Reason);
            continue;
        }
        ListFolder(folder.Real, [&](const WIN32_FIND_DATAW& entry) {
            const std::optional<ULONGLONG> started = RunNameTime(entry.cFileName);
            if (!started || !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
                (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                return;
            TRunEntry run;
            run.Place = place;
            run.Name = entry.cFileName;
            run.Folder = JoinPath(folder.Real, entry.cFileName);
            run.Started = *started;
            runs.push_back(std::move(run));
        });
    }
    for (TRunEntry& run : runs)
        ReadRun(run);
    std::stable_sort(runs.begin(), runs.end(), [](const TRunEntry& a, const TRunEntry& b) {
        return a.Started != b.Started ? a.Started > b.Started : a.Name > b.Name;
    });
    return runs;
}

std::optional<TRunEntry> TQuarantine::FindRun(const std::wstring& name, std::wstring& problem) const
{
    std::vector<std::wstring> problems;
    std::vector<TRunEntry> runs = Runs(&problems);
    // The place this process removes into first, where one name is in both.
    const TQuarantinePlace preferred = Places_.PlaceForRemoval();
    std::stable_partition(runs.begin(), runs.end(), [&](const TRunEntry& run) { return run.Place == preferred; });
    for (TRunEntry& run : runs) {
        if (run.Name != name)
            continue;
        if (!run.Readable) {
            problem = L"the run " + name + L" cannot be read: " + run.Problem;
            return std::nullopt;
        }
        return std::move(run);
    }
    problem = L"there is no quarantine run " + name;
    for (const std::wstring& text : problems)
        problem += L"; " + text;
    return std::nullopt;
}

TPurgeResult TQuarantine::Delete(const TRunEntry& run) const
{
    TPurgeResult result;
    const TFolderTrust trust = TFolderTrust::ForPlace(run.Place);
    TFolderWalk folder = WalkFolders(Places_.Base(run.Place), StepsTo(run.Name), {false, L"", &trust});
    if (!folder.Reached()) {
        result.NotPurged.push_back(run.Name + L": " + folder.Reason);
        return result;
    }
    const std::wstring real = folder.Real;
    folder.Handle.Reset(); // the folder itself goes last, through the gate
    std::vector<std::wstring> names;
    ListFolder(real, [&](const WIN32_FIND_DATAW& entry) {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsRunFile(entry.cFileName))
            result.NotPurged.push_back(run.Name + L": " + JoinPath(real, entry.cFileName) +
                                       L" is not the quarantine's, so the run stays as it is");
        else
            names.push_back(entry.cFileName);
    });
    if (!result.NotPurged.empty())
        return result;
    // The manifest last: a run deleted half-way still says what it held.
    std::stable_partition(names.begin(), names.end(), [](const std::wstring& name) { return name != kManifestName; });
    for (const std::wstring& name : names) {
        const std::wstring path = JoinPath(real, name);
        const TOutcome outcome = DeleteFileSafe(LongPathForm(path), ExpectedChild(real, name.c_str()));
        if (!OutcomeDone(outcome))
            result.NotPurged.push_back(run.Name + L": " + path + L" (" + OutcomeName(outcome) + L")");
    }
    if (!result.NotPurged.empty())
        return result;
    const TOutcome outcome = RemoveFolderSafe(LongPathForm(real), real);
    if (OutcomeDone(outcome))
        ++result.Runs;
    else
        result.NotPurged.push_back(run.Name + L": " + real + L" (" + OutcomeName(outcome) + L")");
    return result;
}

TPurgeResult TQuarantine::Purge(int days) const
{
    TPurgeResult result;
    FILETIME now{};
    if (Places_.Now)
        now = Places_.Now();
    else
        GetSystemTimeAsFileTime(&now);
    const ULONGLONG age = static_cast<ULONGLONG>(days < 0 ? 0 : days) * kDay;
    std::vector<std::wstring> problems;
    for (const TRunEntry& run : Runs(&problems)) {
        if (run.Started + age >= FileTimeValue(now))
            continue;
        const TPurgeResult deleted = Delete(run);
        result.Runs += deleted.Runs;
        result.NotPurged.insert(result.NotPurged.end(), deleted.NotPurged.begin(), deleted.NotPurged.end());
    }
    result.NotPurged.insert(result.NotPurged.end(), problems.begin(), problems.end());
    return result;
}

std::wstring ItemStateText(const TRunEntry& run, const TQuarantineItem& item)
{
    if (item.Kind == TItemKind::Cookie)
        return item.Done ? L"removed, a tracking cookie cannot be restored" : L"a tracking cookie, not removed";
    if (item.Restored)
        return L"restored";
    if (item.Left)
        return L"not removed (" + item.LeftText + L")";
    if (item.Kind == TItemKind::Folder)
        return item.Done ? L"quarantined" : L"not removed";
    if (run.Holds(item.Number))
        return L"quarantined";
    return item.Done ? L"missing from the quarantine" : L"not removed";
}

ULONGLONG QuarantineBytes(const std::vector<TRunEntry>& runs)
{
    ULONGLONG bytes = 0;
    for (const TRunEntry& run : runs)
        bytes += run.Bytes;
    return bytes;
}
