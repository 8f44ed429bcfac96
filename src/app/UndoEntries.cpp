#include "app/UndoEntries.h"

#include "common/FileFind.h"
#include "common/SafeDelete.h"
#include "common/TextCompare.h"
#include "registry/UndoFile.h"

#include <algorithm>

std::vector<TUndoEntry> UndoEntries(const TUndoPlaces& places, std::vector<std::wstring>* problems)
{
    std::vector<TUndoEntry> entries;
    for (TRunEntry& run : TQuarantine(places.Quarantine).Runs(problems)) {
        TUndoEntry entry;
        entry.Kind = TUndoEntry::TKind::SpywareRun;
        entry.Time = run.Started;
        entry.Count = run.Readable ? static_cast<int>(run.Manifest.Items.size()) : -1;
        entry.Bytes = run.Bytes;
        entry.Run = std::move(run);
        entries.push_back(std::move(entry));
    }
    if (!places.RegistryUndoFolder.empty()) {
        const std::wstring folder = places.RegistryUndoFolder + (places.RegistryUndoFolder.back() == L'\\' ? L"" : L"\\");
        WIN32_FIND_DATAW found;
        TFindHandle find = FindFirstEntry(folder + L"*.reg", found);
        for (bool more = static_cast<bool>(find); more; more = FindNextFileW(find.Get(), &found)) {
            // The pattern also matches longer extensions through their short names.
            if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
                !EndsWithText(found.cFileName, L".reg"))
                continue;
            TUndoEntry entry;
            entry.Kind = TUndoEntry::TKind::RegistryFile;
            entry.File = folder + found.cFileName;
            entry.Time = (static_cast<ULONGLONG>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                         found.ftLastWriteTime.dwLowDateTime;
            entry.Bytes = static_cast<ULONGLONG>(FindDataSize(found));
            std::vector<TUndoKey> keys;
            std::wstring error;
            if (ReadUndoFile(entry.File, keys, error))
                entry.Count = static_cast<int>(keys.size());
            entries.push_back(std::move(entry));
        }
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TUndoEntry& a, const TUndoEntry& b) { return a.Time > b.Time; });
    return entries;
}

TUndoOutcome RestoreEntry(const TUndoPlaces& places, const TUndoEntry& entry)
{
    TUndoOutcome outcome;
    if (entry.Kind == TUndoEntry::TKind::RegistryFile) {
        std::vector<TUndoKey> keys;
        std::wstring error;
        if (!ReadUndoFile(entry.File, keys, error)) {
            outcome.Lines.push_back(entry.File + L": " + error);
            return outcome;
        }
        outcome.Lines = RestoreUndoKeys(keys).Failures;
        outcome.Done = outcome.Lines.empty();
        return outcome;
    }
    const TRestoreResult restored = TQuarantine(places.Quarantine).Restore(entry.Run);
    if (!restored.Read)
        outcome.Lines.push_back(restored.Problem);
    for (const TItemResult& item : restored.Items)
        if (item.Kind == TItemResult::TKind::NotRestored)
            outcome.Lines.push_back(item.Path + L": " + item.Text);
    for (const std::wstring& skipped : restored.Skipped)
        outcome.Lines.push_back(L"the manifest's " + skipped);
    outcome.Done = outcome.Lines.empty();
    return outcome;
}

TUndoOutcome DeleteEntry(const TUndoPlaces& places, const TUndoEntry& entry)
{
    TUndoOutcome outcome;
    if (entry.Kind == TUndoEntry::TKind::RegistryFile) {
        const TOutcome deleted = DeleteFileSafe(entry.File);
        if (!OutcomeDone(deleted))
            outcome.Lines.push_back(entry.File + L" (" + OutcomeName(deleted) + L")");
    } else {
        outcome.Lines = TQuarantine(places.Quarantine).Delete(entry.Run).NotPurged;
    }
    outcome.Done = outcome.Lines.empty();
    return outcome;
}
