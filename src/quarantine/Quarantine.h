#pragma once
// The quarantine as a whole: its runs in both places, and restoring, deleting and ageing them out.
#include "quarantine/Manifest.h"
#include "quarantine/QuarantinePlaces.h"

#include <optional>
#include <string>
#include <vector>

struct TRunEntry {
    TQuarantinePlace Place = TQuarantinePlace::User;
    std::wstring Name;
    std::wstring Folder;   // its final path
    ULONGLONG Started = 0; // the time its name stands for (UTC)
    ULONGLONG Bytes = 0;   // of the files its folder holds
    bool Readable = false;
    std::wstring Problem; // why it cannot be read (no manifest, a damaged one)
    TManifest Manifest;
    // Numbers of the items whose file (or undo file) the run's folder holds.
    std::vector<int> Held;

    bool Holds(int number) const;
};

// What became of one item.
struct TItemResult {
    enum class TKind {
        Restored,
        Nothing,     // nothing to do: it was never removed, is restored already, or is not restorable
        NotRestored, // Text says why
    };
    int Number = 0;
    std::wstring Path;
    TKind Kind = TKind::NotRestored;
    std::wstring Text;
};

struct TRestoreResult {
    // False when the run could not be read at all (Problem says why): nothing was restored.
    bool Read = false;
    std::wstring Problem;
    std::vector<TItemResult> Items;
    // Lines of the manifest that were skipped.
    std::vector<std::wstring> Skipped;
    bool AllRestored() const;
};

struct TPurgeResult {
    int Runs = 0;                        // runs deleted whole
    std::vector<std::wstring> NotPurged; // what stayed, and why
};

class TQuarantine {
public:
    explicit TQuarantine(TQuarantinePlaces places);

    // Every run of both places, newest first. problems: a place whose folders cannot be trusted or read.
    std::vector<TRunEntry> Runs(std::vector<std::wstring>* problems = nullptr) const;
    // The run of that name; nothing (and why) when there is none or it cannot be read.
    std::optional<TRunEntry> FindRun(const std::wstring& name, std::wstring& problem) const;
    // Restores what the run holds: every item (number 0) or one.
    TRestoreResult Restore(const TRunEntry& run, int number = 0) const;
    // Deletes the run's folder with the run's own files.
    TPurgeResult Delete(const TRunEntry& run) const;
    // Deletes every run started more than days ago (days from 0).
    TPurgeResult Purge(int days) const;

    const TQuarantinePlaces& Places() const { return Places_; }

private:
    TQuarantinePlaces Places_;
};

// How the item stands now, in a few words ("quarantined", "restored", "not removed (in use)", ...).
std::wstring ItemStateText(const TRunEntry& run, const TQuarantineItem& item);
// The size of what the quarantine holds in all its runs.
ULONGLONG QuarantineBytes(const std::vector<TRunEntry>& runs);
