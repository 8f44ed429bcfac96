#pragma once
// The folders a walk that can delete must never clean. A temporary, cache or history folder can be set
// to anything (a drive root by a tidy-minded user, the Windows folder by a broken installer, the
// documents in a form the other checks do not recognise); every such walk, the junk walks and the
// privacy collectors alike, asks this guard first and refuses such a folder before it lists a file.
#include <string>
#include <vector>

// The protected folders, as the system names them (tests put stand-ins in). Empty entries are ignored.
struct TProtectedFolders {
    // Folders that are drive roots besides the plain "C:\" and "\\server\share" forms.
    std::vector<std::wstring> Roots;
    // Refused themselves and with every folder that holds them: System32, SysWOW64, ProgramData, the
    // profile, the application-data folders.
    std::vector<std::wstring> Kept;
    // Refused like the kept ones and also with every folder inside them: the Windows folder, the
    // Program Files folders, the user's data folders, the Public folders.
    std::vector<std::wstring> Sealed;
    // Folders inside a sealed one that are walked on purpose by this program's own choice (the Windows
    // folder's temp); each lets through what lies inside it.
    std::vector<std::wstring> Open;
    // The application-data folders. A folder the system names as one scanners walk on purpose (see
    // TWalkRoot) is walked where it lies inside one of these, also when a sealed folder holds them (a
    // documents folder set to the profile); everything else there is judged like any folder.
    std::vector<std::wstring> Homes;
    // Refused themselves, with every folder inside them and with every folder that holds them, whatever
    // lets other folders through: what no cleaner may ever touch (the component store, the update
    // database, the antivirus's folder...).
    std::vector<std::wstring> Refused;
    // Folders inside a protected one that a switch walks by their fixed names (see TWalkRoot::Exact):
    // each lets through that very folder, in no other form than its own.
    std::vector<std::wstring> Exact;
};

// How a walk came to the folder it asks about.
enum class TWalkRoot {
    // Any folder: an application's folder, a folder built from a setting.
    Other,
    // A folder that scanners walk on purpose, named by the system or a browser: the cache, cookies,
    // history, recent and temporary folders, a browser's profile folder.
    Named,
    // A fixed folder of the system that a switch walks by its exact name (the update downloads, the
    // error reports...): walked where it is one of the guard's exact folders and no link leads elsewhere.
    Exact,
};

enum class TFolderVerdict {
    Walk,
    Root,            // a drive or network share root
    HoldsProtected,  // the protected folder itself, or a folder that holds it
    InsideProtected, // lies inside a sealed folder
    Unresolved,      // cannot be resolved to a plain full path (relative, a device, "\\?\unix\...")
    Redirected,      // an exact folder (TWalkRoot::Exact) that a link leads elsewhere
};

struct TFolderCheck {
    TFolderVerdict Verdict = TFolderVerdict::Walk;
    std::wstring Folder;    // the folder that was checked, as given
    std::wstring Plain;     // what the guard judged, as a plain full long path: what a walk lists (Walk only)
    std::wstring Protected; // the protected folder concerned, as listed (empty for Walk, Root and Unresolved);
                            // for Redirected, where the folder leads
};

// Judges a folder in one form, whatever form it was written in (see PlainFullPath), and compares it
// in every form that names the same folder: the plain full path, its long form and the final path the
// file system resolves (links followed), all without regard to case. Nothing depends on the current
// directory.
class TFolderGuard {
public:
    explicit TFolderGuard(const TProtectedFolders& folders);

    TFolderCheck Check(const std::wstring& folder, TWalkRoot root = TWalkRoot::Other) const;

private:
    struct TEntry {
        std::wstring Listed;
        std::vector<std::wstring> Forms;
    };
    static std::vector<TEntry> Resolve(const std::vector<std::wstring>& folders);
    bool IsRoot(const std::vector<std::wstring>& forms) const;
    bool LetThrough(const std::vector<std::wstring>& forms, const TEntry& sealed, TWalkRoot root) const;

    bool IsExact(const std::vector<std::wstring>& forms) const;

    std::vector<TEntry> Roots_, Kept_, Sealed_, Open_, Homes_, Refused_, Exact_;
};

// "C:", "C:\", "\\server\share" or "\\server\share\", also behind the "\\?\" and "\\?\UNC\" prefixes;
// "\" (the current drive's root) too.
bool IsDriveOrShareRoot(const std::wstring& path);

// The folder without trailing backslashes, except the one of a drive root ("C:\"), for messages.
std::wstring FolderForDisplay(const std::wstring& folder);

// The language lines of a refused folder, each a format: a root (folder); holds a protected folder
// (folder, protected); lies inside one (folder, protected); cannot be resolved (folder); an exact folder
// a link leads elsewhere (folder, where it leads).
struct TRefusalTexts {
    std::wstring Root;
    std::wstring Holds;
    std::wstring Inside;
    std::wstring Unresolved;
    std::wstring Redirected = {};
};

// The report line of a refused folder.
std::wstring RefusalLine(const TRefusalTexts& texts, const TFolderCheck& check);
