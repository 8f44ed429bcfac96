#pragma once
// Every repair that can be undone: the spyware removal's quarantine runs and the registry fixer's undo
// files, newest first, and restoring or deleting one of them.
#include "quarantine/Quarantine.h"
#include "quarantine/QuarantinePlaces.h"

#include <string>
#include <vector>

// Where the undoable repairs are kept.
struct TUndoPlaces {
    TQuarantinePlaces Quarantine;
    std::wstring RegistryUndoFolder; // the registry fixer's undo files
};

struct TUndoEntry {
    enum class TKind { SpywareRun, RegistryFile };
    TKind Kind = TKind::SpywareRun;
    ULONGLONG Time = 0;  // when the repair ran (UTC)
    int Count = -1;      // items (a run) or keys (an undo file); -1 when it cannot be read
    ULONGLONG Bytes = 0; // what it takes on the disk
    TRunEntry Run;       // SpywareRun
    std::wstring File;   // RegistryFile: its path
};

// Newest first. problems: places that cannot be read.
std::vector<TUndoEntry> UndoEntries(const TUndoPlaces& places, std::vector<std::wstring>* problems = nullptr);

struct TUndoOutcome {
    bool Done = false;               // everything restored (or deleted)
    std::vector<std::wstring> Lines; // what was not, and why
};
TUndoOutcome RestoreEntry(const TUndoPlaces& places, const TUndoEntry& entry);
TUndoOutcome DeleteEntry(const TUndoPlaces& places, const TUndoEntry& entry);
