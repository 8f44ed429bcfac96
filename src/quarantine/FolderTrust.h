#pragma once
// Who may own and write the quarantine's folders. Standard users can create folders in ProgramData: a
// quarantine folder someone else made, or may write into, could hand an administrator's restore files
// of that someone's choosing. Each folder on the way is judged by its security descriptor before a run
// uses it.
#include "quarantine/QuarantinePlaces.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

class TFolderTrust {
public:
    // The machine's place: SYSTEM and the Administrators. The user's place: these and the user.
    static TFolderTrust ForPlace(TQuarantinePlace place);
    // SIDs in string form ("S-1-5-18", or the SDDL abbreviations "SY", "BA").
    explicit TFolderTrust(const std::vector<std::wstring>& sids);

    bool Trusted(PSID sid) const;
    // The protected access list of a folder the quarantine makes (inherited by what it holds), and of a
    // file it takes: full access for the trusted, nothing for anyone else.
    std::wstring FolderSddl() const;
    std::wstring FileSddl() const;

private:
    std::vector<std::vector<BYTE>> Sids_;
    std::vector<std::wstring> Texts_;
};

// Why the descriptor lets someone untrusted have a say in the folder: an owner not trusted, no access
// list at all, or a write right (to add, delete, rename, or change its access list or owner) granted
// to anyone untrusted, also one that only what is made inside would inherit. Nothing when it is safe.
std::optional<std::wstring> JudgeFolderSecurity(PSECURITY_DESCRIPTOR descriptor, const TFolderTrust& trust);
// The same for a descriptor in SDDL form; a text that is no descriptor is refused.
std::optional<std::wstring> JudgeFolderSddl(const std::wstring& sddl, const TFolderTrust& trust);

