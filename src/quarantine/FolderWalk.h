#pragma once
// Folders reached one step at a time, each opened as itself: a step that is a link (or, under Wine,
// resolves anywhere but to its own listed name) ends the walk. The quarantine reaches its own folders
// this way, and a restore the folder an item goes back into.
#include "common/Handles.h"
#include "common/Paths.h"
#include "quarantine/FolderTrust.h"

#include <optional>
#include <string>
#include <vector>

struct TFolderWalk {
    enum class TStatus {
        Reached,
        Missing, // a step is not there (and was not to be made)
        Refused, // a step is a link or a file, or its security descriptor is not trusted: Reason says which
        Failed,  // a step could not be made or opened: Reason says why
    };
    TStatus Status = TStatus::Failed;
    std::wstring Reason;
    THandle Handle;    // of the last step
    std::wstring Real; // the last step's final path (its steps as the file system lists them)
    bool Reached() const { return Status == TStatus::Reached; }
};

struct TWalkRules {
    bool CreateMissing = false;
    // The access list of a folder made on the way (SDDL); empty: inherited.
    std::wstring NewFolderSddl;
    // Judges each step's security descriptor; nullptr: not judged.
    const TFolderTrust* Trust = nullptr;
};

// From the folder base (used as it resolves now: a link there is the user's choice), every step below.
TFolderWalk WalkFolders(const std::wstring& base, const std::vector<std::wstring>& steps, const TWalkRules& rules);

// A full path split into its root ("C:\" or "\\server\share\") and the single names below it. Nothing
// for any other form, or a name that could mean something else than itself (empty, "." or "..", a
// wildcard, a stream, a control character, a trailing dot or blank).
struct TPlainPath {
    std::wstring Root;
    std::vector<std::wstring> Steps;
};
std::optional<TPlainPath> SplitPlainPath(const std::wstring& path);

// folder + "\" + name.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
