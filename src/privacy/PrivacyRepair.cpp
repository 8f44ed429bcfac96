#include "privacy/PrivacyScanner.h"

#include "common/CodePage.h"
#include "common/Handles.h"
#include "common/Kelvor_Routine.h"
#include "common/SafeDelete.h"
#include "common/TextCompare.h"
#include "common/UrlCache.h"
#include "privacy/BrowserCleaning.h"
#include "privacy/BrowserPlaces.h"
#include "privacy/BrowserTraces.h"
#include "privacy/Processes.h"
#include "privacy/RestartDeletion.h"
#include "ui/Label.h"
#include "ui/MessagePump.h"
#include "ui/ProgressBar.h"

#include <windows.h>

#include <algorithm>

// What the repair asks of the machine once, before the first item.
struct TPrivacyScanner::TRepairState {
    TWideStrings Processes;
    bool FirefoxRuns = false;

    bool Runs(const TBrowserOwner& owner) const
    {
        if (owner.Process.empty())
            return false;
        return ProcessListHolds(Processes, owner.Process) || (!owner.LockFile.empty() && LockFileHeld(owner.LockFile));
    }
};

void TPrivacyScanner::Repair(TLabel& status, TProgressBar& progress, const TKeptEntries& kept)
{
    PendingDeletes.clear();
    PendingCount = 0;
    LastRepair.Clear();
    LastRepair.Ran = true;
    TRepairState state;
    state.Processes = GetProcessNames();
    state.FirefoxRuns = FirefoxRuns();
    progress.SetPosition(0);
    progress.SetMin(0);
    progress.SetStep(1);

    const std::vector<TPrivacyItem>& items = Findings.Items();
    // A database item is reported by its line, which says what it removes; SQLite's message follows
    // when it failed.
    const auto repairText = [](const TPrivacyItem& item, const std::wstring& message) {
        const std::wstring text = item.Kind == TPrivacyItemKind::Database ? item.Line : item.Path;
        return message.empty() ? text : text + L": " + message;
    };
    // What the user keeps is settled first, so that neither a stop nor the cookie pass below touches it.
    std::vector<const std::wstring*> keptBy(items.size(), nullptr);
    if (!kept.Empty())
        for (size_t k = 0; k < items.size(); ++k)
            if (const auto place = PrivacyItemPlace(items[k]))
                keptBy[k] = kept.KeptBy(*place);
    size_t i = 0;
    for (; i < items.size(); ++i) {
        if (keptBy[i]) {
            LastRepair.Keep(repairText(items[i], {}), *keptBy[i]);
            continue;
        }
        status.SetCaption(RepairPrefix + LastPathComponent(items[i].Path));
        if (i > 1)
            progress.SetPosition(static_cast<int>(i * 100 / (items.size() - 1)));
        if (!KeepGoing())
            break;
        // Cache entries leave through the cache below, which also deletes their files.
        if (items[i].Kind != TPrivacyItemKind::CacheEntry) {
            std::wstring message;
            const TOutcome outcome = RepairItem(items[i], state, message);
            LastRepair.Add(repairText(items[i], message), outcome, message);
        }
    }
    // What a stop left untouched is still there, and the report says so.
    for (; i < items.size(); ++i) {
        if (keptBy[i])
            LastRepair.Keep(repairText(items[i], {}), *keptBy[i]);
        else if (items[i].Kind != TPrivacyItemKind::CacheEntry)
            LastRepair.Add(repairText(items[i], {}), TOutcome::Refused, L"the repair was stopped before it");
    }
    // The cache entries are cleared even after a stop, each by the exact 8-bit URL that the cache returned.
    for (size_t k = 0; k < items.size(); ++k)
        if (items[k].Kind == TPrivacyItemKind::CacheEntry && !keptBy[k])
            LastRepair.Add(AnsiToWide(items[k].Url), DeleteUrlCacheRecord(items[k].Url));
    progress.SetPosition(100);
}

TOutcome TPrivacyScanner::RepairItem(const TPrivacyItem& item, const TRepairState& state, std::wstring& message)
{
    switch (item.Kind) {
    // The gate refuses the root itself and a link at any step or, for a key, anywhere in it.
    case TPrivacyItemKind::Key:
        return DeleteRegTreeSafe(HKEY_CURRENT_USER, item.Key);
    case TPrivacyItemKind::Value:
        return DeleteRegValueSafe(HKEY_CURRENT_USER, item.Key, item.ValueName);
    case TPrivacyItemKind::FolderEntry:
        // A one-level listing shows its sub-folders; the clean-up deletes files only.
        return TOutcome::Refused;
    case TPrivacyItemKind::CacheEntry:
        return DeleteUrlCacheRecord(item.Url);
    case TPrivacyItemKind::Database:
        return RepairDatabase(item, state, message);
    case TPrivacyItemKind::File:
        break;
    }
    if (!item.Owner.Process.empty())
        return RepairBrowserFile(item, state);
    if (state.FirefoxRuns && HeldByFirefox(item.File))
        return TOutcome::InUse;
    if (FolderExists(item.File))
        return TOutcome::Refused;
    const TOutcome outcome = DeleteFileSafe(item.File, item.Expected);
    // Only a plain file that is in use waits for the restart; a link, a folder or a file the user may
    // not delete does not. Deleting a file that another program has mapped fails with "access denied",
    // like missing rights; the exclusive open tells the two apart.
    const bool inUse = outcome == TOutcome::InUse || (outcome == TOutcome::Failed && LockFileHeld(item.File));
    if (!inUse)
        return outcome;
    if (!DeleteFileOnReboot(item.File, Platform))
        return TOutcome::InUse;
    PendingDeletes.push_back(item.Path);
    ++PendingCount;
    return TOutcome::Scheduled;
}

// A file of today's browsers: left while the browser runs when it keeps it open; never scheduled for a
// restart (the browser writes its caches and sessions anew), so one in use stays In use.
TOutcome TPrivacyScanner::RepairBrowserFile(const TPrivacyItem& item, const TRepairState& state)
{
    if (item.Owner.HeldWhileRunning && state.Runs(item.Owner))
        return TOutcome::InUse;
    if (!FileExists(item.File))
        return FolderExists(item.File) ? TOutcome::Refused : TOutcome::AlreadyGone;
    if (!ResolvesInside(item.Owner.Root, item.File))
        return TOutcome::Refused;
    // Only where the scan found it: a folder on the way swapped for a link since then is refused, even
    // when the link stays inside the browser's folder.
    const TOutcome outcome = DeleteFileSafe(item.File, item.Expected);
    return outcome == TOutcome::Failed && LockFileHeld(item.File) ? TOutcome::InUse : outcome;
}

TOutcome TPrivacyScanner::RepairDatabase(const TPrivacyItem& item, const TRepairState& state, std::wstring& message)
{
    if (state.Runs(item.Owner))
        return TOutcome::InUse;
    if (!FileExists(item.File))
        return TOutcome::AlreadyGone;
    if (IsLink(item.File) || !ResolvesInside(item.Owner.Root, item.File))
        return TOutcome::Refused;
    const TDatabaseCleaning cleaning = CleanBrowserDatabase(item, KeepList, Platform);
    message = cleaning.Message;
    return cleaning.Outcome;
}
