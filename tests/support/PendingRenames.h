#pragma once
// The system's list of files to delete or rename at the next start (PendingFileRenameOperations below
// HKEY_LOCAL_MACHINE). MoveFileEx writes the real list even while the registry roots are redirected, and
// Wine acts on it at its next start: a test saves it first and gets it back exactly afterwards.
// Construct it before a ScratchRegistry (and so destroy it after): its key is opened before the roots
// are redirected.
#include <windows.h>

#include <string>
#include <vector>

class PendingRenames {
public:
    PendingRenames();
    ~PendingRenames();
    PendingRenames(const PendingRenames&) = delete;
    PendingRenames& operator=(const PendingRenames&) = delete;

    // The strings of the list now, in order (sources and targets, as "\??\C:\..." and empty texts).
    std::vector<std::wstring> Entries() const;
    // True when the list asks for the file to be deleted (its source entry is followed by an empty target).
    bool AsksToDelete(const std::wstring& path) const;

private:
    HKEY Key_ = nullptr;
    bool Existed_ = false;
    DWORD Type_ = REG_MULTI_SZ;
    std::vector<BYTE> Saved_;
};
